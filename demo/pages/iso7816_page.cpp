#include "pages/iso7816_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"

namespace {

const TextPair kCaptions[] = {
    {"DES计算", "DES Calculate"},             // 0: 1075
    {"密钥", "Key"},                          // 1: 1140
    {"数据", "Data"},                         // 2: 1097
    {"结果", "Result"},                       // 3: 1098
    {"加密", "Encrypt"},                      // 4: 1066
    {"解密", "Decrypt"},                      // 5: 1067
    {"SAM卡操作", "SAM Operation"},           // 6: 1076
    {"SAM速率", "SAM Rate"},                  // 7: 1099
    {"COS命令", "COS Command"},               // 8: 1100
    {"复位信息", "Reset Info"},               // 9: 1101
    {"返回结果", "Result"},                   // 10: 1102
    {"发送", "Send"},                         // 11: 1060
    {"复位", "Reset"},                        // 12: 1073
    {"清除结果", "Clear"},                    // 13: 1068
    {"发送带编号", "SendWithSAMNo"},          // 14: 1016
    {"复位带编号", "ResetWithSAMNo"},         // 15: 1152
    {"通用复位及PPS", "ResetWithPPS"},        // 16: 1153
    {"SAM卡编号", "SAM Card No"},             // 17: 1155
};

// The large contact slot: the last entry of the SAM number list (number 6)
// and the captions of its four buttons.
const TextPair kContactSlot{"CPU大卡座", "Contact slot"};
const TextPair kVgShort{"VG短路检测", "VG Short Check"};
const TextPair kPowerOn{"上电", "Power On"};
const TextPair kPowerOff{"下电", "Power Off"};
const TextPair kPresent{"卡存在检测", "Card Check"};

constexpr int kContactSlotNumber = 6;
constexpr int kMinCommand = 5;
constexpr int kDesBlock = 8;
constexpr int kKeyDigits = 16;
constexpr int kDataDigits = 128;

// A hex field holding exactly `bytes` bytes typed as whole pairs of digits.
bool holdsBytes(const CHexEdit* field, int bytes) { return field->text().size() == 2 * bytes; }

}  // namespace

CISO7816_4::CISO7816_4(PageContext& context) : CosPage(context, QStringLiteral("SamCosBooks.j")) {
    // DES calculation.
    CTransFrm* des = form::frame(this, 1075, ctx.text(kCaptions[0]));
    key1_ = form::hexEdit(des, 1056, kKeyDigits);
    key2_ = form::hexEdit(des, 1057, kKeyDigits);
    desData_ = form::hexEdit(des, 1058, kDataDigits);
    form::fitChars(desData_, 48);
    desResult_ = form::hexEdit(des, 1059);
    QPushButton* encrypt = form::button(des, 1066, ctx.text(kCaptions[4]));
    QPushButton* decrypt = form::button(des, 1067, ctx.text(kCaptions[5]));
    auto* desGrid = new QGridLayout(des);
    auto* keys = new QHBoxLayout;
    keys->addWidget(key1_);
    keys->addWidget(key2_);
    keys->addStretch(1);
    desGrid->addWidget(form::label(des, 1140, ctx.text(kCaptions[1])), 0, 0);
    desGrid->addLayout(keys, 0, 1);
    desGrid->addWidget(encrypt, 0, 2);
    desGrid->addWidget(form::label(des, 1097, ctx.text(kCaptions[2])), 1, 0);
    desGrid->addWidget(desData_, 1, 1);
    desGrid->addWidget(decrypt, 1, 2);
    desGrid->addWidget(form::label(des, 1098, ctx.text(kCaptions[3])), 2, 0);
    desGrid->addWidget(desResult_, 2, 1);

    // SAM slots and the contact slot.
    CTransFrm* sam = form::frame(this, 1076, ctx.text(kCaptions[6]));
    rate9600_ = form::radio(sam, 1071, QStringLiteral("9600"), true);
    rate38400_ = form::radio(sam, 1072, QStringLiteral("38400"));
    QRadioButton* rate115200 = form::radio(sam, 1077, QStringLiteral("115200"));
    samNo_ = form::numberList(sam, 1154, 1, 6);
    for (int i = 0; i < samNo_->count(); ++i) samNo_->setItemData(i, i);
    samNo_->addItem(ctx.text(kContactSlot), kContactSlotNumber);
    command_ = form::hexEdit(sam, 1063, kCommandChars - 2);
    form::fitChars(command_, 40);
    atr_ = form::hexEdit(sam, 1061);
    pps_ = form::hexEdit(sam, 1156, 6);
    pps_->setText(QStringLiteral("0C1013"));
    results_ = form::resultList(sam, 1074);
    results_->setMinimumHeight(18 * 8);
    QPushButton* send = form::button(sam, 1060, ctx.text(kCaptions[11]));
    QPushButton* reset = form::button(sam, 1073, ctx.text(kCaptions[12]));
    QPushButton* clear = form::button(sam, 1068, ctx.text(kCaptions[13]));
    QPushButton* sendNo = form::button(sam, 1016, ctx.text(kCaptions[14]));
    QPushButton* resetNo = form::button(sam, 1152, ctx.text(kCaptions[15]));
    QPushButton* resetPps = form::button(sam, 1153, ctx.text(kCaptions[16]));
    QPushButton* vgShort = form::button(sam, 1157, ctx.text(kVgShort));
    QPushButton* powerOn = form::button(sam, 1158, ctx.text(kPowerOn));
    QPushButton* powerOff = form::button(sam, 1159, ctx.text(kPowerOff));
    QPushButton* present = form::button(sam, 1160, ctx.text(kPresent));

    auto* rates = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(rate9600_), static_cast<QWidget*>(rate38400_),
                       static_cast<QWidget*>(rate115200)})
        rates->addWidget(w);
    rates->addSpacing(24);
    rates->addWidget(form::label(sam, 1155, ctx.text(kCaptions[17])));
    rates->addWidget(samNo_);
    rates->addStretch(1);
    auto* reply = new QHBoxLayout;
    reply->addWidget(atr_, 1);
    reply->addWidget(form::label(sam, -1, QStringLiteral("PPS")));
    reply->addWidget(pps_);
    auto* samGrid = new QGridLayout(sam);
    samGrid->addWidget(form::label(sam, 1099, ctx.text(kCaptions[7])), 0, 0);
    samGrid->addLayout(rates, 0, 1, 1, 2);
    samGrid->addWidget(form::label(sam, 1100, ctx.text(kCaptions[8])), 1, 0);
    samGrid->addWidget(command_, 1, 1);
    samGrid->addWidget(bookButton(sam, 1065, command_), 1, 2);
    samGrid->addWidget(form::label(sam, 1101, ctx.text(kCaptions[9])), 2, 0);
    samGrid->addLayout(reply, 2, 1, 1, 2);
    samGrid->addWidget(form::label(sam, 1102, ctx.text(kCaptions[10])), 3, 0, Qt::AlignTop);
    samGrid->addWidget(results_, 3, 1, 1, 2);
    auto* actions = new QGridLayout;
    const QList<QPushButton*> row1 = {reset, send, clear, powerOn, powerOff};
    const QList<QPushButton*> row2 = {resetNo, sendNo, resetPps, present, vgShort};
    for (int i = 0; i < row1.size(); ++i) {
        actions->addWidget(row1[i], 0, i);
        actions->addWidget(row2[i], 1, i);
    }
    samGrid->addLayout(actions, 4, 0, 1, 3);

    auto* page = new QGridLayout(this);
    page->addWidget(des, 0, 0);
    page->addWidget(sam, 1, 0);

    connect(encrypt, &QPushButton::clicked, this, [this] { Des(true); });
    connect(decrypt, &QPushButton::clicked, this, [this] { Des(false); });
    connect(reset, &QPushButton::clicked, this, &CISO7816_4::Reset);
    connect(send, &QPushButton::clicked, this, &CISO7816_4::Send);
    connect(sendNo, &QPushButton::clicked, this, &CISO7816_4::SendWithSamNo);
    connect(resetNo, &QPushButton::clicked, this, &CISO7816_4::ResetWithSamNo);
    connect(resetPps, &QPushButton::clicked, this, &CISO7816_4::ResetWithPps);
    connect(vgShort, &QPushButton::clicked, this, &CISO7816_4::CheckVgShort);
    connect(powerOn, &QPushButton::clicked, this, [this] { Power(true); });
    connect(powerOff, &QPushButton::clicked, this, [this] { Power(false); });
    connect(present, &QPushButton::clicked, this, &CISO7816_4::CheckPresent);
    connect(clear, &QPushButton::clicked, results_, &COwnListBox::clearItems);
}

int CISO7816_4::rateCode() const {
    if (rate9600_->isChecked()) return 0;
    if (rate38400_->isChecked()) return 1;
    return 2;
}

int CISO7816_4::samNumber() const { return std::max(0, form::itemData(samNo_)); }

bool CISO7816_4::takeCommand(QByteArray* command) {
    *command = HexToBytes(command_);
    if (command->size() >= kMinCommand) return true;
    ctx.errorBoxEntry(25, QStringLiteral("error"));
    return false;
}

void CISO7816_4::showReset(int status, const QString& label, const unsigned char* atr, unsigned char length) {
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    BytesToHex(atr_, atr, length);
    ctx.showInfoEntry(24);
}

void CISO7816_4::Reset() {
    if (!ctx.requireConnected()) return;
    atr_->clear();
    const ReaderApi& api = ctx.api();
    const int status = api.rf_init_sam(ctx.address(), static_cast<unsigned char>(rateCode()));
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_init_sam"));
        return;
    }
    unsigned char atr[kReplySize] = {};
    unsigned char length = 0;
    const int reset = api.rf_sam_rst(ctx.address(), atr, &length);
    showReset(reset, QStringLiteral("rf_sam_rst"), atr, length);
}

void CISO7816_4::Send() {
    if (!ctx.requireConnected()) return;
    QByteArray command;
    if (!takeCommand(&command)) return;
    const ReaderApi& api = ctx.api();
    sendCommand(command, results_, QStringLiteral("rf_sam_cos"),
                [&](const unsigned char* apdu, unsigned char length, unsigned char* reply, unsigned char* replyLength) {
                    return api.rf_sam_cos(ctx.address(), apdu, length, reply, replyLength);
                });
}

void CISO7816_4::SendWithSamNo() {
    if (!ctx.requireConnected()) return;
    QByteArray command;
    if (!takeCommand(&command)) return;
    const ReaderApi& api = ctx.api();
    const auto number = static_cast<unsigned char>(samNumber());
    sendCommand(command, results_, QStringLiteral("rf_sam_cos_with_SAM_No"),
                [&](const unsigned char* apdu, unsigned char length, unsigned char* reply, unsigned char* replyLength) {
                    return api.rf_sam_cos_2(ctx.address(), number, apdu, length, reply, replyLength);
                });
}

void CISO7816_4::ResetWithSamNo() {
    if (!ctx.requireConnected()) return;
    atr_->clear();
    // Bits 0-3 the rate code, bits 4-7 the SAM number.
    const auto parameter = static_cast<unsigned char>(rateCode() + 16 * samNumber());
    unsigned char atr[kReplySize] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_sam_rst_2(ctx.address(), &parameter, 1, atr, &length);
    showReset(status, QStringLiteral("rf_sam_rst_with_SAM_No"), atr, length);
}

void CISO7816_4::ResetWithPps() {
    if (!ctx.requireConnected()) return;
    const QByteArray pps = HexToBytes(pps_);
    if (pps.size() != 1 && pps.size() != 3) {
        ctx.errorBoxEntry(62, QStringLiteral("error"));
        return;
    }
    atr_->clear();
    unsigned char atr[kReplySize] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_sam_rst_2(ctx.address(), reinterpret_cast<const unsigned char*>(pps.constData()),
                                              static_cast<unsigned char>(pps.size()), atr, &length);
    showReset(status, QStringLiteral("rf_sam_rst_with_SAM_No_and_SET_PPS"), atr, length);
}

void CISO7816_4::checkSlot(const SlotCheck& call, const QString& label, int entryWhenSet, int entryOtherwise) {
    if (!ctx.requireConnected()) return;
    unsigned char result = 0;
    const int status = call(&result);
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    ctx.showInfoEntry(result == 1 ? entryWhenSet : entryOtherwise);
}

void CISO7816_4::CheckVgShort() {
    const ReaderApi& api = ctx.api();
    checkSlot([&](unsigned char* result) { return api.rf_ContactCpuCard_VGShort_Check(ctx.address(), result); },
              QStringLiteral("rf_Contact_CPU_Card_VG_Short_Check"), 69, 70);
}

void CISO7816_4::CheckPresent() {
    const ReaderApi& api = ctx.api();
    checkSlot([&](unsigned char* result) { return api.rf_ContactCpuCard_In_Check(ctx.address(), result); },
              QStringLiteral("rf_Contact_CPU_Card_In_Check"), 68, 67);
}

void CISO7816_4::Power(bool on) {
    if (!ctx.requireConnected()) return;
    const int status = ctx.api().rf_ContactCpuCard_Power_OnOff(ctx.address(), on ? 1 : 0);
    ctx.report(status, on ? QStringLiteral("rf_Contact_CPU_Card_Power_On") : QStringLiteral("rf_Contact_CPU_Card_Power_Off"),
               1);
}

// No reader involved. Keys and data must be whole bytes: a field with an odd
// digit would stand for a byte the user did not type.
void CISO7816_4::Des(bool encrypt) {
    if (!holdsBytes(key1_, kDesBlock) || (!key2_->text().isEmpty() && !holdsBytes(key2_, kDesBlock))) {
        ctx.errorBoxEntry(27, QStringLiteral("error"));
        return;
    }
    QByteArray key = HexToBytes(key1_);
    if (!key2_->text().isEmpty()) key += HexToBytes(key2_);
    const QString dataText = desData_->text();
    if (dataText.isEmpty() || dataText.size() % (2 * kDesBlock) != 0) {
        ctx.errorBoxEntry(28, QStringLiteral("error"));
        return;
    }
    // The library overwrites the input with its middle values under a
    // triple-DES key; the field keeps what the user typed.
    QByteArray input = HexToBytes(desData_);
    QByteArray output(input.size(), '\0');
    const auto cipher = encrypt ? ctx.api().des_encrypt : ctx.api().des_decrypt;
    cipher(reinterpret_cast<unsigned char*>(output.data()), reinterpret_cast<unsigned char*>(input.data()),
           int(input.size()), reinterpret_cast<const unsigned char*>(key.constData()), int(key.size()));
    BytesToHex(desResult_, output);
}

TORVIK_PAGE_FACTORY(makeIso7816Page, CISO7816_4)
