#include "pages/iso14443b_page.h"

#include <QVBoxLayout>
#include <QtEndian>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/iso14443_captions.h"

using iso14443captions::kCaptions;

namespace {
constexpr unsigned char kTypeB = 0x42;  // 'B'
constexpr unsigned char kRequest = 0;   // REQB
constexpr int kAttempts = 3;
constexpr int kAtqbSize = 12;
constexpr int kIdCardUidSize = 8;
}  // namespace

CISO14443B_4::CISO14443B_4(PageContext& context)
    : Iso14443Page(context, {QStringLiteral("14443BCosBooks.j"), QStringLiteral("PUPI"), 1059, {}, kCaptions[9]}) {
    QPushButton* transceive = form::button(this, 1157, QStringLiteral("透明传输"));
    QPushButton* idCard = form::button(this, 1016, ctx.text(kCaptions[10]));
    buttons()->addWidget(transceive);
    buttons()->addWidget(idCard);
    const ReaderApi& api = ctx.api();
    connect(reset_, &QPushButton::clicked, this, &CISO14443B_4::Reset);
    connect(idCard, &QPushButton::clicked, this, &CISO14443B_4::ReadIdCardUid);
    connect(send_, &QPushButton::clicked, this, [this, &api] {
        sendField(QStringLiteral("rf_cos_command"),
                  [&](const unsigned char* command, unsigned char length, unsigned char* reply,
                      unsigned char* replyLength) {
                      return api.rf_cos_command(ctx.address(), command, length, reply, replyLength);
                  });
    });
    connect(transceive, &QPushButton::clicked, this, [this, &api] {
        sendField(QStringLiteral("rf_transceive"),
                  [&](const unsigned char* command, unsigned char length, unsigned char* reply,
                      unsigned char* replyLength) {
                      return api.rf_transceive(ctx.address(), command, length, reply, replyLength);
                  });
    });
}

bool CISO14443B_4::request(int size, const QString& label, const Request& call, QByteArray* answer) {
    if (!ctx.requireConnected()) return false;
    identity_->clear();
    resetInfo_->clear();
    if (!switchField(kTypeB)) return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        identity_->clear();
        unsigned char bytes[kReplySize] = {};
        unsigned char length = 0;
        const int status = call(kRequest, bytes, &length);
        // An answer of another length counts as a failed attempt; the strip
        // then shows the status the library gave.
        if (status == 0 && length == size) {
            *answer = QByteArray(reinterpret_cast<const char*>(bytes), size);
            return true;
        }
        ctx.showResult(status, label);
    }
    return false;
}

void CISO14443B_4::Reset() {
    const ReaderApi& api = ctx.api();
    QByteArray atqb;
    const auto rf_atqb = [&](unsigned char mode, unsigned char* bytes, unsigned char* length) {
        return api.rf_atqb(ctx.address(), mode, bytes, length);
    };
    if (!request(kAtqbSize, QStringLiteral("rf_atqb"), rf_atqb, &atqb)) return;
    const QByteArray pupi = atqb.mid(1, 4);
    BytesToHex(identity_, pupi);
    BytesToHex(resetInfo_, atqb);
    // ATTRIB by the PUPI (CID 0): only an attributed card takes APDUs and
    // blocks; a card that has just answered the request is not yet in the
    // ISO14443-4 protocol.
    const unsigned int pupiWord = qFromLittleEndian<quint32>(pupi.constData());
    ctx.report(api.rf_attrib(ctx.address(), pupiWord, 0), QStringLiteral("rf_attrib"), 24);
}

void CISO14443B_4::ReadIdCardUid() {
    const ReaderApi& api = ctx.api();
    QByteArray uid;
    const auto rf_get_namecard_uid = [&](unsigned char mode, unsigned char* bytes, unsigned char* length) {
        return api.rf_get_namecard_uid(ctx.address(), mode, bytes, length);
    };
    if (!request(kIdCardUidSize, QStringLiteral("rf_get_namecard_uid"), rf_get_namecard_uid, &uid)) return;
    BytesToHex(identity_, uid);
    ctx.showInfoEntry(24);
}

TORVIK_PAGE_FACTORY(makeIso14443B4Page, CISO14443B_4)
