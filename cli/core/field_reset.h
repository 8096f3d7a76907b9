// Cards put aside (halted) while one was chosen answer only a wake-up
// request, which other programs may not send: when a command halted cards,
// the session switches the field off and on as it ends, so that every card
// is ready for the next program.
#pragma once

namespace kl {

void resetFieldAtEnd();
bool fieldResetWanted();

}  // namespace kl
