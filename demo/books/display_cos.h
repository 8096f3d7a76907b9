// CDisplayCos: the modal dialog that lists a page's command book. A
// double-click on a line hands that command to the page and closes the
// dialog; "清除COS命令" empties the book and the list; "退出" closes.
#pragma once

#include <QDialog>

class CBooks;
class COwnListBox;

class CDisplayCos : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 139;

    // `language`: the column of the caption texts (0 Chinese, 1 English).
    CDisplayCos(CBooks& book, int language, QWidget* page);

    COwnListBox* list() const { return list_; }

signals:
    // The command picked by a double-click, for the page's command field.
    void commandPicked(const QString& text);

private:
    void pick(const QString& text);
    void clearBook();

    CBooks& book_;
    COwnListBox* list_;
};
