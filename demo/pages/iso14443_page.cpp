#include "pages/iso14443_page.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/iso14443_captions.h"

using iso14443captions::kCaptions;

Iso14443Page::Iso14443Page(PageContext& context, const Form& f) : CosPage(context, f.bookFile) {
    CTransFrm* dataFrame = form::frame(this, 1065, ctx.text(kCaptions[1]));
    command_ = form::hexEdit(dataFrame, 1056, kCommandChars);
    form::fitChars(command_, 40);
    identity_ = form::hexEdit(dataFrame, f.idFieldId);
    form::fitChars(identity_, 16);
    resetInfo_ = form::hexEdit(dataFrame, 1060);
    results_ = form::resultList(dataFrame, 1062);
    results_->setMinimumHeight(18 * 10);
    auto* grid = new QGridLayout(dataFrame);
    grid->addWidget(form::label(dataFrame, 1140, ctx.text(kCaptions[0])), 0, 0);
    grid->addWidget(command_, 0, 1);
    grid->addWidget(bookButton(dataFrame, 1063, command_), 0, 2);
    grid->addWidget(form::label(dataFrame, -1, f.idCaption), 1, 0);
    grid->addWidget(identity_, 1, 1, Qt::AlignLeft);
    grid->addWidget(form::label(dataFrame, 1097, ctx.text(kCaptions[2])), 2, 0);
    grid->addWidget(resetInfo_, 2, 1, 1, 2);
    grid->addWidget(form::label(dataFrame, 1098, ctx.text(kCaptions[3])), 3, 0, Qt::AlignTop);
    grid->addWidget(results_, 3, 1, 1, 2);

    reset_ = form::button(this, 1064, ctx.text(kCaptions[5]));
    send_ = form::button(this, 1057, ctx.text(kCaptions[4]));
    QPushButton* clear = form::button(this, 1067, ctx.text(kCaptions[6]));
    buttons_ = new QVBoxLayout;
    buttons_->addWidget(reset_);
    buttons_->addWidget(send_);
    auto* side = new QVBoxLayout;
    side->addLayout(buttons_);
    side->addWidget(clear);
    side->addSpacing(16);
    side->addWidget(form::label(this, 1099, ctx.text(kCaptions[7])));
    for (const QString& card : f.cards) {
        QLabel* name = form::label(this, -1, card);
        name->setIndent(12);
        side->addWidget(name);
    }
    QLabel* last = form::label(this, 1100, ctx.text(f.lastCard));
    last->setIndent(12);
    side->addWidget(last);
    side->addStretch(1);

    auto* page = new QGridLayout(this);
    page->addWidget(dataFrame, 0, 0);
    page->addLayout(side, 0, 1);
    connect(clear, &QPushButton::clicked, results_, &COwnListBox::clearItems);
}

void Iso14443Page::sendField(const QString& label, const Exchange& call) {
    if (!ctx.requireConnected()) return;
    sendCommand(HexToBytes(command_), results_, label, call);
}
