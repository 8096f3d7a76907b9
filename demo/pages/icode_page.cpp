#include "pages/icode_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/tag_bytes.h"

namespace {

const TextPair kOperationCaption{"操作窗口", "Operation"};
const TextPair kBlockFrameCaption{"块信息窗口", "Block information"};
const TextPair kEasFrameCaption{"EAS操作窗口", "EAS operation"};
const TextPair kStayQuietCaption{"StayQuiet", "StayQuiet"};
const TextPair kBlockHeading{"BLOCK", "BLOCK"};
const TextPair kStatusHeading{"STATUS", "STATUS"};
const TextPair kSetEasCaption{"Set EAS", "Set EAS"};
const TextPair kResetEasCaption{"Reset EAS", "Reset EAS"};
const TextPair kLockEasCaption{"Lock EAS", "Lock EAS"};
const TextPair kEasAlarmCaption{"EAS Alarm", "EAS Alarm"};

constexpr int kEasBytes = 32;
constexpr int kGridRows = 14;  // the 28 blocks in two columns

}  // namespace

CICODE::CICODE(PageContext& context) : VicinityPage(context, kBlocks) {
    column.stayQuiet->setText(ctx.text(kStayQuietCaption));

    CTransFrm* operation = form::frame(this, kOperationFrame, ctx.text(kOperationCaption));
    auto* left = new QGridLayout(operation);
    addLabelRows(left);
    left->addWidget(column.stayQuiet, 4, 1);
    left->addWidget(column.resetToReady, 4, 2, 1, 2);
    left->setRowStretch(5, 1);

    CTransFrm* blockFrame = form::frame(this, kBlockFrame, ctx.text(kBlockFrameCaption));
    auto* grid = new QGridLayout(blockFrame);
    auto* actions = new QHBoxLayout;
    actions->addWidget(column.blockCaption);
    actions->addWidget(blockList_);
    actions->addWidget(column.blockRead);
    actions->addWidget(column.blockWrite);
    actions->addWidget(column.blockLock);
    actions->addStretch(1);
    grid->addLayout(actions, 0, 0, 1, 6);
    for (int half = 0; half < 2; ++half) {
        grid->addWidget(form::label(blockFrame, -1, ctx.text(kBlockHeading)), 1, 3 * half + 1);
        grid->addWidget(form::label(blockFrame, -1, ctx.text(kStatusHeading)), 1, 3 * half + 2);
    }
    for (int block = 0; block < kBlocks; ++block) {
        const int row = 2 + block % kGridRows;
        const int col = 3 * (block / kGridRows);
        grid->addWidget(numbers_[block], row, col);
        grid->addWidget(data_[block], row, col + 1);
        grid->addWidget(status_[block], row, col + 2);
        status_[block]->setMaximumWidth(status_[block]->minimumWidth());
    }

    CTransFrm* easFrame = form::frame(this, kEasFrame, ctx.text(kEasFrameCaption));
    auto* easGrid = new QGridLayout(easFrame);
    QPushButton* setEas = form::button(easFrame, kSetEas, ctx.text(kSetEasCaption));
    QPushButton* resetEas = form::button(easFrame, kResetEas, ctx.text(kResetEasCaption));
    QPushButton* lockEas = form::button(easFrame, kLockEas, ctx.text(kLockEasCaption));
    QPushButton* alarm = form::button(easFrame, kEasAlarm, ctx.text(kEasAlarmCaption));
    eas_ = form::hexEdit(easFrame, kEasData, 2 * kEasBytes);
    easGrid->addWidget(setEas, 0, 0);
    easGrid->addWidget(resetEas, 0, 1);
    easGrid->addWidget(lockEas, 0, 2);
    easGrid->addWidget(alarm, 0, 3);
    easGrid->addWidget(eas_, 1, 0, 1, 4);

    auto* page = new QGridLayout(this);
    page->addWidget(operation, 0, 0);
    page->addWidget(blockFrame, 0, 1, 2, 1);
    page->addWidget(easFrame, 1, 0);

    connect(setEas, &QPushButton::clicked, this, [this] { SetEas(); });
    connect(resetEas, &QPushButton::clicked, this, [this] { ResetEas(); });
    connect(lockEas, &QPushButton::clicked, this, [this] { LockEas(); });
    connect(alarm, &QPushButton::clicked, this, [this] { EasAlarm(); });
}

void CICODE::SetEas() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    const unsigned char* u = tagpage::bytes(uid);
    ctx.report(ctx.api().ISO15693_SET_EAS_ICODE(ctx.address(), vicinity::kFlagsHighRate, u),
               QStringLiteral("ISO15693_SET_EAS_ICODE"), 55);
}

void CICODE::LockEas() {
    QByteArray uid;
    if (!addressed(&uid) || !confirmEntry(49)) return;
    const unsigned char* u = tagpage::bytes(uid);
    ctx.report(ctx.api().ISO15693_LOCK_EAS_ICODE(ctx.address(), vicinity::kFlagsHighRate, u),
               QStringLiteral("ISO15693_Lock_EAS_ICODE"), 56);
}

void CICODE::ResetEas() {
    QByteArray uid;
    if (!addressed(&uid)) return;
    const unsigned char* u = tagpage::bytes(uid);
    ctx.report(ctx.api().ISO15693_RESET_EAS_ICODE(ctx.address(), vicinity::kFlagsHighRate, u),
               QStringLiteral("ISO15693_Reset_EAS_ICODE"), 57);
}

void CICODE::EasAlarm() {
    if (!ctx.requireConnected()) return;
    eas_->clear();
    QByteArray uid;
    if (!uidBytes(&uid)) return;
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const unsigned char* u = tagpage::bytes(uid);
    const int status = ctx.api().ISO15693_EAS_ALARM_ICODE(ctx.address(), vicinity::kFlagsHighRate, u, reply, &length);
    if (status != 0 || length < kEasBytes) {
        ctx.showResult(status != 0 ? status : tagpage::kWrongLength, QStringLiteral("ISO15693_EAS_Alarm"));
        return;
    }
    BytesToHex(eas_, reply, kEasBytes);
    ctx.showInfoEntry(58);
}

TORVIK_PAGE_FACTORY(makeICodePage, CICODE)
