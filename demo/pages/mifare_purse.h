// The "钱包功能" (purse) group of the Mifare Classic pages: value blocks in
// the small sectors, initialised, incremented, decremented and read with a
// key typed by the user. The value is shown twice, as a decimal number and
// as its 4 bytes least significant first; editing either rewrites the other.
#pragma once

#include <QObject>

class CDecEdit;
class CHexEdit;
class CTransFrm;
class MifareCard;
class PageContext;
class QComboBox;
class QRadioButton;
class QWidget;

class MifarePurse : public QObject {
    Q_OBJECT
public:
    // Sectors 0..lastSector are offered (15 on the 1K page, 31 on the 4K).
    MifarePurse(QWidget* parent, int lastSector, MifareCard& card, PageContext& context);

    CTransFrm* frame() const { return frame_; }

private:
    // The value blocks of the chosen sector: 1 and 2 in sector 0 (block 0 is
    // the manufacturer's), 0-2 elsewhere; never the trailer. The block
    // number chosen before stays chosen where it is offered.
    void rebuildBlocks();
    void decimalEdited();
    void bytesEdited();

    enum class Operation { initialise, increment, decrement };
    void change(Operation operation);
    void readValue();
    // Search when needed, key and authentication; the value block or -1.
    int prepare();

    PageContext& ctx_;
    MifareCard& card_;
    CTransFrm* frame_;
    QComboBox* sector_;
    QComboBox* block_;
    QRadioButton* key_a_;
    CHexEdit* key_;
    CDecEdit* value_;
    CHexEdit* value_bytes_;
    bool syncing_ = false;    // one value field is being rewritten from the other
    bool rebuilding_ = false; // the block list is being rebuilt
};
