#include "controls/list_tip.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "controls/own_list_box.h"

CGfxListTip::CGfxListTip()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

CGfxListTip::~CGfxListTip() { dismiss(); }

bool CGfxListTip::Create(QWidget* owner) {
    if (!owner) return false;
    owner_ = owner;
    setObjectName(owner->objectName() + QStringLiteral("-tip"));
    return true;
}

void CGfxListTip::Show(const QRect& rect, const QString& text) {
    if (!owner_ || rect.isEmpty() || text.isEmpty() || isVisible() || !QApplication::focusWidget()) return;
    hover_rect_ = QRect(QPoint(-6, -1), QPoint(rect.width() - 5 - 1, rect.height() + 1 - 1));
    text_ = text;
    setFont(owner_->font());
    QWidget* client = owner_;
    if (auto* list = qobject_cast<COwnListBox*>(owner_)) client = list->viewport();
    const QPoint screen = client->mapToGlobal(rect.topLeft());
    setGeometry(screen.x() + 5, screen.y(), rect.width() + 3, rect.height());
    show();
    raise();
    qApp->installEventFilter(this);
    grabMouse();
}

void CGfxListTip::dismiss() {
    if (QWidget::mouseGrabber() == this) releaseMouse();
    qApp->removeEventFilter(this);
    hide();
}

void CGfxListTip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    p.setPen(palette().color(QPalette::ToolTipText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect().adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, text_);
}

QWidget* CGfxListTip::targetAt(const QPoint& global) const {
    QWidget* target = QApplication::widgetAt(global);
    if (!target || target == this) target = owner_;
    return target;
}

void CGfxListTip::mouseMoveEvent(QMouseEvent* event) {
    if (hover_rect_.contains(event->position().toPoint())) return;
    const QPoint global = event->globalPosition().toPoint();
    dismiss();
    if (QWidget* target = targetAt(global)) {
        const QPointF local = target->mapFromGlobal(event->globalPosition());
        QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseMove, local, event->globalPosition(),
                                                            Qt::NoButton, event->buttons(), event->modifiers()));
    }
}

void CGfxListTip::mousePressEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    dismiss();
    QWidget* target = targetAt(global);
    if (!target) return;
    if (auto* list = qobject_cast<COwnListBox*>(target)) target = list->viewport();
    const QPointF local = target->mapFromGlobal(event->globalPosition());
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, local, event->globalPosition(),
                                                        event->button(), event->buttons(), event->modifiers()));
}

bool CGfxListTip::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // The key goes on to its window (normally the list, which has the
        // focus); the tip just gets out of the way.
        dismiss();
        break;
    case QEvent::ApplicationDeactivate:
        dismiss();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
