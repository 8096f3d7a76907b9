#include "controls/form.h"

#include <algorithm>

namespace form {

void fitChars(QWidget* field, int chars) {
    if (chars <= 0) return;
    const int digit = field->fontMetrics().horizontalAdvance(QLatin1Char('D'));
    field->setMinimumWidth(digit * chars + 12);
}

CHexEdit* hexEdit(QWidget* parent, int id, int maxChars) {
    auto* edit = new CHexEdit(parent);
    setAutomationId(edit, id);
    edit->setUpperCase(true);
    if (maxChars > 0) {
        edit->setMaxLength(maxChars);
        fitChars(edit, std::min(maxChars, 32));
    }
    return edit;
}

CDecEdit* decEdit(QWidget* parent, int id, int maxChars) {
    auto* edit = new CDecEdit(parent);
    setAutomationId(edit, id);
    if (maxChars > 0) {
        edit->setMaxLength(maxChars);
        fitChars(edit, maxChars);
    }
    return edit;
}

QPushButton* button(QWidget* parent, int id, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    setAutomationId(b, id);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, int id, const QString& text) {
    auto* l = new QLabel(text, parent);
    if (id >= 0) setAutomationId(l, id);
    return l;
}

namespace {
template <typename Button>
Button* checkable(QWidget* parent, int id, const QString& caption, bool checked) {
    auto* b = new Button(caption, parent);
    setAutomationId(b, id);
    b->setChecked(checked);
    return b;
}
}  // namespace

QRadioButton* radio(QWidget* parent, int id, const QString& caption, bool checked) {
    return checkable<QRadioButton>(parent, id, caption, checked);
}

QCheckBox* check(QWidget* parent, int id, const QString& caption, bool checked) {
    return checkable<QCheckBox>(parent, id, caption, checked);
}

void addRows(QGridLayout* grid, std::initializer_list<std::pair<QWidget*, QWidget*>> rows, int firstRow, int column) {
    int row = firstRow;
    for (const auto& [caption, field] : rows) {
        grid->addWidget(caption, row, column);
        grid->addWidget(field, row, column + 1);
        ++row;
    }
}

CTransFrm* frame(QWidget* parent, int id, const QString& caption) {
    auto* f = new CTransFrm(caption, parent);
    setAutomationId(f, id);
    return f;
}

COwnListBox* resultList(QWidget* parent, int id, int lineHeight) {
    auto* list = new COwnListBox(parent);
    setAutomationId(list, id);
    list->setLineHeight(lineHeight);
    list->enableTips();
    return list;
}

QComboBox* dropList(QWidget* parent, int id, std::initializer_list<std::pair<QString, int>> items) {
    auto* list = new QComboBox(parent);
    setAutomationId(list, id);
    for (const auto& [text, data] : items) list->addItem(text, data);
    list->setCurrentIndex(list->count() ? 0 : -1);
    return list;
}

void fillNumbers(QComboBox* list, int from, int to) {
    list->clear();
    for (int n = from; n <= to; ++n) list->addItem(QString::number(n), n);
    list->setCurrentIndex(list->count() ? 0 : -1);
}

QComboBox* numberList(QWidget* parent, int id, int from, int to) {
    auto* list = new QComboBox(parent);
    setAutomationId(list, id);
    fillNumbers(list, from, to);
    return list;
}

int itemData(const QComboBox* list) {
    const QVariant data = list ? list->currentData() : QVariant();
    return data.isValid() ? data.toInt() : -1;
}

}  // namespace form
