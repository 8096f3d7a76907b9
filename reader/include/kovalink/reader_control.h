/* Reader control: address, identity, beeper, lamp, antenna, card family,
 * display, flash memory and the raw pass-through. */
#ifndef KOVALINK_READER_CONTROL_H
#define KOVALINK_READER_CONTROL_H

#include "api.h"

/* Opens the reader with the USB ids (the address is not used).
 * Returns 0 when opened, 1 when no such reader could be opened. */
KV_API int KV_STDCALL rf_init_com(int device_address, int vendor_id, int product_id);

/* Closes the reader. Returns 0. */
KV_API int KV_STDCALL rf_ClosePort(void);

/* The status of the most recent exchange (0 to 255): 0 success, 1 local
 * failure or rejected reply, other values the reader's status byte. */
KV_API int KV_STDCALL rf_GetErrorMessage(void);

/* Releases a block of this library's heap; null is ignored. The library never
 * hands out memory, so callers rarely need it. */
KV_API int KV_STDCALL rf_free(void* block);

/* Writes the library version (19) to *version. Returns 0, or 1 for null. */
KV_API int KV_STDCALL lib_ver(int* version);

/* Sets the reader's address to new_number (code 0x13). */
KV_API int KV_STDCALL rf_init_device_number(int device_address, unsigned short new_number);

/* Asks the reader at address 0 for its address (code 0x14); the answer's
 * address field goes to *device_number. */
KV_API int KV_STDCALL rf_get_device_number(int device_address, unsigned short* device_number);

/* Reader model, 2 bytes (code 0x16). */
KV_API int KV_STDCALL rf_get_model(int device_address, unsigned char* model);

/* Reader serial number (code 0x17): snr receives up to 252 bytes, *snr_len
 * their number. */
KV_API int KV_STDCALL rf_get_snr(int device_address, unsigned char* snr, int* snr_len);

/* Sounds the beeper for duration x 10 ms (code 0x1D). */
KV_API int KV_STDCALL rf_beep(int device_address, unsigned char duration);

/* Selects the card family (code 0x3A): 'A' ISO14443A, 'B' ISO14443B,
 * 'C' FeliCa, '1' ISO15693, 's' ST SR chips, 'r' AT88RF020. */
KV_API int KV_STDCALL rf_init_type(int device_address, unsigned char card_type);

/* Antenna on (1) or off (0) (code 0x05); other values are refused with 1. */
KV_API int KV_STDCALL rf_antenna_sta(int device_address, unsigned char on_off);

/* Passes data_len bytes of reader timing parameters (code 0x05). */
KV_API int KV_STDCALL rf_change_wait_time(int device_address, const unsigned char* data, unsigned char data_len);

/* Sets the indicator lamp (code 0x6A). */
KV_API int KV_STDCALL rf_light(int device_address, unsigned char colour);

/* Writes to the reader's display (code 0x1F): two control bytes and 3 data bytes. */
KV_API int KV_STDCALL rf_display(int device_address, unsigned char first_byte, unsigned char second_byte,
                                 const unsigned char* display_data);

/* Writes min(length, 64) bytes of data to the reader's flash (code 0x5B).
 * Words travel most significant byte first. */
KV_API int KV_STDCALL rf_flash_write(int device_address, unsigned short first_word, unsigned short second_word,
                                     unsigned char length, const unsigned char* data);

/* Reads length bytes of the reader's flash into data (code 0x5A). */
KV_API int KV_STDCALL rf_flash_read(int device_address, unsigned short first_word, unsigned short second_word,
                                    unsigned char length, unsigned char* data);

/* Sends any command code with data_len bytes of data and copies the whole
 * reply body (address, length L, one byte, status, payload, checksum: L + 3
 * bytes, at most 258) to reply_body. Returns 0 whenever a reply arrived; the
 * reader's status is reply_body[4]. */
KV_API int KV_STDCALL door_acess(int device_address, unsigned char command, unsigned char data_len,
                                 const unsigned char* data, unsigned char* reply_body);

#endif
