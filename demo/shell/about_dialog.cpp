#include "shell/about_dialog.h"

#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/form.h"
#include "controls/icons.h"
#include "shell/app_config.h"

namespace {
const QPoint kPicture(15, 20);
const QSize kPictureSize(65, 50);
}  // namespace

CAboutDlg::CAboutDlg(const AppConfig& config, QWidget* parent) : QDialog(parent) {
    setAutomationId(this, 100);
    setWindowTitle(config.info(AppConfig::AboutTitle));
    auto* lines = new QVBoxLayout;
    const struct {
        int id;
        int index;
    } rows[] = {{1029, AppConfig::SoftwareName}, {1025, AppConfig::AboutVersion}, {1026, AppConfig::AboutLtd},
                {1027, AppConfig::Http},         {1028, AppConfig::Copyright}};
    for (const auto& row : rows) {
        QLabel* line = form::label(this, row.id, config.info(row.index));
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines->addWidget(line);
    }
    QPushButton* ok = form::button(this, 1, QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kPicture.x() + kPictureSize.width() + 20, 16, 16, 12);
    grid->addLayout(lines, 0, 0);
    grid->addWidget(ok, 0, 1, Qt::AlignTop);
    setMinimumHeight(kPicture.y() + kPictureSize.height() + 20);
    setFixedSize(sizeHint().expandedTo(minimumSize()));
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Combined with the dialog face like an AND raster operation.
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    p.drawPixmap(QRect(kPicture, kPictureSize), icons::aboutPicture());
}
