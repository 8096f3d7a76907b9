// The type A card family: Mifare Classic, Ultralight, Ultralight C, NTAG.
#pragma once

namespace sim {

class Firmware;
class CardCatalog;

// The reader's type A, Mifare and Ultralight/NTAG commands.
void installTypeAFamily(Firmware& firmware);
// The card types mifare1k, mifare4k, ultralight, ultralightc, ntag203, ntag213.
void installTypeACardTypes(CardCatalog& catalog);

}  // namespace sim
