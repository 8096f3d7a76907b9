// The page of a card type whose page is not built yet: it says so.
#include <QLabel>
#include <QVBoxLayout>

#include "controls/trans_frame.h"
#include "pages/page_registry.h"

namespace {

class PlaceholderPage : public CardPage {
public:
    explicit PlaceholderPage(PageContext& context) : CardPage(context) {
        const PageRow& row = pageRow(context.state().curCard);
        auto* frame = new CTransFrm(QString::fromUtf8(row.caption), this);
        auto* note = new QLabel(frame);
        note->setObjectName(QStringLiteral("placeholder"));
        note->setText(context.text({"本页尚未实现", "This page is not built yet"}) + QStringLiteral("\n") +
                      QString::fromUtf8(row.caption) + QStringLiteral(" (%1)").arg(row.templateId));
        note->setAlignment(Qt::AlignCenter);
        auto* inner = new QVBoxLayout(frame);
        inner->addWidget(note);
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(frame);
        setMinimumSize(360, 160);
    }
};

}  // namespace

std::unique_ptr<CardPage> makePlaceholderPage(PageContext& context) {
    return std::make_unique<PlaceholderPage>(context);
}
