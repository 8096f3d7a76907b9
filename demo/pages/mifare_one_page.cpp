// MIFAREONE, the Mifare Classic 1K page: the search and purse groups and the
// first of three identical operation windows over sectors 0-15 on the left,
// the other two on the right.
#include <QGridLayout>

#include "pages/mifare_page.h"

namespace {
// clang-format off
const std::vector<MifarePanelIds> kPanels = {
    // group  labels: sector block key  lists      key A/B, key   data rows             trailer             read/write  sectors
    {1111, 1099, 1100, 1101, 1061, 1094, 1064, 1065, 1004, {1076, 1077, 1078}, 1085, 1086, 1087, 1070, 1073, 0, 15},
    {1112, 1102, 1103, 1104, 1062, 1095, 1066, 1067, 1005, {1079, 1081, 1083}, 1090, 1092, 1089, 1071, 1074, 0, 15},
    {1113, 1105, 1106, 1107, 1063, 1096, 1068, 1069, 1006, {1080, 1082, 1084}, 1091, 1093, 1088, 1072, 1075, 0, 15},
};
// clang-format on
}  // namespace

MIFAREONE::MIFAREONE(PageContext& context) : MifareClassicPage(context, 15, kPanels) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(searchFrame(), 0, 0);
    grid->addWidget(purseFrame(), 1, 0);
    grid->addWidget(panelFrame(0), 2, 0);
    grid->addWidget(panelFrame(1), 0, 1, 2, 1);
    grid->addWidget(panelFrame(2), 2, 1);
}

TORVIK_PAGE_FACTORY(makeMifareOnePage, MIFAREONE)
