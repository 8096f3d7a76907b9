/* ST short-range chips (SR176, SRI512, SRIX4K), AT88RF020 and FeliCa.
 *
 * The library keeps no state between calls: an ST chip is selected with
 * rf_st_select before its block commands and released with
 * rf_st_completion; an AT88RF020 answers once it was woken with rf_atqb and
 * is released with rf_at020_deselect. A command out of order returns the
 * reader's status byte.
 *
 * "Length first" readers write the reply length to their length output as
 * soon as the reader answered with status 0, then return 1 (data untouched)
 * when it is not the expected size.
 * Results: 0 success, 1 refused argument (a null pointer) / transport
 * failure / bad reply / wrong reply length, else the reader's status byte.
 */
#ifndef KOVALINK_TAGS_H
#define KOVALINK_TAGS_H

#include "api.h"

/* ---- ST SR176, SRI512, SRIX4K (card family 's') ---- */

/* Initiates the chips in the field and selects one (code 0x60, no payload):
 * chip_id receives the whole reply (the 1-byte chip identifier); no length
 * is returned or tested, so chip_id must hold 252 bytes. */
KV_API int KV_STDCALL rf_st_select(int device_address, unsigned char* chip_id);

/* Ends the work with the selected chip (code 0x61): it stays silent until
 * the field is switched off and on again. */
KV_API int KV_STDCALL rf_st_completion(int device_address);

/* SR176: reads one 2-byte block (code 0x62; block). Length first, exactly 2
 * bytes to data. */
KV_API int KV_STDCALL rf_sr176_readblock(int device_address, unsigned char block, unsigned char* data,
                                         unsigned char* data_len);

/* SR176: writes 2 bytes to one block (code 0x63; block, 2 bytes). */
KV_API int KV_STDCALL rf_sr176_writeblock(int device_address, unsigned char block, const unsigned char* data);

/* SR176: sets lock bits (code 0x64; lock_byte); bit n protects blocks 2n and
 * 2n + 1 for good. */
KV_API int KV_STDCALL rf_sr176_protectblock(int device_address, unsigned char lock_byte);

/* SRI512 / SRIX4K: reads one 4-byte block (code 0x65; block); block 255 is
 * the system block. Length first, exactly 4 bytes to data. */
KV_API int KV_STDCALL rf_srix4k_readblock(int device_address, unsigned char block, unsigned char* data,
                                          unsigned char* data_len);

/* SRI512 / SRIX4K: writes 4 bytes to one block (code 0x66; block, 4 bytes). */
KV_API int KV_STDCALL rf_srix4k_writeblock(int device_address, unsigned char block, const unsigned char* data);

/* SRIX4K: answers a 6-byte challenge (code 0x67; 6 bytes): response receives
 * the chip's answer (252 bytes suffice), *response_len its length. */
KV_API int KV_STDCALL rf_srix4k_authenticate(int device_address, const unsigned char* challenge,
                                             unsigned char* response, unsigned char* response_len);

/* SRI512 / SRIX4K: the 8-byte UID, least significant byte first (code 0x68).
 * Length first, exactly 8 bytes to uid. */
KV_API int KV_STDCALL rf_srix4k_getuid(int device_address, unsigned char* uid, unsigned char* uid_len);

/* SRIX4K: writes the lock register (code 0x69; lock_byte). */
KV_API int KV_STDCALL rf_srix4k_writelockreg(int device_address, unsigned char lock_byte);

/* SRI512: writes the 2-byte lock field (code 0x6C; 2 bytes). */
KV_API int KV_STDCALL rf_sri512_writelockreg(int device_address, const unsigned char* lock_data);

/* ---- AT88RF020 (card family 'r'), 32 pages of 8 bytes ---- */

/* Presents the 8-byte password (code 0x3F); success opens the protected
 * pages and the changing commands. */
KV_API int KV_STDCALL rf_at020_check(int device_address, const unsigned char* password);

/* Reads one 8-byte page (code 0x40; page). Length first, exactly 8 bytes to
 * data. */
KV_API int KV_STDCALL rf_at020_read(int device_address, unsigned char page, unsigned char* data,
                                    unsigned char* data_len);

/* Writes 8 bytes to one page (code 0x41; page, 8 bytes). */
KV_API int KV_STDCALL rf_at020_write(int device_address, unsigned char page, const unsigned char* data);

/* Sets lock bits of page 0 (code 0x42; 4 bytes). */
KV_API int KV_STDCALL rf_at020_lock(int device_address, const unsigned char* lock_data);

/* Counts and stores a 6-byte signature in page 2 (code 0x43; 6 bytes). */
KV_API int KV_STDCALL rf_at020_count(int device_address, const unsigned char* count_data);

/* Releases the card (code 0x44). */
KV_API int KV_STDCALL rf_at020_deselect(int device_address);

/* ---- FeliCa (card family 'C') ---- */

/* The card's 6-byte identifier (code 0x81). Length first: *uid_len receives
 * the reply length as a 32-bit integer; exactly 6 bytes to uid. */
KV_API int KV_STDCALL rf_felica_get_uid(int device_address, unsigned char* uid, int* uid_len);

#endif
