#include "pages/mifare_card.h"

#include <QComboBox>
#include <QRadioButton>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/page_context.h"

namespace {
constexpr unsigned char kRequestAll = 0x52;
constexpr unsigned char kTypeA = 'A';
constexpr unsigned char kUidSize = 4;
constexpr int kKeyBytes = 6;

bool validUidLength(int length) { return length == 4 || length == 7 || length == 10; }
}  // namespace

MifareCard::MifareCard(PageContext& context, QComboBox* antenna, CHexEdit* uid)
    : ctx_(context), antenna_(antenna), uid_(uid) {}

MifareCard::Outcome MifareCard::searchOnce(int antenna, QByteArray* uid) {
    const ReaderApi& api = ctx_.api();
    const int address = ctx_.address();
    if (int status = api.rf_antenna_sta(address, 0)) return {status, "rf_antenna_sta"};
    ctx_.pause(20);
    if (int status = api.rf_init_type(address, kTypeA)) return {status, "rf_init_type"};
    ctx_.pause(20);
    // The antenna number goes in as the switch's argument: the library takes
    // only 0 and 1 there, so numbers 2-5 end the search here.
    if (int status = api.rf_antenna_sta(address, static_cast<unsigned char>(antenna))) return {status, "rf_antenna_sta"};
    ctx_.pause(50);
    unsigned char tagType[2] = {};
    if (int status = api.rf_request(address, kRequestAll, tagType)) return {status, "rf_request"};
    unsigned char id[256] = {};
    unsigned char length = 0;
    if (int status = api.rf_anticoll(address, kUidSize, id, &length)) return {status, "rf_anticoll"};
    // A UID of any other length cannot be selected. The library's status for
    // a reply of the wrong length (1) shows it as the failure it is.
    if (!validUidLength(length)) return {1, "rf_anticoll"};
    unsigned char sak = 0;
    if (int status = api.rf_select(address, id, length, &sak)) return {status, "rf_select"};
    *uid = QByteArray(reinterpret_cast<const char*>(id), length);
    return {0, nullptr};
}

bool MifareCard::SearchCard(int attempts) {
    if (!ctx_.requireConnected()) return false;
    const int antenna = form::itemData(antenna_) + 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        QByteArray uid;
        const Outcome outcome = searchOnce(antenna, &uid);
        if (outcome.status == 0) {
            BytesToHex(uid_, uid);
            m_bCardReady = 1;
            ctx_.showInfoEntry(3);
            if (on_found_) on_found_();
            return true;
        }
        ctx_.showResult(outcome.status, QString::fromLatin1(outcome.label));
    }
    uid_->clear();
    m_bCardReady = 0;
    return false;
}

bool MifareCard::ensureReady() { return m_bCardReady != 0 || SearchCard(1); }

bool MifareCard::prepare(const QRadioButton* keyA, const CHexEdit* field, Key* key) {
    if (!ensureReady()) return false;
    key->type = keyA->isChecked() ? 0x60 : 0x61;
    key->bytes = HexToBytes(field);
    if (key->bytes.size() == kKeyBytes) return true;
    ctx_.errorBoxEntry(4);
    return false;
}

bool MifareCard::authenticate(const Key& key, int block) {
    const int status =
        ctx_.api().rf_M1_authentication2(ctx_.address(), key.type, static_cast<unsigned char>(block),
                                         reinterpret_cast<const unsigned char*>(key.bytes.constData()));
    if (status == 0) return true;
    fail(status, QStringLiteral("rf_M1_authentication2"));
    return false;
}

void MifareCard::fail(int status, const QString& label) {
    ctx_.showResult(status, label);
    m_bCardReady = 0;
}
