// The form the ISO14443-4 type A and type B pages share: in the frame
// "数据信息" the command field with its book button, the card's identity
// field, the reset information and the result list; beside it the reset,
// send and clear buttons (the page adds its own below them) and the cards
// the page serves.
#pragma once

#include <QStringList>

#include "pages/cos_page.h"

class QVBoxLayout;

class Iso14443Page : public CosPage {
    Q_OBJECT
protected:
    struct Form {
        QString bookFile;       // the book's file name
        QString idCaption;      // "CSN" or "PUPI"
        int idFieldId;          // 1058 or 1059
        QStringList cards;      // plain labels under "适用卡片"
        TextPair lastCard;      // label 1100
    };
    Iso14443Page(PageContext& context, const Form& form);

    // The common send of the command field through `call` (not connected:
    // the error, nothing sent).
    void sendField(const QString& label, const Exchange& call);
    // The buttons' column, for the page's own buttons.
    QVBoxLayout* buttons() const { return buttons_; }

    CHexEdit* command_;
    CHexEdit* identity_;
    CHexEdit* resetInfo_;
    COwnListBox* results_;
    QPushButton* reset_;
    QPushButton* send_;

private:
    QVBoxLayout* buttons_;
};
