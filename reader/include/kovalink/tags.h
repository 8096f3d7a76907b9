/**
 * @file tags.h
 * ST short-range chips (SR176, SRI512, SRIX4K), the AT88RF020 memory card
 * and the FeliCa identifier. Before any of them: rf_antenna_sta(1) and
 * rf_init_type() with the family ('s' ST, 'r' AT88RF020, 'C' FeliCa; the
 * reader keeps it). The library keeps no state between calls:
 * an ST chip is selected with rf_st_select() before its block commands and
 * released with rf_st_completion(); an AT88RF020 answers once woken with
 * rf_atqb() and is released with rf_at020_deselect(). A command out of order
 * returns the reader's status byte.
 *
 * "Length first" readers write the reply length to their length output as
 * soon as the reader answered with status 0, then return 1 (data untouched)
 * when it is not the expected size.
 *
 * Every command returns 0 on success, 1 for a local failure (a null pointer,
 * no reader open, time-out, rejected reply, reply of the wrong length) or the
 * reader's status byte (2-255); nothing else is written on failure.
 */
#ifndef KOVALINK_TAGS_H
#define KOVALINK_TAGS_H

#include "api.h"

/* ST SR176, SRI512, SRIX4K (card family 's') */

/**
 * Initiates the chips in the field and selects one. Command 0x60, no payload.
 * @param[out] chip_id the whole reply (the 1-byte chip id); no length is
 *        returned or tested, so it must hold 252 bytes
 */
KV_API int KV_STDCALL rf_st_select(int device_address, unsigned char* chip_id);

/** Ends the work with the selected chip, which then keeps silent until the field is reset. Command 0x61. */
KV_API int KV_STDCALL rf_st_completion(int device_address);

/**
 * SR176: reads one block. Command 0x62; @p block.
 * @param[out] data 2 bytes
 * @param[out] data_len the reply length (length first; 1 unless it is 2)
 */
KV_API int KV_STDCALL rf_sr176_readblock(int device_address, unsigned char block, unsigned char* data,
                                         unsigned char* data_len);

/**
 * SR176: writes one block. Command 0x63; @p block, 2 data bytes.
 * @param data 2 bytes
 */
KV_API int KV_STDCALL rf_sr176_writeblock(int device_address, unsigned char block, const unsigned char* data);

/**
 * SR176: sets lock bits. Command 0x64; @p lock_byte.
 * @param lock_byte bit n protects blocks 2n and 2n + 1 for good
 */
KV_API int KV_STDCALL rf_sr176_protectblock(int device_address, unsigned char lock_byte);

/**
 * SRI512 / SRIX4K: reads one block; block 255 is the system block.
 * Command 0x65; @p block.
 * @param[out] data 4 bytes
 * @param[out] data_len the reply length (length first; 1 unless it is 4)
 */
KV_API int KV_STDCALL rf_srix4k_readblock(int device_address, unsigned char block, unsigned char* data,
                                          unsigned char* data_len);

/**
 * SRI512 / SRIX4K: writes one block. Command 0x66; @p block, 4 data bytes.
 * @param data 4 bytes
 */
KV_API int KV_STDCALL rf_srix4k_writeblock(int device_address, unsigned char block, const unsigned char* data);

/**
 * SRIX4K: answers an authentication challenge. Command 0x67; the 6 bytes.
 * @param challenge 6 bytes
 * @param[out] response the chip's answer (252 bytes suffice)
 * @param[out] response_len number of bytes written
 */
KV_API int KV_STDCALL rf_srix4k_authenticate(int device_address, const unsigned char* challenge,
                                             unsigned char* response, unsigned char* response_len);

/**
 * SRI512 / SRIX4K: reads the UID. Command 0x68, no payload.
 * @param[out] uid 8 bytes, least significant first (ending 02 D0)
 * @param[out] uid_len the reply length (length first; 1 unless it is 8)
 */
KV_API int KV_STDCALL rf_srix4k_getuid(int device_address, unsigned char* uid, unsigned char* uid_len);

/** SRIX4K: writes the lock register. Command 0x69; @p lock_byte. */
KV_API int KV_STDCALL rf_srix4k_writelockreg(int device_address, unsigned char lock_byte);

/**
 * SRI512: writes the lock field. Command 0x6C; the 2 bytes.
 * @param lock_data 2 bytes
 */
KV_API int KV_STDCALL rf_sri512_writelockreg(int device_address, const unsigned char* lock_data);

/* AT88RF020 (card family 'r'): 32 pages of 8 bytes */

/**
 * Presents the password; success opens the protected pages and the
 * changing commands. Command 0x3F; the 8 bytes.
 * @param password 8 bytes
 */
KV_API int KV_STDCALL rf_at020_check(int device_address, const unsigned char* password);

/**
 * Reads one page. Command 0x40; @p page.
 * @param[out] data 8 bytes
 * @param[out] data_len the reply length (length first; 1 unless it is 8)
 */
KV_API int KV_STDCALL rf_at020_read(int device_address, unsigned char page, unsigned char* data,
                                    unsigned char* data_len);

/**
 * Writes one page. Command 0x41; @p page, 8 data bytes.
 * @param data 8 bytes
 */
KV_API int KV_STDCALL rf_at020_write(int device_address, unsigned char page, const unsigned char* data);

/**
 * Sets lock bits, shown in page 0. Command 0x42; the 4 bytes.
 * @param lock_data 4 bytes
 */
KV_API int KV_STDCALL rf_at020_lock(int device_address, const unsigned char* lock_data);

/**
 * Counts and stores a signature, shown in page 2. Command 0x43; the 6 bytes.
 * @param count_data 6 bytes
 */
KV_API int KV_STDCALL rf_at020_count(int device_address, const unsigned char* count_data);

/** Releases the card. Command 0x44. */
KV_API int KV_STDCALL rf_at020_deselect(int device_address);

/* FeliCa (card family 'C') */

/**
 * Reads the card's 6-byte identifier. Command 0x81, no payload.
 * @param[out] uid 6 bytes
 * @param[out] uid_len the reply length as a whole int (length first; 1 unless it is 6)
 */
KV_API int KV_STDCALL rf_felica_get_uid(int device_address, unsigned char* uid, int* uid_len);

#endif
