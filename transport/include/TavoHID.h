/*
 * TavoHID: the HID transport of the reader.
 *
 * Finds the reader by USB vendor and product id, opens it, and exchanges one
 * request frame and its reply in 33-byte reports (report id, count, up to 31
 * data bytes). It knows nothing about frames beyond where one ends.
 *
 * One device per process. Exchanges are serialised inside the library, so
 * callers on several threads never interleave reports on the wire.
 *
 * The library logs nothing, unless the environment variable TAVOHID_TRACE
 * names a file (or is "-" or "stderr" for standard error) when OpenComPort
 * opens the reader: every report then sent to or read from that reader is
 * appended there as one line of hex with a note, for example
 *   > 00 08 02 00 00 04 1D 0A 2B 03 00 ... 00  # exchange 1 request report 1/1
 * A trace that cannot be written is dropped; the exchange goes on unchanged.
 */
#ifndef TAVOHID_H
#define TAVOHID_H

#include "kv_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the first HID device (hidraw devices first, then virtual readers)
 * whose ids match the low 16 bits of the arguments and sends the setup
 * report; when the environment variable TAVOHID_DEVICE is set and not empty,
 * only the device with that path (/dev/hidrawN or a virtual reader's socket)
 * is considered. A device that is already open is closed first.
 * Returns 1 when opened, 0 when no matching device could be opened. */
KV_EXPORT int KV_STDCALL OpenComPort(int vendor_id, int product_id);

/* Closes the open device, if any. Always returns 1. */
KV_EXPORT int KV_STDCALL CloseComPort(void);

/* Sends request[0..request_length) and reads the reply into reply, which must
 * hold 1024 bytes; *reply_length receives the number of reply bytes.
 * Write time-out 3000 ms per report, read time-out 4000 ms per report.
 * Returns 0 when a non-empty reply arrived, 1 otherwise (no device open,
 * request longer than 1024 bytes, write failed, nothing read). */
KV_EXPORT int KV_STDCALL CommunicateRFResult(const unsigned char* request, unsigned int request_length,
                                             unsigned char* reply, int* reply_length);

/* Returns 2, the last part of the library version 1.0.1.2. */
KV_EXPORT int KV_STDCALL GetCOMDLLVersion(void);

/* No parallel port and no settable link speed: these return 0. */
KV_EXPORT int KV_STDCALL OpenLPTPort(int port, int mode);
KV_EXPORT int KV_STDCALL CloseLPTPort(void);
KV_EXPORT int KV_STDCALL SetCommBaud(int baud);

/* Releases a block of this library's heap; null is ignored. Returns 0. */
KV_EXPORT int KV_STDCALL FreeComData(void* block);

/* Sample exports without a role, kept for callers that bind them. */
KV_EXPORT int KV_STDCALL fnTavoHID(void);
KV_EXPORT extern int nTavoHID;

#ifdef __cplusplus
}

class KV_EXPORT CTavoHID {
public:
    CTavoHID();
    CTavoHID& operator=(const CTavoHID& other);
};
#endif

#endif
