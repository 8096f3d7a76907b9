#include "progress.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace kl {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
bool g_quiet = false;

void onInterrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // the next Ctrl-C ends the program
}

}  // namespace

void setQuiet(bool quiet) { g_quiet = quiet; }

Progress::Progress() : enabled_(!g_quiet && ::isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    if (shown_) std::fputs("\r\033[K", stderr);
}

void Progress::show(const std::string& text) {
    if (!enabled_) return;
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void Progress::step(const std::string& what, unsigned n, unsigned first, unsigned last) {
    if (first == last) return;
    show(what + " " + std::to_string(n) + " of " + std::to_string(first) + ".." + std::to_string(last));
}

void catchInterrupt() { std::signal(SIGINT, onInterrupt); }

bool interrupted() { return g_interrupted != 0; }

}  // namespace kl
