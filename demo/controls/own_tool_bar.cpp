#include "controls/own_tool_bar.h"

#include <QAction>
#include <QEvent>
#include <QToolButton>
#include <algorithm>

#include "controls/automation.h"

namespace {
constexpr int kIcon = 15;
const QColor kLabelColour(0, 0, 160);
}  // namespace

const std::array<COwnToolBar::Button, 14>& COwnToolBar::buttons() {
    static const std::array<Button, 14> table = {{
        {32816, "UltraLight"}, {32817, "Mifare1K"}, {32901, "Mifare4K"}, {32830, "14443A_4"},
        {32917, "NTag203F"},   {32820, "SRI512"},   {32821, "SRI4K"},    {32834, "14443B_4"},
        {32823, "AT88RF020"},  {32825, "I CODE"},   {32826, "HFTagIt"},  {32827, "7816_4"},
        {32921, "Felica"},     {32813, "Setting"},
    }};
    return table;
}

COwnToolBar::COwnToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("toolbar"));
    setIconSize(QSize(kIcon, kIcon));
}

void COwnToolBar::addCommands(const QHash<int, QAction*>& actions) {
    for (const Button& button : buttons()) {
        QAction* action = actions.value(button.commandId);
        if (!action) continue;
        addAction(action);
        if (auto* tool = qobject_cast<QToolButton*>(widgetForAction(action))) {
            setAutomationId(tool, button.commandId);
            tool->installEventFilter(this);
        }
    }
}

int COwnToolBar::BuildLabelledImages() {
    QList<QToolButton*> tools;
    for (QAction* action : actions()) {
        const int id = automationId(action);
        const auto entry = std::find_if(buttons().begin(), buttons().end(),
                                        [id](const Button& b) { return b.commandId == id; });
        auto* tool = qobject_cast<QToolButton*>(widgetForAction(action));
        if (entry == buttons().end() || !tool) continue;
        action->setIconText(QString::fromUtf8(entry->label));
        tools << tool;
    }
    if (tools.isEmpty()) return 0;

    // Small, narrow labels (12 pixels high), so fourteen buttons fit a
    // 1280-pixel screen.
    QFont labelFont = font();
    labelFont.setPixelSize(12);
    labelFont.setStretch(QFont::SemiCondensed);
    setFont(labelFont);
    QPalette pal = palette();
    pal.setColor(QPalette::ButtonText, kLabelColour);
    setPalette(pal);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    // Every button as wide as the widest label beside its icon.
    const QFontMetrics metrics(labelFont);
    int labelWidth = 0;
    for (QToolButton* tool : tools)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(tool->defaultAction()->iconText()));
    const int width = kIcon + labelWidth + 2 + 7 + 4;
    for (QToolButton* tool : tools) tool->setFixedWidth(width);
    return 1;
}

bool COwnToolBar::eventFilter(QObject* watched, QEvent* event) {
    // Only commands with a prompt have a tip.
    if (event->type() == QEvent::ToolTip) {
        auto* tool = qobject_cast<QToolButton*>(watched);
        if (tool && tool->defaultAction() && tool->defaultAction()->statusTip().isEmpty()) return true;
    }
    return QToolBar::eventFilter(watched, event);
}
