#include "pages/iso14443a_page.h"

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/iso14443_captions.h"

using iso14443captions::kCaptions;

namespace {
constexpr unsigned char kTypeA = 0x41;   // 'A'
constexpr unsigned char kWakeUp = 0x52;  // request mode: idle and halted cards
constexpr int kAttempts = 3;
}  // namespace

CISO14443A_4::CISO14443A_4(PageContext& context)
    : Iso14443Page(context, {QStringLiteral("14443ACosBooks.j"), QStringLiteral("CSN"), 1058,
                             {QStringLiteral("FM1204"), QStringLiteral("FM1208"), QStringLiteral("MifareDesfire"),
                              QStringLiteral("MifarePro(X)")},
                             kCaptions[8]}) {
    connect(reset_, &QPushButton::clicked, this, &CISO14443A_4::Reset);
    connect(send_, &QPushButton::clicked, this, [this] {
        const ReaderApi& api = ctx.api();
        sendField(QStringLiteral("rf_cos_command"),
                  [&](const unsigned char* command, unsigned char length, unsigned char* reply,
                      unsigned char* replyLength) {
                      return api.rf_cos_command(ctx.address(), command, length, reply, replyLength);
                  });
    });
}

int CISO14443A_4::uidLength(const QByteArray& answer) {
    const int size = int(answer.size());
    for (int n : {4, 7, 10})
        if (size > n && static_cast<unsigned char>(answer[n]) == size - n) return n;
    return std::min(size, 4);
}

void CISO14443A_4::Reset() {
    if (!ctx.requireConnected()) return;
    identity_->clear();
    resetInfo_->clear();
    if (!switchField(kTypeA)) return;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        identity_->clear();
        resetInfo_->clear();
        unsigned char answerBytes[kReplySize] = {};
        unsigned char length = 0;
        const int status = ctx.api().rf_typea_rst(ctx.address(), kWakeUp, answerBytes, &length);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_typea_rst"));
            continue;
        }
        const QByteArray answer(reinterpret_cast<const char*>(answerBytes), length);
        const int uid = uidLength(answer);
        BytesToHex(identity_, answer.left(uid));
        if (length > uid) BytesToHex(resetInfo_, answer.mid(uid));
        ctx.showInfoEntry(24);
        return;
    }
}

TORVIK_PAGE_FACTORY(makeIso14443A4Page, CISO14443A_4)
