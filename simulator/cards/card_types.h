// The card families of the catalogue. Each registers its card types;
// server/families.cpp calls them all.
#pragma once

namespace sim {

class CardCatalog;

// mifare1k, mifare4k, ultralight, ultralightc, ntag203, ntag213
void registerTypeACardTypes(CardCatalog& catalog);
void registerIso15693Labels(CardCatalog& catalog);
void registerStChips(CardCatalog& catalog);
void registerAt88rf020Cards(CardCatalog& catalog);
void registerFelicaCards(CardCatalog& catalog);
// cpu-a, cpu-b, idcard-b, sam, contact cards
void registerProcessorCardTypes(CardCatalog& catalog);

}  // namespace sim
