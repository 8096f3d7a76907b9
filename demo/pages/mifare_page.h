// The Mifare Classic pages: MIFAREONE (1K: three operation windows over
// sectors 0-15) and CMifare4K (4K: one window over the small sectors 0-31,
// one over the large sectors 32-39). Both share the card search, the purse
// and the operation windows; they differ in layout and panels only.
#pragma once

#include <memory>
#include <vector>

#include "controls/trans_frame.h"
#include "pages/card_page.h"
#include "pages/mifare_card.h"
#include "pages/mifare_panel.h"

class MifarePurse;

class MifareClassicPage : public CardPage {
    Q_OBJECT
public:
    ~MifareClassicPage() override;

protected:
    // `purseLastSector`: the purse's last sector; `panels`: the operation
    // windows' ids.
    MifareClassicPage(PageContext& context, int purseLastSector, const std::vector<MifarePanelIds>& panels);

    bool SearchCard(int attempts) { return card_->SearchCard(attempts); }

    CTransFrm* searchFrame() const { return search_; }
    CTransFrm* purseFrame() const;
    CTransFrm* panelFrame(std::size_t index) const { return panels_[index]->frame(); }

private:
    CTransFrm* search_;
    std::unique_ptr<MifareCard> card_;
    MifarePurse* purse_;
    std::vector<MifarePanel*> panels_;
};

class MIFAREONE : public MifareClassicPage {
    Q_OBJECT
public:
    explicit MIFAREONE(PageContext& context);
};

class CMifare4K : public MifareClassicPage {
    Q_OBJECT
public:
    explicit CMifare4K(PageContext& context);
};
