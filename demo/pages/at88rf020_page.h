// The AT88RF020 page: 32 pages of 8 bytes behind a password. Page 0 holds
// the PUPI and the lock bits, page 2 the signature and the counter, page 3
// the password (written, never read back).
//
// Control ids: 1001 "PUPI"; 1020 page selector ("写卡页"); 1021 "LOCK"
// field, 1022 "LOCK"; 1023 "密码" field, 1024 "验证"; 1025 "签名" field,
// 1026 "记数"; 1010 "寻卡", 1011 "读卡", 1012 "写卡", 1014 "DESELECT";
// 5000 + n the (first) field of page n, 5100 + n the second field of pages
// 0-2, 5500 + n the "PAGE%d" label.
#pragma once

#include <QByteArray>
#include <QComboBox>
#include <vector>

#include "pages/card_page.h"

class CHexEdit;

class CAT88RF020 : public CardPage {
    Q_OBJECT
public:
    explicit CAT88RF020(PageContext& context);

    static constexpr int kPupi = 1001;
    static constexpr int kRequest = 1010;
    static constexpr int kRead = 1011;
    static constexpr int kWrite = 1012;
    static constexpr int kDeselect = 1014;
    static constexpr int kPageSelector = 1020;
    static constexpr int kLockField = 1021;
    static constexpr int kLock = 1022;
    static constexpr int kPassword = 1023;
    static constexpr int kCheck = 1024;
    static constexpr int kSignature = 1025;
    static constexpr int kCount = 1026;
    static constexpr int kFirstPageField = 5000;
    static constexpr int kSecondPageField = 5100;
    static constexpr int kFirstPageLabel = 5500;

    void RequestCard();
    void CheckPassword();
    void LockPages();
    void CountSignature();
    void ReadCard();
    void WritePage();
    void Deselect();

private:
    // A page's fields and the bytes of the page each shows.
    struct Part {
        CHexEdit* field;
        int bytes;
    };

    bool attemptRequest();
    // Reads one page into its fields; the status, or 1 for a short answer.
    int readPage(int page);
    void showPage(int page, const unsigned char* content);
    void clearPage(int page);
    // The page's 8 bytes from its fields, missing bytes 0.
    QByteArray pageInput(int page) const;
    // The field must hold exactly `bytes` bytes, else the message box `entry`.
    bool fieldHolds(const CHexEdit* field, int bytes, int entry) const;
    // After LOCK or COUNT: reads back the page they changed and shows it.
    void showChangedPage(int status, const char* label, int page, int entry);

    CHexEdit* pupi_;
    CHexEdit* password_;
    CHexEdit* lockField_;
    CHexEdit* signature_;
    QComboBox* pageSelector_;
    std::vector<std::vector<Part>> pages_;
};
