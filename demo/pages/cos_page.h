// What the three CPU-card pages share: the page's command book (loaded when
// the page is made, stored when it goes), its dialog, the common send of a
// hex command (into the book, through the library, the reply appended to
// the result list) and the field switch before a contactless reset.
#pragma once

#include <QByteArray>
#include <functional>

#include "books/books.h"
#include "pages/card_page.h"

class CHexEdit;
class COwnListBox;
class QPushButton;

class CosPage : public CardPage {
    Q_OBJECT
public:
    // `bookFile`: the book's file name ("14443ACosBooks.j" ...).
    CosPage(PageContext& context, const QString& bookFile);
    ~CosPage() override;

    CBooks& book() { return book_; }
    const QString& bookPath() const { return book_path_; }

    // The library's reply buffers.
    static constexpr int kReplySize = 1024;
    // One command travels in one reader frame: at most 252 bytes (251
    // where the library puts a SAM number in front), so a field holds at
    // most that many digits.
    static constexpr int kCommandChars = 504;

protected:
    // A library call that sends `command` and fills `reply`, `replyLength`.
    using Exchange = std::function<int(const unsigned char* command, unsigned char length, unsigned char* reply,
                                       unsigned char* replyLength)>;

    // The command-book button (no caption) that opens the book's dialog;
    // a command picked there goes into `commandField`.
    QPushButton* bookButton(QWidget* parent, int id, CHexEdit* commandField);
    void openBook(CHexEdit* commandField);

    // The common send: the command's upper-case hex into the book, then
    // the call; its reply appended to `results` with "发送操作成功", or the
    // failure under `label`. The caller has checked the connection.
    void sendCommand(const QByteArray& command, COwnListBox* results, const QString& label, const Exchange& call);

    // Field off, 20 ms, card family `type` ('A' or 'B'), 20 ms, field on.
    // False after showing the failing call.
    bool switchField(unsigned char type);

private:
    CBooks book_;
    QString book_path_;
};
