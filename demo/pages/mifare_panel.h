// One "操作窗口" (operation window) of the Mifare Classic pages: a sector
// and block choice, a key, the sector's data blocks and trailer fields, and
// its Read and Write buttons. The 1K page has three for sectors 0-15; the 4K
// page one for the small sectors 0-31 and one for the large sectors 32-39.
#pragma once

#include <QObject>
#include <vector>

class CHexEdit;
class CTransFrm;
class MifareCard;
class PageContext;
class QComboBox;
class QPushButton;
class QRadioButton;
class QWidget;

struct MifarePanelIds {
    int group;
    int sectorLabel, blockLabel, keyLabel;
    int sectorList, blockList;
    int keyA, keyB, key;
    std::vector<int> rows;  // the data blocks, one per block before the trailer
    int trailerKeyA, accessBits, trailerKeyB;
    int read, write;
    int firstSector, lastSector;  // all of one size: 4 or 16 blocks
};

class MifarePanel : public QObject {
    Q_OBJECT
public:
    MifarePanel(QWidget* parent, const MifarePanelIds& ids, MifareCard& card, PageContext& context);

    CTransFrm* frame() const { return frame_; }
    // Block 0 of sector 0 (the manufacturer block) cannot be written: with
    // the reader connected, the write button is disabled while both lists
    // select 0.
    void applyWriteRule();

    void readSector();
    void writeBlock();

private:
    int firstBlock() const;
    int blockCount() const;
    void clearFields();
    // The 16 bytes to write to the chosen block, zero-filled.
    QByteArray blockData(int block) const;

    PageContext& ctx_;
    MifareCard& card_;
    CTransFrm* frame_;
    QComboBox* sector_;
    QComboBox* block_;
    QRadioButton* key_a_;
    CHexEdit* key_;
    std::vector<CHexEdit*> rows_;
    CHexEdit* trailer_key_a_;
    CHexEdit* access_;
    CHexEdit* trailer_key_b_;
    QPushButton* write_;
};
