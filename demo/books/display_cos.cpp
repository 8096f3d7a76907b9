#include "books/display_cos.h"

#include <QGridLayout>

#include "books/books.h"
#include "controls/form.h"
#include "shell/message_table.h"

namespace {

const TextPair kTitle{"COS命令", "COS Command"};
const TextPair kClear{"清除COS命令", "Clear COS"};
const TextPair kExit{"退出", "Exit"};

}  // namespace

CDisplayCos::CDisplayCos(CBooks& book, int language, QWidget* page) : QDialog(page), book_(book) {
    setAutomationId(this, kTemplateId);
    setWindowTitle(kTitle.pick(language));
    // A list without tips: a tip would take the second click of a
    // double-click for itself.
    list_ = new COwnListBox(this);
    setAutomationId(list_, 1062);
    list_->setLineHeight(18);
    list_->setMinimumSize(420, 18 * 12);
    QPushButton* clear = form::button(this, 1066, kClear.pick(language));
    QPushButton* exit = form::button(this, 1063, kExit.pick(language));
    auto* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 3);
    grid->addWidget(clear, 1, 0);
    grid->setColumnStretch(1, 1);
    grid->addWidget(exit, 1, 2);
    // Every entry through AddItem: the last one ends up selected.
    for (const QString& entry : book_.entries()) list_->AddItem(entry);
    connect(list_, &COwnListBox::lineDoubleClicked, this, &CDisplayCos::pick);
    connect(clear, &QPushButton::clicked, this, &CDisplayCos::clearBook);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

void CDisplayCos::pick(const QString& text) {
    emit commandPicked(text);
    reject();  // closes as "退出" does
}

void CDisplayCos::clearBook() {
    book_.Clear();
    list_->clearItems();
}
