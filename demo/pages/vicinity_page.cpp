#include "pages/vicinity_page.h"

#include <algorithm>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/tag_bytes.h"

using namespace vicinity;

namespace {

const TextPair kUidCaption{"UID", "UID"};
const TextPair kInventoryCaption{"Inventory", "Inventory"};
const TextPair kInformationCaption{"Get Infomation", "Get Infomation"};
const TextPair kDsfidCaption{"DSFID", "DSFID"};
const TextPair kAfiCaption{"AFI", "AFI"};
const TextPair kWriteCaption{"Write", "Write"};
const TextPair kLockCaption{"Lock", "Lock"};
const TextPair kReadCaption{"Read", "Read"};
const TextPair kBlockCaption{"BLOCK", "BLOCK"};
const TextPair kResetCaption{"ResetToReady", "ResetToReady"};

constexpr int kUidBytes = 8;
constexpr int kBlockBytes = 4;
// A read pass takes at most 14 blocks, a security request at most 28.
constexpr int kReadPass = 14;
constexpr int kSecurityPass = 28;
using tagpage::bytes;
using tagpage::kWrongLength;

}  // namespace

VicinityPage::VicinityPage(PageContext& context, int blocks) : CardPage(context), blocks_(blocks) {
    column.uidCaption = form::label(this, -1, ctx.text(kUidCaption));
    uid_ = form::hexEdit(this, kUid, 2 * kUidBytes);
    column.inventory = form::button(this, kInventory, ctx.text(kInventoryCaption));
    column.information = form::button(this, kGetInformation, ctx.text(kInformationCaption));
    column.dsfidCaption = form::label(this, -1, ctx.text(kDsfidCaption));
    dsfid_ = form::hexEdit(this, kDsfid, 2);
    column.dsfidWrite = form::button(this, kDsfidWrite, ctx.text(kWriteCaption));
    column.dsfidLock = form::button(this, kDsfidLock, ctx.text(kLockCaption));
    column.afiCaption = form::label(this, -1, ctx.text(kAfiCaption));
    afi_ = form::hexEdit(this, kAfi, 2);
    column.afiWrite = form::button(this, kAfiWrite, ctx.text(kWriteCaption));
    column.afiLock = form::button(this, kAfiLock, ctx.text(kLockCaption));
    column.blockCaption = form::label(this, -1, ctx.text(kBlockCaption));
    blockList_ = form::numberList(this, kBlockList, 0, blocks - 1);
    column.blockRead = form::button(this, kBlockRead, ctx.text(kReadCaption));
    column.blockWrite = form::button(this, kBlockWrite, ctx.text(kWriteCaption));
    column.blockLock = form::button(this, kBlockLock, ctx.text(kLockCaption));
    column.stayQuiet = form::button(this, kStayQuiet, QString());
    column.resetToReady = form::button(this, kResetToReady, ctx.text(kResetCaption));

    for (int i = 0; i < blocks; ++i) {
        data_.push_back(form::hexEdit(this, kBlockData + i, 2 * kBlockBytes));
        status_.push_back(form::hexEdit(this, kBlockStatus + i, 2));
        QLabel* number = form::label(this, kBlockNumber + i, QString::number(i));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        numbers_.push_back(number);
    }

    connect(column.inventory, &QPushButton::clicked, this, [this] { Inventory(); });
    connect(column.information, &QPushButton::clicked, this, [this] { GetInformation(); });
    connect(column.dsfidWrite, &QPushButton::clicked, this, [this] {
        WriteByte(dsfid_, 42, ctx.api().ISO15693_Write_DSFID, QStringLiteral("ISO15693_Write_DSFID"), 43);
    });
    connect(column.dsfidLock, &QPushButton::clicked, this, [this] {
        LockByte(51, ctx.api().ISO15693_Lock_DSFID, QStringLiteral("ISO15693_Lock_DSFID"), 44);
    });
    connect(column.afiWrite, &QPushButton::clicked, this, [this] {
        WriteByte(afi_, 45, ctx.api().ISO15693_Write_AFI, QStringLiteral("ISO15693_Write_AFI"), 46);
    });
    connect(column.afiLock, &QPushButton::clicked, this, [this] {
        LockByte(50, ctx.api().ISO15693_Lock_AFI, QStringLiteral("ISO15693_Lock_AFI"), 47);
    });
    connect(column.blockRead, &QPushButton::clicked, this, [this] { ReadBlocks(); });
    connect(column.blockWrite, &QPushButton::clicked, this, [this] { WriteBlock(); });
    connect(column.blockLock, &QPushButton::clicked, this, [this] { LockBlock(); });
    connect(column.stayQuiet, &QPushButton::clicked, this, [this] { StayQuiet(); });
    connect(column.resetToReady, &QPushButton::clicked, this, [this] { ResetToReady(); });
}

void VicinityPage::addLabelRows(QGridLayout* grid) {
    grid->addWidget(column.uidCaption, 0, 0);
    grid->addWidget(uid_, 0, 1, 1, 3);
    grid->addWidget(column.inventory, 1, 1);
    grid->addWidget(column.information, 1, 2, 1, 2);
    grid->addWidget(column.dsfidCaption, 2, 0);
    grid->addWidget(dsfid_, 2, 1);
    grid->addWidget(column.dsfidWrite, 2, 2);
    grid->addWidget(column.dsfidLock, 2, 3);
    grid->addWidget(column.afiCaption, 3, 0);
    grid->addWidget(afi_, 3, 1);
    grid->addWidget(column.afiWrite, 3, 2);
    grid->addWidget(column.afiLock, 3, 3);
}

QString VicinityPage::initFailure(bool) const { return ctx.message(38); }

bool VicinityPage::uidBytes(QByteArray* uid) const {
    *uid = HexToBytes(uid_);
    if (uid->size() < kUidBytes) {
        ctx.errorBoxEntry(41);
        return false;
    }
    uid->truncate(kUidBytes);
    return true;
}

bool VicinityPage::addressed(QByteArray* uid) const { return ctx.requireConnected() && uidBytes(uid); }

bool VicinityPage::confirmEntry(int entry) const { return ctx.confirm(ctx.message(entry), QMessageBox::Warning); }

void VicinityPage::clearGrid() {
    for (CHexEdit* field : data_) field->clear();
    for (CHexEdit* field : status_) field->clear();
}

void VicinityPage::noteManufacturer(unsigned char code) {
    if (code == kNxp) not_nxp_label = 0;
}

bool VicinityPage::startSearch(bool information) {
    not_nxp_label = 1;
    if (!ctx.requireConnected()) return false;
    uid_->clear();
    dsfid_->clear();
    afi_->clear();
    clearGrid();
    constexpr unsigned char kIso15693Mode = 0x31;
    const int status = ctx.api().rf_init_type(ctx.address(), kIso15693Mode);
    if (status != 0) {
        ctx.showResult(status, initFailure(information));
        return false;
    }
    return true;
}

void VicinityPage::Inventory() {
    if (!startSearch(false)) return;
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const QString label = QStringLiteral("ISO15693_Inventory");
    const int status = ctx.api().ISO15693_Inventory(ctx.address(), reply, &length);
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    if (length < 1 + kUidBytes) {
        ctx.showResult(kWrongLength, label);
        return;
    }
    // DSFID, then the UID least significant byte first; UID byte 6 is the
    // IC manufacturer code.
    BytesToHex(uid_, reply + 1, kUidBytes);
    BytesToHex(dsfid_, reply, 1);
    noteManufacturer(reply[7]);
    ctx.showInfoEntry(1);
}

void VicinityPage::GetInformation() {
    if (!startSearch(true)) return;
    // An unaddressed request: the UID it carries means nothing to the label.
    const unsigned char noUid[kUidBytes] = {};
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const QString label = QStringLiteral("ISO15693_Get_System_Information");
    const int status =
        ctx.api().ISO15693_Get_System_Information(ctx.address(), kFlagsUnaddressed, noUid, reply, &length);
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    if (length < 12) {
        ctx.showResult(kWrongLength, label);
        return;
    }
    // Information flags, UID, then DSFID and AFI where the flags announce them.
    const unsigned char flags = reply[0];
    BytesToHex(uid_, reply + 1, kUidBytes);
    int next = 1 + kUidBytes;
    if (flags & 0x01) BytesToHex(dsfid_, reply + next++, 1);
    if (flags & 0x02) BytesToHex(afi_, reply + next, 1);
    noteManufacturer(reply[7]);
    ctx.showInfoEntry(40);
}

void VicinityPage::WriteByte(CHexEdit* field, int emptyEntry, ByteWrite write, const QString& label, int entry) {
    QByteArray uid;
    if (!addressed(&uid)) return;
    const QByteArray value = HexToBytes(field);
    if (value.isEmpty()) {
        ctx.errorBoxEntry(emptyEntry);
        return;
    }
    ctx.report(write(ctx.address(), writeFlags(), bytes(uid), static_cast<unsigned char>(value[0])), label, entry);
}

void VicinityPage::LockByte(int question, ByteLock lock, const QString& label, int entry) {
    QByteArray uid;
    if (!addressed(&uid) || !confirmEntry(question)) return;
    ctx.report(lock(ctx.address(), writeFlags(), bytes(uid)), label, entry);
}

bool VicinityPage::readPass(const QByteArray& uid, int first, int count) {
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const QString label = QStringLiteral("ISO15693_Read");
    const int status = ctx.api().ISO15693_Read(ctx.address(), kFlagsHighRate, bytes(uid),
                                               static_cast<unsigned char>(first), static_cast<unsigned char>(count),
                                               reply, &length);
    if (status != 0 || length < count * kBlockBytes) {
        ctx.showResult(status != 0 ? status : kWrongLength, label);
        return false;
    }
    for (int i = 0; i < count; ++i) BytesToHex(data_[first + i], reply + i * kBlockBytes, kBlockBytes);
    return true;
}

bool VicinityPage::readSecurity(const QByteArray& uid, int first, int count) {
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const int status = ctx.api().ISO15693_Get_Block_Security(ctx.address(), kFlagsHighRate, bytes(uid),
                                                             static_cast<unsigned char>(first),
                                                             static_cast<unsigned char>(count), reply, &length);
    if (status != 0 || length != count) {
        ctx.showResult(status != 0 ? status : kWrongLength, QStringLiteral("ISO15693_Get_Block_Security"));
        return false;
    }
    for (int i = 0; i < count; ++i) BytesToHex(status_[first + i], reply + i, 1);
    return true;
}

void VicinityPage::ReadBlocks() {
    if (!ctx.requireConnected()) return;
    clearGrid();
    QByteArray uid;
    if (!uidBytes(&uid)) return;
    const int blocks = blocksToRead();
    for (int first = 0; first < blocks; first += kReadPass) {
        if (!readPass(uid, first, std::min(kReadPass, blocks - first))) return;
    }
    for (int first = 0; first < blocks; first += kSecurityPass) {
        if (!readSecurity(uid, first, std::min(kSecurityPass, blocks - first))) return;
    }
    ctx.showInfoEntry(1);
}

void VicinityPage::WriteBlock() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    const int block = blockList_->currentIndex();
    const QByteArray value = HexToBytes(data_[block]);
    if (value.size() != kBlockBytes) {
        ctx.errorBoxEntry(48);
        return;
    }
    const int status = ctx.api().ISO15693_Write(ctx.address(), writeFlags(), bytes(uid),
                                                static_cast<unsigned char>(block), bytes(value));
    ctx.report(status, QStringLiteral("ISO15693_Write"), 1);
}

void VicinityPage::LockBlock() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    const int block = blockList_->currentIndex();
    if (!confirmEntry(52)) return;
    const int status =
        ctx.api().ISO15693_Lock_Block(ctx.address(), writeFlags(), bytes(uid), static_cast<unsigned char>(block));
    ctx.report(status, QStringLiteral("ISO15693_Lock_Block"), 1);
}

void VicinityPage::StayQuiet() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    ctx.report(ctx.api().ISO15693_Stay_Quiet(ctx.address(), bytes(uid)), QStringLiteral("ISO15693_Stay_Quiet"), 53);
}

void VicinityPage::ResetToReady() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    ctx.report(ctx.api().ISO15693_Reset_To_Ready(ctx.address(), kFlagsHighRate, bytes(uid)),
               QStringLiteral("ISO15693_Reset_To_Ready"), 54);
}
