// What the three pages of page-organised type A tags share (Ultralight,
// NTAG203F, NTAG213): the serial-number field, one field per tag page (a
// special page split over two fields), the write-page selector, and the
// request, read and write sequences. A page class gives its TagLayout and
// lays the controls out.
//
// Automation ids (the same on all three pages):
//   1001 serial field "SN0.......SN6", 1002 "寻卡", 1003 "读卡", 1004 "写卡",
//   1005 write-page selector, 1006 NFC sector selector, 1007 "选择扇区";
//   page p: its (first) field 5000 + p, the second field of a split page
//   5200 + p, its number 5500 + p.
#pragma once

#include <QByteArray>
#include <vector>

#include "pages/card_page.h"

class CHexEdit;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace ultralight {
enum Id {
    kSerial = 1001,
    kRequest,
    kRead,
    kWrite,
    kWritePage,
    kSector,
    kSelectSector,
    kPageField = 5000,
    kPageSecond = 5200,
    kPageNumber = 5500,
};
}  // namespace ultralight

// How one page class shows its tag.
struct TagLayout {
    struct Split {
        int page;
        int firstBytes;  // bytes of the first field; the second takes the rest
    };
    struct Mark {
        int page;
        int field;  // 0 the first (or only) field, 1 the second
    };
    int pages;         // tag pages shown: 0 .. pages - 1
    int readPasses;    // four pages per pass
    const char* selectLabel;
    const char* writeLabel;
    bool readChecksConnection;
    std::vector<Split> splits;
    std::vector<Mark> highlighted;  // the lock, OTP and configuration fields
    std::vector<int> confirmWrites; // pages whose write asks first (message 66)
};

class UltralightFamilyPage : public CardPage {
    Q_OBJECT
public:
    UltralightFamilyPage(PageContext& context, TagLayout layout);

protected:
    struct PageFields {
        QLabel* number = nullptr;
        CHexEdit* first = nullptr;
        CHexEdit* second = nullptr;
        int firstBytes = 4;
    };

    // The grid of page fields, `rows` pages to a column.
    QWidget* makePageGrid(QWidget* parent, int rows);
    // The NFC sector selector and its button (NTAG pages); laid out by the page.
    void makeSectorControls(QWidget* parent);

    void clearPages();
    // Shows `count` pages from `firstPage` (4 bytes each); pages the page
    // does not show are skipped.
    void showPages(int firstPage, const unsigned char* data, int count);
    // Re-selects the tag after a refused command has sent it back to idle.
    bool reselect();
    // The text shown when the port is closed ("端口未打开").
    QString portClosed() const;
    // Message 13, "读Page: %d 页发生错误!", naming `number`.
    QString readFailure(int number) const;

    const TagLayout layout_;
    CHexEdit* serial_;
    QLabel* serialCaption_;
    QLabel* writePageCaption_;
    QComboBox* writePage_;
    QPushButton* request_;
    QPushButton* read_;
    QPushButton* write_;
    QLabel* sectorCaption_ = nullptr;
    QComboBox* sector_ = nullptr;
    QPushButton* selectSector_ = nullptr;
    std::vector<PageFields> fields_;

private:
    void Request();
    void Read();
    void Write();
    void SelectSector();

    // After a read whose last good pass started at `start` showed pages up to
    // `last`, makes sure those pages are the tag's and not a roll-over to
    // page 0 (at the tag's end or at a protected area). Clears the pages that
    // are not readable; returns the first of them, or -1 when all are, with
    // its read status in `status`.
    int confirmTail(int start, int last, bool tagIdle, int* status);
    bool readPage(int page, unsigned char* data);
};
