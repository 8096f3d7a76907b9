/* Mifare Ultralight, Ultralight C and NTAG tags: 4-byte pages, 7-byte UID.
 * Pages are read with rf_M1_read (16 bytes, four pages). Results as
 * everywhere (0 success, 1 local failure, 2..255 reader status). None of
 * these commands checks its arguments; a null output gives 1 and nothing is
 * sent. Outputs marked "variable" must hold 252 bytes.
 */
#ifndef KOVALINK_ULTRALIGHT_H
#define KOVALINK_ULTRALIGHT_H

#include "api.h"

/* Anticollision and select of a 7-byte-UID tag (code 0x33, empty payload).
 * *uid_len receives the reply length first; when it is 7 the UID goes to
 * uid (7 bytes) and 0 is returned, otherwise 1. */
KV_API int KV_STDCALL rf_ul_select(int device_address, unsigned char* uid, unsigned char* uid_len);

/* Writes 4 bytes to a page (code 0x35). Lock bytes and the OTP page are
 * OR-ed by the tag. */
KV_API int KV_STDCALL rf_ul_write(int device_address, unsigned char page, const unsigned char* data);

/* Ultralight C mutual authentication with a 16-byte two-key triple-DES key
 * (code 0x93, payload option + key). The simulated reader does not
 * interpret `option`. */
KV_API int KV_STDCALL rf_Ul_C_Authentication(int device_address, unsigned char option, const unsigned char* key);

/* Writes a new 16-byte key to an Ultralight C (code 0x94, option + key). */
KV_API int KV_STDCALL rf_Ul_C_ModifyKey(int device_address, unsigned char option, const unsigned char* key);

/* Sets up an Ultralight C (code 0x95, payload option1, option2, option3,
 * key): the simulated reader writes the key, AUTH0 = option1 and
 * AUTH1 = option2; option3 is not interpreted. */
KV_API int KV_STDCALL rf_Ul_C_Init(int device_address, unsigned char option1, unsigned char option2,
                                   unsigned char option3, const unsigned char* key);

/* OR-writes 4 bytes to a lock or OTP page (code 0x96): page 2 (static lock
 * bytes), 3 (OTP) or the dynamic lock page. */
KV_API int KV_STDCALL rf_Ul_C_Lock_Page(int device_address, unsigned char page, const unsigned char* data);

/* NFC sector select (code 0x86). */
KV_API int KV_STDCALL rf_NFC_Select_Sector(int device_address, unsigned char sector);

/* NTAG GET_VERSION (code 0x87): data (variable, 8 bytes), *data_len. */
KV_API int KV_STDCALL rf_Ntag_Get_Version(int device_address, unsigned char* data, unsigned char* data_len);

/* NTAG FAST_READ of pages start_page..end_page (code 0x88): data (variable,
 * 4 bytes per page), *data_len. */
KV_API int KV_STDCALL rf_Ntag_Fast_Read(int device_address, unsigned char start_page, unsigned char end_page,
                                        unsigned char* data, unsigned char* data_len);

/* NTAG READ_CNT (code 0x89): data (variable, 3 bytes, least significant
 * first), *data_len. */
KV_API int KV_STDCALL rf_Ntag_Read_CNT(int device_address, unsigned char* data, unsigned char* data_len);

/* NTAG PWD_AUTH with a 4-byte password (code 0x8A): pack (variable, 2
 * bytes), *pack_len. */
KV_API int KV_STDCALL rf_Ntag_Password_Auth(int device_address, const unsigned char* password, unsigned char* pack,
                                            unsigned char* pack_len);

/* NTAG READ_SIG (code 0x8B): data (variable, 32 bytes), *data_len. */
KV_API int KV_STDCALL rf_Ntag_Read_Signature(int device_address, unsigned char* data, unsigned char* data_len);

#endif
