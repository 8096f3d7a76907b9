/**
 * @file ultralight.h
 * Mifare Ultralight, Ultralight C and NTAG tags: 4-byte pages and a 7-byte
 * UID. Pages are read with rf_M1_read() (four pages, 16 bytes).
 *
 * Every command returns 0 on success, 1 for a local failure (no reader
 * open, time-out, rejected reply, reply of the wrong length, or a null
 * pointer the call needs, in which case nothing is sent) or the reader's
 * status byte (2-255). No argument is checked otherwise. Outputs called
 * "variable" receive the whole reply payload: give them 252 bytes.
 *
 * Usual order: rf_antenna_sta(1), rf_init_type('A'), rf_request(),
 * rf_ul_select(), then (Ultralight C) rf_Ul_C_Authentication() or (NTAG with
 * a password) rf_Ntag_Password_Auth(), reads, writes and the tag's own
 * commands, rf_halt(). rf_ul_select() on a card whose UID is not 7 bytes
 * returns 1 and leaves rf_GetErrorMessage() 0 (the frame was good).
 */
#ifndef KOVALINK_ULTRALIGHT_H
#define KOVALINK_ULTRALIGHT_H

#include "api.h"

/**
 * Anticollision and select of a tag with a 7-byte UID. Command 0x33, empty payload.
 * @param[out] uid 7 bytes, written only when the reply is 7 bytes long
 * @param[out] uid_len receives the reply length first, whatever it is
 * @return 1 when the reply is not 7 bytes long (uid_len written)
 */
KV_API int KV_STDCALL rf_ul_select(int device_address, unsigned char* uid, unsigned char* uid_len);

/**
 * Writes a page. Command 0x35, payload page and 4 bytes. The tag ORs the
 * lock bytes (page 2) and the one-time-programmable page 3, and refuses
 * locked pages.
 */
KV_API int KV_STDCALL rf_ul_write(int device_address, unsigned char page, const unsigned char* data);

/**
 * Ultralight C mutual authentication. Command 0x93, payload option and key.
 * @param option passed through (the simulated reader does not use it)
 * @param key 16 bytes: the two-key triple-DES key
 */
KV_API int KV_STDCALL rf_Ul_C_Authentication(int device_address, unsigned char option, const unsigned char* key);

/**
 * Writes a new key into an Ultralight C. Command 0x94, payload option and key.
 * @param option passed through (the simulated reader does not use it)
 * @param key 16 bytes
 */
KV_API int KV_STDCALL rf_Ul_C_ModifyKey(int device_address, unsigned char option, const unsigned char* key);

/**
 * Sets up an Ultralight C. Command 0x95, payload option1, option2, option3
 * and the 16 key bytes. The simulated reader writes the key, AUTH0 =
 * @p option1 (first protected page) and AUTH1 = @p option2 (bit 0 set:
 * only writes are protected); @p option3 is passed through unused.
 */
KV_API int KV_STDCALL rf_Ul_C_Init(int device_address, unsigned char option1, unsigned char option2,
                                   unsigned char option3, const unsigned char* key);

/**
 * ORs 4 bytes into a lock page. Command 0x96, payload page and 4 bytes. The
 * simulated reader takes page 2 (static lock bytes), 3 (one-time
 * programmable) or the dynamic lock page.
 */
KV_API int KV_STDCALL rf_Ul_C_Lock_Page(int device_address, unsigned char page, const unsigned char* data);

/** NFC sector select. Command 0x86. */
KV_API int KV_STDCALL rf_NFC_Select_Sector(int device_address, unsigned char sector);

/**
 * NTAG GET_VERSION. Command 0x87, empty payload.
 * @param[out] data variable (8 bytes: 00 04 04 02 01 00 0F 03 for an NTAG213)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_Ntag_Get_Version(int device_address, unsigned char* data, unsigned char* data_len);

/**
 * NTAG FAST_READ of pages @p start_page to @p end_page. Command 0x88.
 * @param[out] data variable (4 bytes per page)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_Ntag_Fast_Read(int device_address, unsigned char start_page, unsigned char end_page,
                                        unsigned char* data, unsigned char* data_len);

/**
 * NTAG READ_CNT of the NFC counter. Command 0x89, empty payload.
 * @param[out] data variable (3 bytes, least significant first)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_Ntag_Read_CNT(int device_address, unsigned char* data, unsigned char* data_len);

/**
 * NTAG PWD_AUTH. Command 0x8A, payload the password.
 * @param password 4 bytes
 * @param[out] pack variable (the 2-byte password acknowledge)
 * @param[out] pack_len its length
 */
KV_API int KV_STDCALL rf_Ntag_Password_Auth(int device_address, const unsigned char* password, unsigned char* pack,
                                            unsigned char* pack_len);

/**
 * NTAG READ_SIG. Command 0x8B, empty payload.
 * @param[out] data variable (32 bytes)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_Ntag_Read_Signature(int device_address, unsigned char* data, unsigned char* data_len);

#endif
