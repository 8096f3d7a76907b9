// One line per command family and per card family.
#include "server/families.h"

#include "cards/catalog.h"
#include "cards/at88rf020.h"
#include "cards/felica.h"
#include "cards/iso15693_label.h"
#include "cards/st_chip.h"
#include "firmware/firmware.h"
#include "firmware/processor_cards.h"
#include "firmware/typea_family.h"

namespace sim {

void installFamilies(Firmware& firmware) {
    installReaderControl(firmware);
    installTypeAFamily(firmware);
    installIso15693(firmware);
    installSt(firmware);
    installAt88(firmware);
    installFelica(firmware);
    installIso14443_4(firmware);
    installSam(firmware);
    installCpuCardCommands(firmware);
    installPsamCommands(firmware);
}

void installCardTypes(CardCatalog& catalog) {
    installTypeACardTypes(catalog);
    addIso15693Labels(catalog);
    addStChips(catalog);
    addAt88rf020(catalog);
    addFelica(catalog);
    installProcessorCardTypes(catalog);
}

}  // namespace sim
