// Building a page's or dialog's form in code: each helper creates one
// control, gives it its automation id and its usual settings.
#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <initializer_list>
#include <utility>

#include "controls/automation.h"
#include "controls/hex_edit.h"
#include "controls/own_list_box.h"
#include "controls/trans_frame.h"

namespace form {

// A hex field (upper-case digits) limited to `maxChars` characters when
// given, wide enough to show that many.
CHexEdit* hexEdit(QWidget* parent, int id, int maxChars = 0);
CDecEdit* decEdit(QWidget* parent, int id, int maxChars = 0);
QPushButton* button(QWidget* parent, int id, const QString& caption);
// A caption with an id (id < 0: a caption without one).
QLabel* label(QWidget* parent, int id, const QString& text);
QRadioButton* radio(QWidget* parent, int id, const QString& caption, bool checked = false);
QCheckBox* check(QWidget* parent, int id, const QString& caption, bool checked = false);
CTransFrm* frame(QWidget* parent, int id, const QString& caption);
// A result list with its line height and tips enabled.
COwnListBox* resultList(QWidget* parent, int id, int lineHeight = 18);

// A drop-down list of texts with their item data, the first selected.
QComboBox* dropList(QWidget* parent, int id, std::initializer_list<std::pair<QString, int>> items);
// A drop-down list of the numbers from..to (text and item data), the first selected.
QComboBox* numberList(QWidget* parent, int id, int from, int to);
void fillNumbers(QComboBox* list, int from, int to);
// The item data of the selected entry, or -1.
int itemData(const QComboBox* list);

// Caption and field pairs, one pair a row from `firstRow`, in two columns
// from `column`.
void addRows(QGridLayout* grid, std::initializer_list<std::pair<QWidget*, QWidget*>> rows, int firstRow = 0,
             int column = 0);

// Widens a field to show `chars` hex digits.
void fitChars(QWidget* field, int chars);

}  // namespace form
