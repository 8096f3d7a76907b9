/*
 * KovalinkHID: the reader command library.
 *
 * Every command takes the reader's 16-bit address first and returns an int:
 *   0        success
 *   1        local failure: an argument refused before sending, no reader
 *            open, a transport time-out, a rejected reply frame, or a reply
 *            payload of the wrong length
 *   2..255   the reader's status byte
 *   < 0      only where a command says so
 * kovalink/status.h names them all and gives their texts (kv_result_text()).
 * rf_GetErrorMessage() returns the last reply frame's status as an int.
 * Callers own every buffer; output buffers of variable length must hold 252
 * bytes, the largest reply payload. The library loads libTavoHID from its own
 * folder when it is loaded.
 *
 * Calling order: rf_init_com(); rf_antenna_sta(1); rf_init_type() (card
 * family, kept by the reader); request / anticollision / select, or the
 * family's reset; authentication; work; halt or deselect; rf_ClosePort().
 * Each family header has its part; docs/calling-order.md the whole story.
 *
 * Threads: any thread may call. libTavoHID runs one exchange at a time for
 * the process's one reader (a lock; others wait). Sequences of calls and the
 * composite calls are not atomic and the reader's state is shared:
 * serialise whole card sequences yourself. The cipher helpers share nothing.
 * The version macros are in kovalink/version.h (include it yourself).
 */
#ifndef KOVALINKHID_H
#define KOVALINKHID_H

#include "kovalink/status.h"
#include "kovalink/reader_control.h"
#include "kovalink/mifare.h"
#include "kovalink/iso14443_4.h"
#include "kovalink/iso15693.h"
#include "kovalink/ultralight.h"
#include "kovalink/tags.h"
#include "kovalink/cipher.h"
#include "kovalink/cpucard.h"

#endif
