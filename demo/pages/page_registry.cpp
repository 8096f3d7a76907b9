#include "pages/page_registry.h"

// Factories of the card pages, each defined in its page's source with
// TORVIK_PAGE_FACTORY.
std::unique_ptr<CardPage> makeUltraLightPage(PageContext&);
std::unique_ptr<CardPage> makeMifareOnePage(PageContext&);
std::unique_ptr<CardPage> makeMifare4KPage(PageContext&);
std::unique_ptr<CardPage> makeIso14443A4Page(PageContext&);
std::unique_ptr<CardPage> makeSR176Page(PageContext&);
std::unique_ptr<CardPage> makeSRI512Page(PageContext&);
std::unique_ptr<CardPage> makeSRI4KPage(PageContext&);
std::unique_ptr<CardPage> makeIso14443B4Page(PageContext&);
std::unique_ptr<CardPage> makeAT88RF020Page(PageContext&);
std::unique_ptr<CardPage> makeICodePage(PageContext&);
std::unique_ptr<CardPage> makeTagItPage(PageContext&);
std::unique_ptr<CardPage> makeIso7816Page(PageContext&);
std::unique_ptr<CardPage> makeFelicaPage(PageContext&);
std::unique_ptr<CardPage> makeNTag203FPage(PageContext&);
std::unique_ptr<CardPage> makeNtag213Page(PageContext&);

namespace {

constexpr Placement kCentred = Placement::Centred;
constexpr Placement kWhole = Placement::WholeView;

// clang-format off
const std::array<PageRow, kCardTypeCount> kRows = {{
    // type  command  menu caption     popup        title name   template prompt         placement factory
    {kUltraLight,  32816, "UltraLight",  "ISO14443A", "UltraLight", 137, "UltraLight", kCentred, makeUltraLightPage},
    {kMifare1K,    32817, "Mifare1K",    "ISO14443A", "Mifare1K",   130, "MifareOne",  kCentred, makeMifareOnePage},
    {kMifare4K,    32901, "Mifare4K",    "ISO14443A", "Mifare4K",   166, nullptr,      kCentred, makeMifare4KPage},
    {kIso14443A4,  32830, "ISO14443A-4", "ISO14443A", "14443A_4",   138, "ISO14443-4", kCentred, makeIso14443A4Page},
    {kSR176,       32819, "SR176",       "ISO14443B", "SR176",      141, nullptr,      kCentred, makeSR176Page},
    {kSRI512,      32820, "SRI512",      "ISO14443B", "SRI512",     146, nullptr,      kCentred, makeSRI512Page},
    {kSRI4K,       32821, "SRI4K",       "ISO14443B", "SRI4K",      142, nullptr,      kWhole,   makeSRI4KPage},
    {kIso14443B4,  32834, "ISO14443B-4", "ISO14443B", "14443B_4",   145, nullptr,      kCentred, makeIso14443B4Page},
    {kAT88RF020,   32823, "AT88RF020",   "ISO14443B", "AT88RF020",  147, nullptr,      kCentred, makeAT88RF020Page},
    {kICode,       32825, "I CODE",      "ISO15693",  "I CODE",     143, nullptr,      kCentred, makeICodePage},
    {kTagIt,       32826, "HF Tag It",   "ISO15693",  "HFTagIt",    144, nullptr,      kWhole,   makeTagItPage},
    {kIso7816,     32827, "ISO7816-4",   "ISO7816-4", "7816_4",     140, nullptr,      kCentred, makeIso7816Page},
    {kFelica,      32921, "Felica",      "ISO14443C", "Felica",     172, nullptr,      kCentred, makeFelicaPage},
    {kNTag203F,    32917, "NTAG203F",    "ISO14443A", "NTag203F",   170, nullptr,      kCentred, makeNTag203FPage},
    {kNTag213,     32918, "NTAG213",     "ISO14443A", "NTag213",    171, nullptr,      kCentred, makeNtag213Page},
}};
// clang-format on

}  // namespace

bool isCardType(int type) { return type >= 0 && type < kCardTypeCount; }

const std::array<PageRow, kCardTypeCount>& pageRows() { return kRows; }

const PageRow& pageRow(int cardType) { return kRows[isCardType(cardType) ? cardType : kMifare1K]; }

const PageRow* pageRowForCommand(int commandId) {
    for (const PageRow& row : kRows)
        if (row.commandId == commandId) return &row;
    return nullptr;
}
