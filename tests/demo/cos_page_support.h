// What the CPU-card page tests share: a session on the page with its book
// file removed first, the book's entries on disk, the result list's lines,
// and picking a command in the book dialog by double-click.
#pragma once

#include <QFile>
#include <QTest>
#include <memory>

#include "books/books.h"
#include "books/display_cos.h"
#include "controls/own_list_box.h"
#include "pages/cos_page.h"
#include "support/torvik_session.h"

namespace costest {

using torviktest::TorvikSession;

// The page of `cardType` with the cards placed and an empty book: its file
// (named `book`) removed first, and emptied in memory too, in case another
// test program beside this one left a book there meanwhile.
inline std::unique_ptr<TorvikSession> openPage(int cardType, const QStringList& cards, const QString& book) {
    auto s = std::make_unique<TorvikSession>(kMifare1K, cards);
    QFile::remove(s->context().dataFilePath(book));
    s->switchTo(cardType);
    if (auto* page = qobject_cast<CosPage*>(s->page())) page->book().Clear();
    s->boxes().clear();
    return s;
}

// The page a test program drives: opened by each test, closed in cleanup().
class PageSession {
public:
    PageSession(int cardType, QString book, int commandField, QStringList cards)
        : type_(cardType), book_(std::move(book)), field_(commandField), cards_(std::move(cards)) {}
    // With the test program's usual cards, or these.
    void open() { open(cards_); }
    void open(const QStringList& cards) { s_ = openPage(type_, cards, book_); }
    void close() { s_.reset(); }
    TorvikSession& s() { return *s_; }
    int cardType() const { return type_; }
    int commandField() const { return field_; }
    // Types `command` into the page's command field and presses `button`.
    void send(int button, const QString& command) {
        s_->setText(field_, command);
        s_->click(button);
    }

private:
    int type_;
    QString book_;
    int field_;
    QStringList cards_;
    std::unique_ptr<TorvikSession> s_;
};

inline QStringList bookOnDisk(TorvikSession& s, const QString& book) {
    CBooks read;
    read.Load(s.context().dataFilePath(book));
    return read.entries();
}

inline QStringList lines(TorvikSession& s, int listId) {
    auto* list = s.find<COwnListBox>(listId);
    return list ? list->items() : QStringList{"no list"};
}

// Opens the book dialog with `button`; `inDialog` runs while it is up.
inline void withBookDialog(TorvikSession& s, int button, std::function<void(CDisplayCos*)> inDialog) {
    bool seen = false;
    s.boxes().onNextDialog([&](QDialog* d) {
        auto* dialog = qobject_cast<CDisplayCos*>(d);
        seen = dialog != nullptr;
        if (dialog) inDialog(dialog);
        if (d->isVisible()) d->reject();
    });
    s.click(button);
    QVERIFY2(seen, "no book dialog");
}

// Double-clicks line `row` of the open book dialog.
inline void doubleClickLine(CDisplayCos* dialog, int row) {
    COwnListBox* list = dialog->list();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
}

// The page made anew (a switch away and back) lists `expected` in its book
// dialog (opened by `bookButton`); a double-click on line `row` puts that
// command into the command field.
inline void pickFromReloadedBook(PageSession& page, int bookButton, const QStringList& expected, int row) {
    TorvikSession& s = page.s();
    s.switchTo(kMifare1K);
    s.switchTo(page.cardType());
    withBookDialog(s, bookButton, [&](CDisplayCos* dialog) {
        QCOMPARE(dialog->list()->items(), expected);
        doubleClickLine(dialog, row);
    });
    QCOMPARE(s.text(page.commandField()), expected.at(row));
}

}  // namespace costest
