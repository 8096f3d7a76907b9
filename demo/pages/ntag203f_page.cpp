#include "pages/ntag203f_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/hex_edit.h"

namespace {

TagLayout ntag203Layout() {
    TagLayout layout;
    layout.pages = 42;
    layout.readPasses = 11;
    layout.selectLabel = "rf_Ntag203F_select";
    layout.writeLabel = "rf_Ntag203F_write";
    layout.readChecksConnection = true;
    // Page 40: the dynamic lock bytes; page 41: the counter.
    layout.splits = {{2, 2}, {40, 2}, {41, 2}};
    layout.highlighted = {{2, 1}, {3, 0}, {40, 0}, {41, 0}};
    return layout;
}

}  // namespace

NTag203F::NTag203F(PageContext& context) : UltralightFamilyPage(context, ntag203Layout()) {
    makeSectorControls(this);
    auto* page = new QGridLayout(this);
    page->addWidget(serialCaption_, 0, 0);
    page->addWidget(serial_, 0, 1);
    page->addWidget(request_, 0, 2);
    page->addWidget(sectorCaption_, 0, 3);
    page->addWidget(sector_, 0, 4);
    page->addWidget(selectSector_, 0, 5);
    page->addWidget(makePageGrid(this, 14), 1, 0, 1, 6);
    page->addWidget(writePageCaption_, 2, 0);
    page->addWidget(writePage_, 2, 1);
    page->addWidget(read_, 2, 2);
    page->addWidget(write_, 2, 3);
}

TORVIK_PAGE_FACTORY(makeNTag203FPage, NTag203F)
