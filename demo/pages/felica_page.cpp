#include "pages/felica_page.h"

#include <QGridLayout>

#include "controls/form.h"
#include "controls/hex_text.h"

namespace {
const TextPair kRequestText = {"寻卡", "Search Card"};
const TextPair kUidText = {"UID", "UID"};
const TextPair kUidDone = {"获取UID成功", "Get UID success"};

constexpr unsigned char kFelicaType = 0x43;  // rf_init_type: FeliCa
constexpr int kUidBytes = 6;
constexpr int kUidAttempts = 3;
}  // namespace

CFelica::CFelica(PageContext& context) : CardPage(context) {
    uid_ = form::hexEdit(this, kUid, 2 * kUidBytes);
    QPushButton* request = form::button(this, kRequest, ctx.text(kRequestText));
    auto* page = new QGridLayout(this);
    form::addRows(page, {{form::label(this, -1, ctx.text(kUidText)), uid_}});
    page->addWidget(request, 0, 2);
    connect(request, &QPushButton::clicked, this, &CFelica::RequestCard);
}

void CFelica::RequestCard() {
    if (!ctx.requireConnected()) return;
    uid_->clear();
    const ReaderApi& api = ctx.api();
    const int address = ctx.address();
    int status = api.rf_antenna_sta(address, 0);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return;
    }
    ctx.pause(20);
    status = api.rf_init_type(address, kFelicaType);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_init_type"));
        return;
    }
    ctx.pause(20);
    status = api.rf_antenna_sta(address, 1);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return;
    }
    for (int attempt = 0; attempt < kUidAttempts; ++attempt) {
        uid_->clear();
        unsigned char uid[kUidBytes] = {};
        int length = 0;
        status = api.rf_felica_get_uid(address, uid, &length);
        if (status == 0 && length == kUidBytes) {
            BytesToHex(uid_, uid, kUidBytes);
            ctx.showInfo(ctx.text(kUidDone));
            return;
        }
        // A short answer is a failed attempt, never shown as success.
        ctx.showResult(status != 0 ? status : 1, QStringLiteral("rf_felica_get_uid"));
    }
}

TORVIK_PAGE_FACTORY(makeFelicaPage, CFelica)
