#include "shell/app_state.h"

void AppState::setConnected(bool on) {
    if (on == connected_) return;
    connected_ = on;
    emit connectedChanged(on);
}
