// CISO7816_4: the page of contact processor cards: SAMs in the reader's six
// SAM slots and the CPU card in its large contact slot (reset, reset by
// number or with PPS, APDUs, the slot's power, presence and VG-short
// checks), the page's command book, and DES / triple-DES calculation.
#pragma once

#include "pages/cos_page.h"

class QComboBox;
class QRadioButton;

class CISO7816_4 : public CosPage {
    Q_OBJECT
public:
    explicit CISO7816_4(PageContext& context);

private:
    // Rate code: 0 for 9600, 1 for 38400, 2 for 115200 baud.
    int rateCode() const;
    // The chosen slot's SAM number (0-5 the SAM slots, 6 the contact slot).
    int samNumber() const;
    // The command field's bytes, or false after the "at least 5 bytes" box.
    bool takeCommand(QByteArray* command);
    // Shows an answer to reset (rf_sam_rst, rf_sam_rst_2) in the ATR field.
    void showReset(int status, const QString& label, const unsigned char* atr, unsigned char length);

    // A one-byte check of the contact slot: entry `entryWhenSet` when the
    // byte is 1, else `entryOtherwise`.
    using SlotCheck = std::function<int(unsigned char* result)>;
    void checkSlot(const SlotCheck& call, const QString& label, int entryWhenSet, int entryOtherwise);

    void Reset();
    void Send();
    void SendWithSamNo();
    void ResetWithSamNo();
    void ResetWithPps();
    void CheckVgShort();
    void Power(bool on);
    void CheckPresent();
    void Des(bool encrypt);

    CHexEdit* key1_;
    CHexEdit* key2_;
    CHexEdit* desData_;
    CHexEdit* desResult_;
    QRadioButton* rate9600_;
    QRadioButton* rate38400_;
    QComboBox* samNo_;
    CHexEdit* command_;
    CHexEdit* atr_;
    CHexEdit* pps_;
    COwnListBox* results_;
};
