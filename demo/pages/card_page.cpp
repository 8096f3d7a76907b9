#include "pages/card_page.h"

#include "controls/trans_frame.h"

CardPage::CardPage(PageContext& context, QWidget* parent) : QWidget(parent), ctx(context) {
    applyPageColours(this);
}

CardPage::~CardPage() = default;

void CardPage::layoutForScreen(int) {}
