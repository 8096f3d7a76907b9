// CMifare4K, the Mifare Classic 4K page: the search and purse groups and the
// window over the small sectors 0-31 on the left, the window over the large
// sectors 32-39 (16 blocks each) on the right.
#include <QGridLayout>

#include "pages/mifare_page.h"

namespace {
// clang-format off
const std::vector<MifarePanelIds> kPanels = {
    // group  labels: sector block key  lists      key A/B, key   data rows             trailer             read/write  sectors
    {1111, 1099, 1100, 1101, 1061, 1094, 1067, 1068, 1037, {1032, 1033, 1076}, 1034, 1035, 1036, 1048, 1063, 0, 31},
    {1112, 1102, 1103, 1104, 1062, 1095, 1064, 1065, 1045,
     {1030, 1031, 1077, 1081, 1082, 1038, 1042, 1091, 1093, 1096, 1105, 1106, 1107, 1113, 1114},
     1039, 1040, 1041, 1046, 1047, 32, 39},
};
// clang-format on
}  // namespace

CMifare4K::CMifare4K(PageContext& context) : MifareClassicPage(context, 31, kPanels) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(searchFrame(), 0, 0);
    grid->addWidget(purseFrame(), 1, 0);
    grid->addWidget(panelFrame(0), 2, 0);
    grid->addWidget(panelFrame(1), 0, 1, 3, 1);
    grid->setRowStretch(3, 1);
}

TORVIK_PAGE_FACTORY(makeMifare4KPage, CMifare4K)
