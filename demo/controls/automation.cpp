#include "controls/automation.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>

namespace {

const char* const kIdProperty = "automationId";

// The accessible menu item of an action that carries an id: the same role,
// states and actions as Qt's own menu items, plus the id as description.
class IdMenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    IdMenuItem(QWidget* owner, QAction* action) : owner_(owner), action_(action) {}

    bool isValid() const override { return owner_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        return owner_ ? owner_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_); }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && action_->menu() ? QAccessible::queryAccessibleInterface(action_->menu()) : nullptr;
    }
    int childCount() const override { return action_->menu() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && action_->menu() && child->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessible::Role role() const override {
        return action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!owner_->isVisible() || !action_->isVisible()) s.invisible = true;
        QAction* active = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(owner_)) active = menu->activeAction();
        if (auto* bar = qobject_cast<QMenuBar*>(owner_)) active = bar->activeAction();
        if (active == action_) s.focused = true;
        s.focusable = true;
        if (owner_->style()->styleHint(QStyle::SH_Menu_MouseTracking)) s.hotTracked = true;
        if (action_->isSeparator() || !action_->isEnabled()) s.disabled = true;
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        s.hasPopup = action_->menu() != nullptr;
        return s;
    }
    QRect rect() const override {
        QRect r;
        if (auto* menu = qobject_cast<QMenu*>(owner_)) r = menu->actionGeometry(action_);
        if (auto* bar = qobject_cast<QMenuBar*>(owner_)) r = bar->actionGeometry(action_);
        return r.isNull() ? r : QRect(owner_->mapToGlobal(r.topLeft()), r.size());
    }
    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            QString name = action_->text();
            name.remove(QLatin1Char('&'));
            return name;
        }
        case QAccessible::Description:
            return automationDescription(automationId(action_));
        case QAccessible::Accelerator:
            return action_->shortcut().toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override {
        if (!action_->isEnabled() || action_->isSeparator()) return {};
        QStringList names{pressAction()};
        if (action_->isCheckable()) names << toggleAction();
        return names;
    }
    void doAction(const QString& name) override {
        if (!action_->isEnabled() || (name != pressAction() && name != toggleAction())) return;
        // Queued: a command that opens a modal dialog must not hold the
        // caller (an accessibility client waiting for its reply).
        QMetaObject::invokeMethod(action_, &QAction::trigger, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> owner_;
    QPointer<QAction> action_;
};

QAccessibleInterface* actionFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QAction")) return nullptr;
    auto* action = qobject_cast<QAction*>(object);
    if (!action || automationId(action) < 0) return nullptr;
    for (QObject* container : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(container) || qobject_cast<QMenuBar*>(container))
            return new IdMenuItem(static_cast<QWidget*>(container), action);
    }
    return nullptr;
}

}  // namespace

QString automationDescription(int id) { return id < 0 ? QString() : QStringLiteral("id %1").arg(id); }

void setAutomationId(QWidget* widget, int id) {
    if (!widget) return;
    widget->setObjectName(QString::number(id));
    widget->setAccessibleDescription(automationDescription(id));
    widget->setProperty(kIdProperty, id);
}

void setActionId(QAction* action, int id) {
    if (!action) return;
    action->setObjectName(QString::number(id));
    action->setProperty(kIdProperty, id);
}

int automationId(const QObject* object) {
    if (!object) return -1;
    const QVariant id = object->property(kIdProperty);
    return id.isValid() ? id.toInt() : -1;
}

void installActionAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(actionFactory);
}
