// Where kovalink --trace has the transport write its trace: a private
// temporary file named in TAVOHID_TRACE, read back after every library call.
#pragma once

#include <string>

namespace kl {

class TraceCapture {
public:
    TraceCapture() = default;
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Creates the file and points TAVOHID_TRACE at it, for the transport to
    // open with the reader. Empty on success, else why not.
    std::string start();

    // Once the transport has opened the file (or failed to), its name goes;
    // the file itself lives on while either side holds it. On Windows an
    // open file cannot go: it goes when the capture ends.
    void unlink();

    // The text written since the last call.
    std::string take();

private:
    void remove();

    int fd_ = -1;
    std::string path_;
};

}  // namespace kl
