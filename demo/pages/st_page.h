// What the three ST short-range chip pages (SR176, SRI512, SRIX4K) share:
// the selection of a chip (initiate, select, completion), its UID, block
// read and write with one field per block, and the lock register. The pages
// differ in the chip's size, the commands for its blocks and lock, and in
// how they lay the controls out.
//
// Control ids, the same on the three pages:
//   1001 "Chip - ID" field           1002 UID field      1003 "读取 UID"
//   1010 "寻卡"  1011 "读卡"  1012 "写卡"  1013 "块锁定"  1014 "Completion"
//   1020 block selector ("Write block address")   1021 lock register field
//   5000 + n block n's field, 5500 + n its "block%d" label
#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <vector>

#include "pages/card_page.h"

class CHexEdit;
class QGridLayout;

enum class StChip { SR176, SRI512, SRIX4K };

// The facts of one chip the page works with.
struct StChipModel {
    StChip chip;
    int blocks;         // blocks the chip has, all read by "读卡"
    int blockSize;      // bytes per block
    int firstWritable;  // the block selector's range
    int lastWritable;
    int lockBytes;           // bytes of the lock register field
    const char* lockName;    // its caption
    const char* lockHint;    // a note beside it, or null
    const char* uidLabel;    // result-strip label of the UID read (null: no UID)
    const char* writeLabel;  // of the block write
    const char* lockLabel;   // of the lock write
};

namespace stids {
enum : int {
    kChipId = 1001,
    kUid = 1002,
    kReadUid = 1003,
    kRequest = 1010,
    kRead = 1011,
    kWrite = 1012,
    kLock = 1013,
    kCompletion = 1014,
    kBlockSelector = 1020,
    kLockField = 1021,
    kFirstBlockField = 5000,
    kFirstBlockLabel = 5500,
};
}  // namespace stids

class StPage : public CardPage {
    Q_OBJECT
public:
    StPage(PageContext& context, const StChipModel& model);

    // "寻卡": initiate and select a chip, at most two attempts.
    void RequestChip();
    // "读取 UID".
    void ReadUid();
    // "读卡": every block of the chip, in order.
    void ReadChip();
    // "写卡": the selected block from its field.
    void WriteBlock();
    // "块锁定": the lock register, after the user confirms.
    void LockBlocks();
    // "Completion": releases the selected chip.
    void Complete();

protected:
    // Puts the operation controls (chip id ... completion) in `grid` from
    // `row` on, in columns 0-2; returns the next free row.
    int addOperationRows(QGridLayout* grid, int row) const;
    // A "block%d" label and its field per block, one pair a row.
    void addBlockRows(QGridLayout* grid, int row, int column = 0) const;

    const StChipModel& model_;
    CHexEdit* chipId_;
    CHexEdit* uid_ = nullptr;
    QPushButton* readUid_ = nullptr;
    QPushButton* request_;
    QPushButton* read_;
    QPushButton* write_;
    QPushButton* lock_;
    QPushButton* completion_;
    QComboBox* blockSelector_;
    CHexEdit* lockField_;
    QLabel* chipIdCaption_;
    QLabel* uidCaption_ = nullptr;
    QLabel* blockCaption_;
    QLabel* lockCaption_;
    QLabel* lockHint_ = nullptr;
    // Created with the page as parent; each page places them.
    std::vector<CHexEdit*> blockFields_;
    std::vector<QLabel*> blockLabels_;

private:
    int readBlock(int n, QByteArray* content) const;
    int writeBlock(int n, const QByteArray& content) const;
    int writeLock(const QByteArray& bytes) const;
    void clearBlocks();
};
