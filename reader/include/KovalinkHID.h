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
 * Callers own every buffer; output buffers of variable length must hold 252
 * bytes, the largest reply payload. The library loads libTavoHID from its own
 * folder when it is loaded.
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
