// What the two vicinity-label pages (I CODE and Tag-it) share: the left-hand
// column (UID, inventory, system information, DSFID, AFI, block selector
// with read / write / lock, stay quiet, reset to ready), the block grid's
// fields and the buttons' sequences. An inventory or a system-information
// request finds one label and fills the UID field; every other button
// addresses the label by the UID in that field, so a typed UID works too.
//
// Automation ids of the column (the same on both pages):
//   1001 UID, 1002 Inventory, 1003 Get Infomation,
//   1004 DSFID, 1005 DSFID Write, 1006 DSFID Lock,
//   1007 AFI, 1008 AFI Write, 1009 AFI Lock,
//   1010 StayQuiet, 1011 ResetToReady,
//   1012 block selector, 1013 block Read, 1014 block Write, 1015 block Lock;
// block i of the grid: data 5000 + i, status 5200 + i, number 5500 + i.
#pragma once

#include <QByteArray>
#include <vector>

#include "pages/card_page.h"
#include "shell/reader_api.h"

class CHexEdit;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace vicinity {
enum Id {
    kUid = 1001,
    kInventory,
    kGetInformation,
    kDsfid,
    kDsfidWrite,
    kDsfidLock,
    kAfi,
    kAfiWrite,
    kAfiLock,
    kStayQuiet,
    kResetToReady,
    kBlockList,
    kBlockRead,
    kBlockWrite,
    kBlockLock,
    kBlockData = 5000,
    kBlockStatus = 5200,
    kBlockNumber = 5500,
};
// The flags byte of the requests: high data rate, and on the Tag-it page
// for labels of other makers also the inventory flag.
constexpr unsigned char kFlagsHighRate = 0x02;
constexpr unsigned char kFlagsNotNxp = 0x06;
constexpr unsigned char kFlagsUnaddressed = 0x00;
constexpr unsigned char kNxp = 0x04;  // IC manufacturer code of NXP
}  // namespace vicinity

class VicinityPage : public CardPage {
    Q_OBJECT
public:
    // A page whose grid holds `blocks` blocks of 4 bytes.
    VicinityPage(PageContext& context, int blocks);

    int notNxpLabel() const { return not_nxp_label; }

protected:
    struct Column {
        QLabel* uidCaption;
        QPushButton* inventory;
        QPushButton* information;
        QLabel* dsfidCaption;
        QPushButton* dsfidWrite;
        QPushButton* dsfidLock;
        QLabel* afiCaption;
        QPushButton* afiWrite;
        QPushButton* afiLock;
        QLabel* blockCaption;
        QPushButton* blockRead;
        QPushButton* blockWrite;
        QPushButton* blockLock;
        QPushButton* stayQuiet;
        QPushButton* resetToReady;
    };

    // Puts the column's first rows into `grid`: UID, "Inventory" and "Get
    // Infomation", DSFID and AFI with their buttons (rows 0-3, columns 0-3).
    void addLabelRows(QGridLayout* grid);

    // The flags of DSFID and AFI write and lock and of block write and lock.
    virtual unsigned char writeFlags() const { return vicinity::kFlagsHighRate; }
    // The label of a failed rf_init_type: message 38, or on the Tag-it
    // page's "Get Infomation" the function's name.
    virtual QString initFailure(bool information) const;
    // The number of blocks a read fills.
    virtual int blocksToRead() const { return blocks_; }

    // The UID field's 8 bytes; false (after message 41) when it holds fewer.
    bool uidBytes(QByteArray* uid) const;
    // Runs the common opening of a UID-addressed button: connected check and
    // UID check.
    bool addressed(QByteArray* uid) const;
    // Message `entry` with OK / Cancel; true for OK.
    bool confirmEntry(int entry) const;
    void clearGrid();

    // The column's controls, made by the constructor; the page lays them out.
    Column column{};
    CHexEdit* uid_;
    CHexEdit* dsfid_;
    CHexEdit* afi_;
    QComboBox* blockList_;
    std::vector<CHexEdit*> data_;
    std::vector<CHexEdit*> status_;
    std::vector<QLabel*> numbers_;
    // Whether the label found is not an NXP label: it selects the Tag-it
    // page's flags and read scheme. 1 until an inventory finds an NXP label.
    int not_nxp_label = 1;

private:
    void Inventory();
    void GetInformation();
    using ByteWrite = decltype(&::ISO15693_Write_DSFID);
    using ByteLock = decltype(&::ISO15693_Lock_DSFID);
    // DSFID or AFI "Write": the field's first byte (message `emptyEntry`
    // when it is empty); "Lock": after question `question`.
    void WriteByte(CHexEdit* field, int emptyEntry, ByteWrite write, const QString& label, int entry);
    void LockByte(int question, ByteLock lock, const QString& label, int entry);
    void ReadBlocks();
    void WriteBlock();
    void LockBlock();
    void StayQuiet();
    void ResetToReady();

    // The opening of "Inventory" and "Get Infomation": the flag, the
    // connected check, empty fields, ISO15693 mode. False when it stopped.
    bool startSearch(bool information);
    bool readPass(const QByteArray& uid, int first, int count);
    bool readSecurity(const QByteArray& uid, int first, int count);
    void noteManufacturer(unsigned char code);

    int blocks_;
};
