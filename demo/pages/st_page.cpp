#include "pages/st_page.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/chip_steps.h"

namespace {

// The pages' caption table: both columns, the shown one picked by ctx.text().
const TextPair kRequest = {"寻卡", "Search Card"};
const TextPair kReadUid = {"读取 UID", "Read UID"};
const TextPair kRead = {"读卡", "Read Card"};
const TextPair kWrite = {"写卡", "Write Card"};
const TextPair kLock = {"块锁定", "Lock Block"};
const TextPair kCompletion = {"Completion", "Completion"};
const TextPair kBlockAddress = {"Write block address", "Write block address"};
const TextPair kChipId = {"Chip - ID", "Chip - ID"};
const TextPair kUid = {"UID", "UID"};

constexpr unsigned char kStType = 0x73;  // rf_init_type: ST short-range chips
constexpr int kSelectWait = 10;          // ms for the field to settle
constexpr int kRequestAttempts = 2;
constexpr int kUidBytes = 8;
constexpr int kLargestReply = 252;

// Message table entries.
constexpr int kSearchDone = 3;
constexpr int kReadDone = 10;
constexpr int kWriteDone = 12;
constexpr int kReadFailed = 20;
constexpr int kConfirmLock = 21;
constexpr int kLockDone = 22;
constexpr int kUidDone = 23;
constexpr int kCompletionDone = 60;

QString latin(const char* text) { return QString::fromLatin1(text); }

}  // namespace

StPage::StPage(PageContext& context, const StChipModel& model) : CardPage(context), model_(model) {
    chipIdCaption_ = form::label(this, -1, ctx.text(kChipId));
    chipId_ = form::hexEdit(this, stids::kChipId, 2);
    if (model_.uidLabel) {
        uidCaption_ = form::label(this, -1, ctx.text(kUid));
        uid_ = form::hexEdit(this, stids::kUid, 2 * kUidBytes);
        readUid_ = form::button(this, stids::kReadUid, ctx.text(kReadUid));
        connect(readUid_, &QPushButton::clicked, this, &StPage::ReadUid);
    }
    request_ = form::button(this, stids::kRequest, ctx.text(kRequest));
    read_ = form::button(this, stids::kRead, ctx.text(kRead));
    write_ = form::button(this, stids::kWrite, ctx.text(kWrite));
    lock_ = form::button(this, stids::kLock, ctx.text(kLock));
    completion_ = form::button(this, stids::kCompletion, ctx.text(kCompletion));
    blockCaption_ = form::label(this, -1, ctx.text(kBlockAddress));
    blockSelector_ = form::numberList(this, stids::kBlockSelector, model_.firstWritable, model_.lastWritable);
    lockCaption_ = form::label(this, -1, latin(model_.lockName));
    lockField_ = form::hexEdit(this, stids::kLockField, 2 * model_.lockBytes);
    if (model_.lockHint) lockHint_ = form::label(this, -1, latin(model_.lockHint));

    for (int n = 0; n < model_.blocks; ++n) {
        blockLabels_.push_back(form::label(this, stids::kFirstBlockLabel + n, QStringLiteral("block%1").arg(n)));
        blockFields_.push_back(form::hexEdit(this, stids::kFirstBlockField + n, 2 * model_.blockSize));
    }

    connect(request_, &QPushButton::clicked, this, &StPage::RequestChip);
    connect(read_, &QPushButton::clicked, this, &StPage::ReadChip);
    connect(write_, &QPushButton::clicked, this, &StPage::WriteBlock);
    connect(lock_, &QPushButton::clicked, this, &StPage::LockBlocks);
    connect(completion_, &QPushButton::clicked, this, &StPage::Complete);
}

int StPage::addOperationRows(QGridLayout* grid, int row) const {
    grid->addWidget(chipIdCaption_, row, 0);
    grid->addWidget(chipId_, row++, 1);
    if (uid_) {
        grid->addWidget(uidCaption_, row, 0);
        grid->addWidget(uid_, row, 1);
        grid->addWidget(readUid_, row++, 2);
    }
    grid->addWidget(request_, row, 0);
    grid->addWidget(completion_, row++, 1);
    grid->addWidget(blockCaption_, row, 0);
    grid->addWidget(blockSelector_, row++, 1);
    grid->addWidget(read_, row, 0);
    grid->addWidget(write_, row++, 1);
    grid->addWidget(lockCaption_, row, 0);
    if (lockHint_) {
        auto* field = new QHBoxLayout;
        field->addWidget(lockField_);
        field->addWidget(lockHint_);
        grid->addLayout(field, row, 1);
    } else {
        grid->addWidget(lockField_, row, 1);
    }
    grid->addWidget(lock_, row++, 2);
    return row;
}

void StPage::addBlockRows(QGridLayout* grid, int row, int column) const {
    for (int n = 0; n < model_.blocks; ++n) {
        grid->addWidget(blockLabels_[n], row + n, column, Qt::AlignRight);
        grid->addWidget(blockFields_[n], row + n, column + 1);
    }
}

void StPage::clearBlocks() {
    for (CHexEdit* field : blockFields_) field->clear();
}

void StPage::RequestChip() {
    chipId_->clear();
    if (!ctx.requireConnected()) return;
    const ReaderApi& api = ctx.api();
    const int address = ctx.address();
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        int status = api.rf_antenna_sta(address, 0);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
            continue;
        }
        status = api.rf_init_type(address, kStType);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_init_type"));
            continue;
        }
        ctx.pause(kSelectWait);
        status = api.rf_antenna_sta(address, 1);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
            continue;
        }
        unsigned char id[kLargestReply] = {};
        status = api.rf_st_select(address, id);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_st_select"));
            continue;
        }
        clearBlocks();
        BytesToHex(chipId_, id, 1);
        ctx.showInfoEntry(kSearchDone);
        return;
    }
}

void StPage::ReadUid() {
    if (!ctx.requireConnected()) return;
    unsigned char uid[kUidBytes] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_srix4k_getuid(ctx.address(), uid, &length);
    if (ctx.report(status, latin(model_.uidLabel), kUidDone)) BytesToHex(uid_, uid, kUidBytes);
}

int StPage::readBlock(int n, QByteArray* content) const {
    unsigned char bytes[4] = {};
    unsigned char length = 0;
    const auto block = static_cast<unsigned char>(n);
    const int status = model_.chip == StChip::SR176 ? ctx.api().rf_sr176_readblock(ctx.address(), block, bytes, &length)
                                                    : ctx.api().rf_srix4k_readblock(ctx.address(), block, bytes, &length);
    if (status != 0) return status;
    if (length != model_.blockSize) return 1;
    *content = QByteArray(reinterpret_cast<const char*>(bytes), model_.blockSize);
    return 0;
}

void StPage::ReadChip() {
    if (!ctx.requireConnected()) return;
    clearBlocks();
    for (int n = 0; n < model_.blocks; ++n) {
        QByteArray content;
        const int status = readBlock(n, &content);
        if (status != 0) {
            chipsteps::readFailure(ctx, status, kReadFailed, n);
            return;
        }
        BytesToHex(blockFields_[n], content);
    }
    ctx.showInfoEntry(kReadDone);
}

int StPage::writeBlock(int n, const QByteArray& content) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.constData());
    const auto block = static_cast<unsigned char>(n);
    return model_.chip == StChip::SR176 ? ctx.api().rf_sr176_writeblock(ctx.address(), block, bytes)
                                        : ctx.api().rf_srix4k_writeblock(ctx.address(), block, bytes);
}

void StPage::WriteBlock() {
    if (!ctx.requireConnected()) return;
    const int block = form::itemData(blockSelector_);
    if (block < 0 || block >= model_.blocks) return;
    const QByteArray content = HexToBytes(blockFields_[block]);
    // A field that does not hold exactly one block is not written.
    if (content.size() != model_.blockSize) return;
    ctx.report(writeBlock(block, content), latin(model_.writeLabel), kWriteDone);
}

int StPage::writeLock(const QByteArray& bytes) const {
    const auto* content = reinterpret_cast<const unsigned char*>(bytes.constData());
    switch (model_.chip) {
    case StChip::SR176: return ctx.api().rf_sr176_protectblock(ctx.address(), content[0]);
    case StChip::SRI512: return ctx.api().rf_sri512_writelockreg(ctx.address(), content);
    case StChip::SRIX4K: break;
    }
    return ctx.api().rf_srix4k_writelockreg(ctx.address(), content[0]);
}

void StPage::LockBlocks() {
    if (!ctx.requireConnected()) return;
    const QByteArray bytes = HexToBytes(lockField_);
    if (bytes.size() != model_.lockBytes) return;
    if (!ctx.confirm(ctx.message(kConfirmLock), QMessageBox::Question)) return;
    ctx.report(writeLock(bytes), latin(model_.lockLabel), kLockDone);
}

void StPage::Complete() {
    if (!ctx.requireConnected()) return;
    ctx.report(ctx.api().rf_st_completion(ctx.address()), QStringLiteral("rf_st_completion"), kCompletionDone);
}
