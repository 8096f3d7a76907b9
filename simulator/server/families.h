// The one list of what the simulated reader knows: its command families and
// the card types of its catalogue. The composition roots (readersim, the
// in-process test reader, the benchmarks) call these; the firmware and the
// catalogue start empty.
#pragma once

#include "cards/catalog.h"
#include "firmware/firmware.h"

namespace sim {

void registerCommandFamilies(Firmware& firmware);
void registerCardTypes(CardCatalog& catalog);

// A firmware and a catalogue with everything registered.
Firmware fullFirmware();
CardCatalog fullCatalog();

}  // namespace sim
