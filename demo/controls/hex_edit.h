// CHexEdit: a line edit that takes only hexadecimal digits from the
// keyboard. Letters A-F typed in upper case go in as a-f, or all digits in
// upper case when the field has the upper-case option. Delete and Backspace
// work; arrow keys, Home and End only with Ctrl held, which lets every key
// through (Ctrl+C, Ctrl+V ...). Pasted text is not filtered.
#pragma once

#include <QLineEdit>

class CHexEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CHexEdit(QWidget* parent = nullptr);

    void setUpperCase(bool on) { upper_ = on; }
    bool upperCase() const { return upper_; }
    // 1 while Ctrl is held over this field.
    int ctrlDown() const { return ctrl_down_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void discard(QKeyEvent* event);

    int ctrl_down_ = 0;
    bool upper_ = false;
};

// The field's text limit in bytes: its character limit / 2, rounded up.
int GetHexByteLimit(const CHexEdit* edit);

// CDecEdit: a line edit that refuses letters; digits, signs, blanks and
// punctuation can be typed.
class CDecEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDecEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
