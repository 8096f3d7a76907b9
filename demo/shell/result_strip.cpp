#include "shell/result_strip.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>

#include "controls/icons.h"
#include "reader_status.h"
#include "shell/message_table.h"

namespace {
constexpr int kWidth = 300;
constexpr int kMark = 16;
constexpr int kGap = 4;
}  // namespace

ResultStrip::ResultStrip(int language, QWidget* parent) : QLabel(parent), language_(language) {
    setObjectName(QStringLiteral("result"));
    setAccessibleDescription(QStringLiteral("result"));
    setIndent(kMark + 2 * kGap);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(pal);
    setAutoFillBackground(false);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString ResultStrip::resultText(int status, const QString& label, int language) {
    const QString joiner = StripTexts::kJoiner.pick(language);
    if (status == 0)
        return label.isEmpty() ? StripTexts::kSuccess.pick(language)
                               : StripTexts::kSuccessWithLabel.pick(language) + joiner + label;
    QString text = QStringLiteral("Error: %1").arg(static_cast<unsigned>(status), 0, 16);
    if (!label.isEmpty()) text += joiner + label;
    return text;
}

QString ResultStrip::statusMeaning(int status) {
    const char* meaning = status > 0 && status <= 0xFF ? common::statusText(std::uint8_t(status)) : nullptr;
    return meaning ? QStringLiteral("%1: %2").arg(status, 0, 16).arg(QString::fromUtf8(meaning)) : QString();
}

void ResultStrip::showResult(int status, const QString& label) {
    present(resultText(status, label, language_), status != 0);
    const QString meaning = statusMeaning(status);
    if (!meaning.isEmpty()) setToolTip(text() + QLatin1Char('\n') + meaning);
}

void ResultStrip::showError(const QString& text) { present(QStringLiteral("Error: ") + text, true); }

void ResultStrip::showInfo(const QString& text) { present(text, false); }

void ResultStrip::present(const QString& text, bool error) {
    error_ = error;
    has_result_ = true;
    setText(text);
    setToolTip(text);
    updateGeometry();
    // The caller may block in the next reader exchange: show it now.
    repaint();
    if (error) QApplication::beep();
    emit shown(text, error);
}

void ResultStrip::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.fillRect(contentsRect(), palette().color(QPalette::Button));
        if (has_result_) {
            const QPixmap mark = icons::resultMark(error_, kMark);
            p.drawPixmap(contentsRect().left() + kGap, (height() - kMark) / 2, mark);
        }
    }
    QLabel::paintEvent(event);
}

QSize ResultStrip::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text()) + indent() + 2 * kGap;
    return {std::max(kWidth, textWidth + 2 * frameWidth()), std::max(19, fontMetrics().height() + 4)};
}

QSize ResultStrip::minimumSizeHint() const { return {kWidth, sizeHint().height()}; }
