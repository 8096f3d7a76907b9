// The program-wide values every page reads: current card type, whether the
// reader connection is believed open, the reader address and USB ids, and
// the language column of the text tables. Touched only on the GUI thread.
#pragma once

#include <QObject>
#include <cstdint>

class AppState : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultVid = 0x1A86;
    static constexpr int kDefaultPid = 0xE010;

    int curCard = 1;
    std::uint16_t deviceAddress = 0;
    int vid = 0;
    int pid = 0;
    int language = 0;  // 0 Chinese, 1 English

    bool connected() const { return connected_; }
    void setConnected(bool on);

signals:
    void connectedChanged(bool connected);

private:
    bool connected_ = false;
};
