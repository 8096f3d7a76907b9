// One line per command family and per card family.
#include "families.h"

#include "catalog.h"
#include "firmware.h"
#include "processor_cards.h"
#include "typea_family.h"

namespace sim {

void installFamilies(Firmware& firmware) {
    installReaderControl(firmware);
    installTypeAFamily(firmware);
    installIso14443_4(firmware);
    installSam(firmware);
    installCpuCardCommands(firmware);
    installPsamCommands(firmware);
}

void installCardTypes(CardCatalog& catalog) {
    installTypeACardTypes(catalog);
    installProcessorCardTypes(catalog);
}

}  // namespace sim
