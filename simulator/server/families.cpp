// One line per command family and per card family.
#include "server/families.h"

#include "cards/card_types.h"
#include "firmware/command_families.h"

namespace sim {

void registerCommandFamilies(Firmware& firmware) {
    registerReaderControl(firmware);
    registerTypeACommands(firmware);
    registerMifareCommands(firmware);
    registerMifareOneShotCommands(firmware);
    registerMifareReaderRecords(firmware);
    registerUltralightCommands(firmware);
    registerIso15693Commands(firmware);
    registerStCommands(firmware);
    registerAt88Commands(firmware);
    registerFelicaCommands(firmware);
    registerIso14443_4Commands(firmware);
    registerSamCommands(firmware);
    registerCpuCardCommands(firmware);
    registerPsamCommands(firmware);
}

void registerCardTypes(CardCatalog& catalog) {
    registerTypeACardTypes(catalog);
    registerIso15693Labels(catalog);
    registerStChips(catalog);
    registerAt88rf020Cards(catalog);
    registerFelicaCards(catalog);
    registerProcessorCardTypes(catalog);
}

Firmware fullFirmware() {
    Firmware firmware;
    registerCommandFamilies(firmware);
    return firmware;
}

CardCatalog fullCatalog() {
    CardCatalog catalog;
    registerCardTypes(catalog);
    return catalog;
}

}  // namespace sim
