// CDlgSetting: the modal settings dialog. It (re)connects the reader with
// the USB ids of its two lists and a typed reader address, reads the
// product information, reads and writes the reader's address, and drives
// the beeper, the lamps and the antenna.
#pragma once

#include <QDialog>

#include "pages/page_context.h"

class QComboBox;
class QRadioButton;
class CHexEdit;

class CDlgSetting : public QDialog {
    Q_OBJECT
public:
    CDlgSetting(PageContext& context, QWidget* parent = nullptr);

    void connectReader();      // 1053
    void readProductInfo();    // 1066
    void readAddress();        // 1063
    void writeAddress();       // 1064
    void beep();               // 1067
    void setLamps();           // 1068
    void setAntenna();         // 1069

private:
    // The id in a list's shown text: its two bytes, least significant
    // first ("861a" is 0x1A86); false when it is not two bytes.
    static bool twoBytes(const QByteArray& bytes, int* value);

    PageContext& ctx_;
    QComboBox* vid_list_;
    QComboBox* pid_list_;
    CHexEdit* address_;
    CHexEdit* model_;
    CHexEdit* serial_;
    CHexEdit* version_;
    CHexEdit* reader_address_;
    CHexEdit* beep_time_;
    QComboBox* lamps_;
    QRadioButton* antenna_on_;
};
