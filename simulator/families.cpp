// One line per command family and per card family.
#include "families.h"

#include "catalog.h"
#include "firmware.h"
#include "processor_cards.h"

namespace sim {

void installFamilies(Firmware& firmware) {
    installReaderControl(firmware);
    installIso14443_4(firmware);
    installSam(firmware);
    installCpuCardCommands(firmware);
    installPsamCommands(firmware);
}

void installCardTypes(CardCatalog& catalog) {
    installProcessorCardTypes(catalog);
}

}  // namespace sim
