// The command families and card types the simulated reader knows.
#pragma once

namespace sim {

class Firmware;
class CardCatalog;

void installFamilies(Firmware& firmware);
void installCardTypes(CardCatalog& catalog);

}  // namespace sim
