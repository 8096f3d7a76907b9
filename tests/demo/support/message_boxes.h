// Records every message box the program shows and answers it, so tests run
// handlers that ask or warn without a person at the screen.
#pragma once

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QQueue>
#include <functional>

namespace torviktest {

struct BoxRecord {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
};

class MessageBoxes : public QObject {
    Q_OBJECT
public:
    MessageBoxes();
    ~MessageBoxes() override;

    // The answer to the next box; without one a box gets OK (or its only
    // button).
    void answerNext(QMessageBox::StandardButton button);
    // Runs `handler` when the next dialog that is not a message box shows
    // (its exec() is running then); the handler must close it.
    void onNextDialog(std::function<void(QDialog*)> handler);

    const QList<BoxRecord>& boxes() const { return boxes_; }
    int count() const { return int(boxes_.size()); }
    BoxRecord last() const { return boxes_.isEmpty() ? BoxRecord{} : boxes_.last(); }
    void clear() { boxes_.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QMessageBox* box);

    QList<BoxRecord> boxes_;
    QQueue<QMessageBox::StandardButton> answers_;
    QQueue<std::function<void(QDialog*)>> dialog_handlers_;
};

// Drops the offscreen platform's note about fixed-size windows, which says
// nothing about the program; everything else goes on to the handler that
// was there (the test log). Installed once, by the first MessageBoxes.
void quietPlatformNotes();

}  // namespace torviktest
