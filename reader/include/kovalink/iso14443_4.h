/**
 * @file iso14443_4.h
 * Processor cards: contactless ISO14443-4 type A and type B cards, the SAM
 * slots and the large contact-card slot. APDUs and answers travel unchanged:
 * the library frames them and hands back the reader's answer, normally the
 * card's response data followed by its status word SW1 SW2.
 *
 * Common rules:
 * - Results: 0 success; 1 refused before sending, no reader, transport
 *   failure, rejected reply or a reply of the wrong length; 2-255 the
 *   reader's status byte. Outputs are written only on 0, except the length
 *   outputs of rf_atqb() and rf_get_namecard_uid().
 * - Variable outputs: the buffer must hold 252 bytes, the largest reply; the
 *   one-byte length output receives the number of bytes copied. A null
 *   buffer or length pointer is refused with 1.
 * - One frame carries at most 252 payload bytes: an APDU or parameter block
 *   longer than 252 bytes, or than 251 where a leading byte is added, is
 *   refused with 1 and nothing is sent. So is a null input with a non-zero
 *   length.
 *
 * Answers: the reader passes at most 250 data bytes plus SW1 SW2 back per
 * APDU (one reply frame holds 252 payload bytes): read longer files in
 * pieces with offsets.
 *
 * Calling order: type A: rf_antenna_sta(1), rf_init_type('A'),
 * rf_typea_rst(), then rf_cos_command(); rf_cl_deselect() ends the session.
 * When a memory card (Mifare, Ultralight) is also in the field the
 * anticollision may pick it; it gives no answer to RATS and rf_typea_rst()
 * returns KV_STATUS_NO_ANSWER (0x30): rf_halt() it and call
 * rf_typea_rst(0x26) again (a bounded number of times), as
 * examples/apdu_session.c does. Type B: rf_init_type('B'), rf_atqb(),
 * rf_attrib() by PUPI, then rf_typeb_cos() or rf_cos_command(), and
 * rf_hltb() (which lets the next type B card answer rf_atqb()). SAM:
 * rf_init_sam() (rate), rf_sam_rst(), rf_sam_cos(); or by SAM number
 * rf_sam_rst_2() and rf_sam_cos_2(). SAM numbers 0-5 are the SAM slots 1-6,
 * number 6 the large contact slot (power it first with
 * rf_ContactCpuCard_Power_OnOff(1)); the functions without a number address
 * slot 1. SAMs and the contact slot need neither antenna nor card family.
 */
#ifndef KOVALINK_ISO14443_4_H
#define KOVALINK_ISO14443_4_H

#include "api.h"

/**
 * Sets the communication rate of SAM slot 1. Command 0x36.
 * @param rate 0 = 9600, 1 = 38400, 2 = 115200 baud
 */
KV_API int KV_STDCALL rf_init_sam(int device_address, unsigned char rate);

/**
 * Resets the SAM in slot 1. Command 0x37, empty payload.
 * @param[out] atr the answer to reset (up to 252 bytes)
 * @param[out] atr_len its length
 */
KV_API int KV_STDCALL rf_sam_rst(int device_address, unsigned char* atr, unsigned char* atr_len);

/**
 * Sends an APDU to the SAM in slot 1. Command 0x38.
 * @param apdu @p apdu_len bytes (at most 252)
 * @param[out] response the SAM's answer (up to 252 bytes)
 * @param[out] response_len its length
 */
KV_API int KV_STDCALL rf_sam_cos(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                 unsigned char* response, unsigned char* response_len);

/**
 * Resets a SAM chosen by the parameter block. Command 0x19.
 * @param param @p param_len bytes, sent unchanged: one byte (bits 0-3 the
 *        rate as for rf_init_sam(), bits 4-7 the SAM number), or that byte
 *        followed by PPS0 and PPS1 for a reset with protocol and parameter
 *        selection
 * @param[out] atr the answer to reset; @param[out] atr_len its length
 */
KV_API int KV_STDCALL rf_sam_rst_2(int device_address, const unsigned char* param, unsigned char param_len,
                                   unsigned char* atr, unsigned char* atr_len);

/**
 * Sends an APDU to a SAM by number. Command 0x1A, payload @p sam_no then the
 * APDU.
 * @param apdu @p apdu_len bytes (at most 251)
 * @param[out] response the answer; @param[out] response_len its length
 */
KV_API int KV_STDCALL rf_sam_cos_2(int device_address, unsigned char sam_no, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len);

/**
 * Powers the large contact slot. Command 0x90. Power on activates the card,
 * which then takes APDUs through rf_sam_cos_2() with SAM number 6.
 * @param on_off 1 power on, 0 power off
 */
KV_API int KV_STDCALL rf_ContactCpuCard_Power_OnOff(int device_address, unsigned char on_off);

/**
 * Tests the contact slot's VG line for a short circuit. Command 0x91.
 * @param[out] result 1 byte: 1 shorted, 0 not; 1 is returned when the reply
 *        is not exactly 1 byte
 */
KV_API int KV_STDCALL rf_ContactCpuCard_VGShort_Check(int device_address, unsigned char* result);

/**
 * Tests whether a card is in the contact slot. Command 0x92.
 * @param[out] result 1 byte: 1 present, 0 absent; 1 is returned when the
 *        reply is not exactly 1 byte
 */
KV_API int KV_STDCALL rf_ContactCpuCard_In_Check(int device_address, unsigned char* result);

/**
 * Activates a type A processor card: request, anticollision, select and
 * RATS. Command 0x53.
 * @param mode the request code, sent unchanged (0x52 wakes halted cards too,
 *        0x26 only idle ones)
 * @param[out] data the UID followed by the ATS; @param[out] data_len their length
 */
KV_API int KV_STDCALL rf_typea_rst(int device_address, unsigned char mode, unsigned char* data,
                                   unsigned char* data_len);

/**
 * Sends an APDU to the activated processor card (type A, or type B after
 * rf_attrib()). Command 0x54.
 * @param apdu @p apdu_len bytes (at most 252)
 * @param[out] response the card's answer; @param[out] response_len its length
 */
KV_API int KV_STDCALL rf_cos_command(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                     unsigned char* response, unsigned char* response_len);

/** Deselects the activated ISO14443-4 card. Command 0x6B, empty payload. */
KV_API int KV_STDCALL rf_cl_deselect(int device_address);

/**
 * Exchanges one ISO14443-4 block with the activated card (PCB, optional
 * CID, information field). Command 0x02.
 * @param data @p data_len bytes (at most 252), sent unchanged
 * @param[out] response the card's block; @param[out] response_len its length
 */
KV_API int KV_STDCALL rf_transceive(int device_address, const unsigned char* data, unsigned char data_len,
                                    unsigned char* response, unsigned char* response_len);

/**
 * Requests type B cards. Command 0x3B.
 * @param mode 0 request (REQB), 1 wake-up (WUPB); other values return 1 and
 *        send nothing
 * @param[out] atqb 12 bytes, written only when the reply has exactly 12
 *        (otherwise the result is 1)
 * @param[out] atqb_len the reply length, whatever it is
 */
KV_API int KV_STDCALL rf_atqb(int device_address, unsigned char mode, unsigned char* atqb, unsigned char* atqb_len);

/**
 * Reads the 8-byte UID of an identity card. Command 0x82.
 * @param mode 0 or 1 as for rf_atqb(); others return 1 and send nothing
 * @param[out] uid 8 bytes, written only when the reply has exactly 8
 *        (otherwise the result is 1)
 * @param[out] uid_len the reply length, whatever it is
 */
KV_API int KV_STDCALL rf_get_namecard_uid(int device_address, unsigned char mode, unsigned char* uid,
                                          unsigned char* uid_len);

/**
 * Selects a type B card by its PUPI (ATTRIB). Command 0x55, payload the 4
 * PUPI bytes and @p param_byte.
 * @param pupi sent least significant byte first: pass a PUPI held as 4
 *        bytes in card order reinterpreted as a little-endian integer
 * @param param_byte bits 0-3: the CID the card takes
 */
KV_API int KV_STDCALL rf_attrib(int device_address, unsigned int pupi, unsigned char param_byte);

/**
 * Sends an APDU to a type B card. Command 0x3C, payload @p prefix then the
 * APDU.
 * @param prefix the card's CID as given to rf_attrib()
 * @param apdu @p apdu_len bytes (at most 251)
 * @param[out] response the answer; @param[out] response_len its length
 */
KV_API int KV_STDCALL rf_typeb_cos(int device_address, unsigned char prefix, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len);

/**
 * Halts a type B card (HLTB). Command 0x3D.
 * @param pupi sent least significant byte first, as for rf_attrib()
 */
KV_API int KV_STDCALL rf_hltb(int device_address, unsigned int pupi);

#endif
