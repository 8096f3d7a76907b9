// One line per command family and per card family.
#include "families.h"

#include "catalog.h"
#include "firmware.h"

namespace sim {

void installFamilies(Firmware& firmware) {
    installReaderControl(firmware);
}

void installCardTypes(CardCatalog& catalog) {
    (void)catalog;
}

}  // namespace sim
