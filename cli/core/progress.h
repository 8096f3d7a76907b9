// Progress of long work (a dump, a restore, a key search) on standard error,
// shown only when standard error is a terminal and --quiet was not given,
// and Ctrl-C, which stops such work at its next step so that what was done
// can still be saved.
#pragma once

#include <string>

namespace kl {

// --quiet: no progress at all.
void setQuiet(bool quiet);

class Progress {
public:
    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    // Replaces the line shown ("sector 3 of 16").
    void show(const std::string& text);
    // "WHAT N of LAST" ("block 5 of 27"), for work going through numbered
    // blocks or pages; nothing for work of one step.
    void step(const std::string& what, unsigned n, unsigned first, unsigned last);

private:
    bool shown_ = false;
    bool enabled_ = false;
};

// From now on Ctrl-C (SIGINT) sets a flag instead of ending the program;
// a second Ctrl-C ends it.
void catchInterrupt();
bool interrupted();

}  // namespace kl
