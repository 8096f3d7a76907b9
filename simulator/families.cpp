// One line per command family and per card family.
#include "families.h"

#include "catalog.h"
#include "firmware.h"
#include "typea_family.h"

namespace sim {

void installFamilies(Firmware& firmware) {
    installReaderControl(firmware);
    installTypeAFamily(firmware);
}

void installCardTypes(CardCatalog& catalog) {
    installTypeACardTypes(catalog);
}

}  // namespace sim
