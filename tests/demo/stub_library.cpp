// A libKovalinkHID that exports every name Torvik binds but one, for the
// start-up test: rf_ContactCpuCard_In_Check goes out under another name.
#include "shell/reader_api_names.h"

#define rf_ContactCpuCard_In_Check rf_ContactCpuCard_In_Check_renamed
#define TORVIK_STUB_EXPORT(name) \
    extern "C" __attribute__((visibility("default"))) int name() { return 0; }
TORVIK_READER_API(TORVIK_STUB_EXPORT)
