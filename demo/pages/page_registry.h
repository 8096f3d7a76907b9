// The fifteen card types: for each its command id, menu caption, title
// name, page template id and page factory. The shell knows pages only
// through this table.
#pragma once

#include <array>

#include "pages/card_page.h"

enum CardType : int {
    kUltraLight = 0,
    kMifare1K = 1,
    kMifare4K = 2,
    kIso14443A4 = 3,
    kSR176 = 4,
    kSRI512 = 5,
    kSRI4K = 6,
    kIso14443B4 = 7,
    kAT88RF020 = 8,
    kICode = 9,
    kTagIt = 10,
    kIso7816 = 11,
    kFelica = 12,
    kNTag203F = 13,
    kNTag213 = 14,
    kCardTypeCount = 15,
};

// Where the view puts the page: centred, or over the whole view.
enum class Placement { Centred, WholeView };

struct PageRow {
    int cardType;
    int commandId;
    const char* caption;    // menu item
    const char* menuGroup;  // the menu bar's popup that holds it
    const char* titleName;  // last part of the window title
    int templateId;         // the page's own id
    const char* prompt;     // status bar prompt and toolbar tip, or null
    Placement placement;
    PageFactory factory;
};

bool isCardType(int type);
const std::array<PageRow, kCardTypeCount>& pageRows();
// The row of a card type; type 1 (Mifare 1K) for a value outside the table.
const PageRow& pageRow(int cardType);
// Null when no card command has this id.
const PageRow* pageRowForCommand(int commandId);
