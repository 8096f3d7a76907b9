/* Processor cards: contactless ISO14443-4 type A and type B cards, the SAM
 * slots and the large contact-card slot. APDUs and answers travel unchanged:
 * the library frames them and hands back the reader's answer (normally the
 * card's response data followed by its status word SW1 SW2).
 *
 * Common rules:
 * - Results: 0 success; 1 refused before sending (see each function), no
 *   reader, transport failure, rejected reply, or a reply of the wrong
 *   length; 2..255 the reader's status byte. Outputs are written only on 0
 *   (except the length outputs of rf_atqb and rf_get_namecard_uid).
 * - "variable" outputs: the buffer must hold 252 bytes, the largest reply;
 *   the one-byte length output receives the number of bytes copied. A null
 *   buffer or length pointer is refused with 1.
 * - One frame carries at most 252 payload bytes: an APDU (or parameter block)
 *   longer than 252 bytes, or 251 where a leading byte is added, is refused
 *   with 1 and nothing is sent. A null input pointer with a non-zero length
 *   is refused with 1.
 *
 * Calling order: type A: rf_typea_rst, then rf_cos_command; rf_cl_deselect
 * ends the session. Type B: rf_atqb, rf_attrib (by PUPI), rf_typeb_cos or
 * rf_cos_command, rf_hltb. SAM: rf_init_sam (rate), rf_sam_rst, rf_sam_cos;
 * or by SAM number: rf_sam_rst_2, rf_sam_cos_2. */
#ifndef KOVALINK_ISO14443_4_H
#define KOVALINK_ISO14443_4_H

#include "api.h"

/* --- SAM slots and contact card --- */

/* Sets the SAM communication rate (code 0x36): 0 = 9600, 1 = 38400,
 * 2 = 115200 baud. Payload: rate. */
KV_API int KV_STDCALL rf_init_sam(int device_address, unsigned char rate);

/* Resets the SAM (code 0x37, empty payload); atr receives the answer to
 * reset (variable, up to 252 bytes), *atr_len its length. */
KV_API int KV_STDCALL rf_sam_rst(int device_address, unsigned char* atr, unsigned char* atr_len);

/* Sends apdu_len bytes of apdu to the SAM (code 0x38); response (variable,
 * up to 252 bytes) receives its answer, *response_len the length. */
KV_API int KV_STDCALL rf_sam_cos(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                 unsigned char* response, unsigned char* response_len);

/* Resets a SAM chosen by the parameter block (code 0x19), sent unchanged:
 * one byte (bits 0-3 rate as rf_init_sam, bits 4-7 SAM number), or that
 * byte followed by PPS0 and PPS1 for a reset with protocol and parameter
 * selection. atr / *atr_len as rf_sam_rst. param_len above 252: 1. */
KV_API int KV_STDCALL rf_sam_rst_2(int device_address, const unsigned char* param, unsigned char param_len,
                                   unsigned char* atr, unsigned char* atr_len);

/* Sends an APDU to SAM number sam_no (code 0x1A): payload sam_no, then the
 * apdu_len APDU bytes. apdu_len above 251: 1. */
KV_API int KV_STDCALL rf_sam_cos_2(int device_address, unsigned char sam_no, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len);

/* Powers the large contact-card slot on (1) or off (0) (code 0x90). */
KV_API int KV_STDCALL rf_ContactCpuCard_Power_OnOff(int device_address, unsigned char on_off);

/* VG short-circuit test of the contact slot (code 0x91): result[0] = 1 when
 * shorted, else 0. Exactly 1 reply byte, otherwise 1. */
KV_API int KV_STDCALL rf_ContactCpuCard_VGShort_Check(int device_address, unsigned char* result);

/* Card-present test of the contact slot (code 0x92): result[0] = 1 when a
 * card is in the slot, else 0. Exactly 1 reply byte, otherwise 1. */
KV_API int KV_STDCALL rf_ContactCpuCard_In_Check(int device_address, unsigned char* result);

/* --- ISO14443-4 type A and raw exchange --- */

/* Activates a type A processor card (code 0x53, payload: mode, the request
 * code, e.g. 0x52 wake-up or 0x26 idle). data (variable) receives the UID
 * followed by the ATS. */
KV_API int KV_STDCALL rf_typea_rst(int device_address, unsigned char mode, unsigned char* data,
                                   unsigned char* data_len);

/* Sends an APDU to the activated card (code 0x54); response (variable)
 * receives its answer. */
KV_API int KV_STDCALL rf_cos_command(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                     unsigned char* response, unsigned char* response_len);

/* Deselects the activated ISO14443-4 card (code 0x6B, empty payload). */
KV_API int KV_STDCALL rf_cl_deselect(int device_address);

/* Raw exchange with the activated card at block level (code 0x02): data is
 * sent unchanged, response (variable) receives the card's answer. */
KV_API int KV_STDCALL rf_transceive(int device_address, const unsigned char* data, unsigned char data_len,
                                    unsigned char* response, unsigned char* response_len);

/* --- Type B --- */

/* Request (mode 0) or wake-up (mode 1) of type B cards (code 0x3B, payload:
 * mode). Other modes: 1, nothing sent. *atqb_len receives the reply length
 * whatever it is; atqb (12 bytes) is filled only when it is exactly 12,
 * otherwise the result is 1. */
KV_API int KV_STDCALL rf_atqb(int device_address, unsigned char mode, unsigned char* atqb, unsigned char* atqb_len);

/* The 8-byte UID of an identity card (code 0x82, payload: mode 0 or 1,
 * others refused with 1). *uid_len receives the reply length; uid (8 bytes)
 * is filled only when it is exactly 8, otherwise the result is 1. */
KV_API int KV_STDCALL rf_get_namecard_uid(int device_address, unsigned char mode, unsigned char* uid,
                                          unsigned char* uid_len);

/* ATTRIB (code 0x55): payload the 4 bytes of pupi least significant first,
 * then param_byte (5 bytes). A PUPI held as 4 bytes in card order is passed
 * reinterpreted as a little-endian integer. param_byte bits 0-3: the CID
 * the card takes. */
KV_API int KV_STDCALL rf_attrib(int device_address, unsigned int pupi, unsigned char param_byte);

/* Sends an APDU to the type B card (code 0x3C): payload prefix, then the
 * apdu_len APDU bytes (apdu_len above 251: 1). prefix is the card's CID as
 * given in rf_attrib. response (variable) receives the answer. */
KV_API int KV_STDCALL rf_typeb_cos(int device_address, unsigned char prefix, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len);

/* HLTB (code 0x3D): payload the 4 bytes of pupi least significant first. */
KV_API int KV_STDCALL rf_hltb(int device_address, unsigned int pupi);

#endif
