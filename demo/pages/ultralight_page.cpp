#include "pages/ultralight_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/hex_edit.h"

namespace {

TagLayout ultralightLayout() {
    TagLayout layout;
    layout.pages = 16;
    layout.readPasses = 4;
    layout.selectLabel = "rf_ul_select";
    layout.writeLabel = "rf_ul_write";
    // The closed port shows as the library's failure.
    layout.readChecksConnection = false;
    layout.splits = {{2, 2}};
    layout.highlighted = {{2, 1}, {3, 0}};
    return layout;
}

}  // namespace

CUltraLight::CUltraLight(PageContext& context) : UltralightFamilyPage(context, ultralightLayout()) {
    auto* page = new QGridLayout(this);
    page->addWidget(serialCaption_, 0, 0);
    page->addWidget(serial_, 0, 1);
    page->addWidget(request_, 0, 2);
    page->addWidget(makePageGrid(this, 8), 1, 0, 1, 4);
    page->addWidget(writePageCaption_, 2, 0);
    page->addWidget(writePage_, 2, 1);
    page->addWidget(read_, 2, 2);
    page->addWidget(write_, 2, 3);
}

TORVIK_PAGE_FACTORY(makeUltraLightPage, CUltraLight)
