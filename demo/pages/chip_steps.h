// Steps the memory-chip pages (ST chips, AT88RF020) share.
#pragma once

#include <QString>

class PageContext;

namespace chipsteps {

// A failed block or page read: the result strip shows the status with the
// message table entry `entry` ("读Block: %d 页发生错误!") naming `n`. A
// status of 0 (a reply of the wrong length the library let pass) is shown
// as the failure 1, never as success.
void readFailure(const PageContext& ctx, int status, int entry, int n);

// The entry's text with `n` in place of its "%d".
QString formatEntry(const PageContext& ctx, int entry, int n);

}  // namespace chipsteps
