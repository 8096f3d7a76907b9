#include "pages/mifare_page.h"

#include <QGridLayout>

#include "controls/form.h"
#include "pages/mifare_purse.h"
#include "pages/mifare_texts.h"

namespace {
using mifare_text::caption;
constexpr int kSearchGroup = 1020, kAntennaLabel = 1018, kAntennaList = 1017, kSearchButton = 1010;
constexpr int kUidLabel = 1019, kUid = 1049;
}  // namespace

MifareClassicPage::MifareClassicPage(PageContext& context, int purseLastSector,
                                     const std::vector<MifarePanelIds>& panels)
    : CardPage(context) {
    search_ = form::frame(this, kSearchGroup, ctx.text(caption(mifare_text::kSearch)));
    QComboBox* antenna = form::dropList(search_, kAntennaList, {{"1", 0}, {"2", 1}, {"3", 2}, {"4", 3}, {"5", 4}});
    QPushButton* find = form::button(search_, kSearchButton, ctx.text(caption(mifare_text::kSearch)));
    CHexEdit* uid = form::hexEdit(search_, kUid, 20);
    auto* grid = new QGridLayout(search_);
    grid->addWidget(form::label(search_, kAntennaLabel, ctx.text(caption(mifare_text::kAntenna))), 0, 0);
    grid->addWidget(antenna, 0, 1);
    grid->addWidget(find, 0, 2);
    grid->addWidget(form::label(search_, kUidLabel, ctx.text(caption(mifare_text::kUid))), 1, 0);
    grid->addWidget(uid, 1, 1, 1, 2);

    card_ = std::make_unique<MifareCard>(ctx, antenna, uid);
    purse_ = new MifarePurse(this, purseLastSector, *card_, ctx);
    for (const MifarePanelIds& ids : panels) panels_.push_back(new MifarePanel(this, ids, *card_, ctx));
    card_->setOnFound([this] {
        for (MifarePanel* panel : panels_) panel->applyWriteRule();
    });
    connect(find, &QPushButton::clicked, this, [this] {
        if (SearchCard(2)) ctx.showResult(0);
    });
}

MifareClassicPage::~MifareClassicPage() = default;

CTransFrm* MifareClassicPage::purseFrame() const { return purse_->frame(); }
