#include "pages/cos_page.h"

#include <QPushButton>
#include <QStyle>

#include "books/display_cos.h"
#include "controls/form.h"
#include "controls/hex_text.h"

CosPage::CosPage(PageContext& context, const QString& bookFile)
    : CardPage(context), book_path_(context.dataFilePath(bookFile)) {
    book_.Load(book_path_);
}

// The book goes back to its file with the page (card switch or program end).
CosPage::~CosPage() { book_.Save(book_path_); }

QPushButton* CosPage::bookButton(QWidget* parent, int id, CHexEdit* commandField) {
    QPushButton* button = form::button(parent, id, QString());
    button->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    button->setFixedWidth(button->sizeHint().height() + 8);
    connect(button, &QPushButton::clicked, this, [this, commandField] { openBook(commandField); });
    return button;
}

void CosPage::openBook(CHexEdit* commandField) {
    CDisplayCos dialog(book_, ctx.language(), this);
    connect(&dialog, &CDisplayCos::commandPicked, commandField, &CHexEdit::setText);
    dialog.exec();
}

void CosPage::sendCommand(const QByteArray& command, COwnListBox* results, const QString& label,
                          const Exchange& call) {
    book_.Add(BytesToHexString(command));
    unsigned char reply[kReplySize] = {};
    unsigned char length = 0;
    const int status = call(reinterpret_cast<const unsigned char*>(command.constData()),
                            static_cast<unsigned char>(command.size()), reply, &length);
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    results->AddItem(BytesToHexString(reply, length));
    ctx.showInfoEntry(26);
}

bool CosPage::switchField(unsigned char type) {
    const ReaderApi& api = ctx.api();
    int status = api.rf_antenna_sta(ctx.address(), 0);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return false;
    }
    ctx.pause(20);
    status = api.rf_init_type(ctx.address(), type);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_init_type"));
        return false;
    }
    ctx.pause(20);
    status = api.rf_antenna_sta(ctx.address(), 1);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return false;
    }
    return true;
}
