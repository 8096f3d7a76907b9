/**
 * @file reader_control.h
 * Reader control: opening the reader, its address, identity, beeper, lamp,
 * antenna, card family, display, flash memory and the raw pass-through.
 *
 * Every command returns 0 on success, 1 for a local failure (argument
 * refused before sending, no reader open, time-out, rejected reply, reply of
 * the wrong length) or the reader's status byte (2-255).
 *
 * Calling order: rf_init_com(), rf_antenna_sta(1), rf_init_type() with the
 * card family, then the family's commands (see its header and
 * calling-order.md). The reader keeps the antenna switch, the card family,
 * its key tables, flash and records across calls and across programs;
 * rf_ClosePort() changes none of them, so set antenna and family in every
 * program. Switching the antenna off or changing the family takes power from
 * the cards in the field.
 *
 * Addresses: device_address is cut to its low 16 bits (65536 is 0, 65543 is
 * 7). Address 0 reaches any reader. An address no reader answers costs the
 * transport's 4 s read time-out and returns 1.
 */
#ifndef KOVALINK_READER_CONTROL_H
#define KOVALINK_READER_CONTROL_H

#include "api.h"

/**
 * Opens the first reader with these USB ids (a hidraw device, else a
 * virtual reader served by readersim). A reader already open is closed first:
 * a process has one reader open at a time, shared by all its threads.
 * @param device_address not used
 * @param vendor_id USB vendor id, normally 0x1A86
 * @param product_id USB product id, normally 0xE010
 * @return 0 when opened, 1 when no such reader could be opened
 */
KV_API int KV_STDCALL rf_init_com(int device_address, int vendor_id, int product_id);

/** Closes the reader. @return 0 */
KV_API int KV_STDCALL rf_ClosePort(void);

/**
 * The status of the last reply frame this process received: an int, not a
 * text (kv_status_text() in kovalink/status.h gives the text). It is
 * process-wide, shared by every thread and address, and kept until the next
 * exchange ends:
 * - the reader's status byte S when a reply frame arrived (0 on success);
 * - 1 when the exchange failed: no reader open, no reply, rejected frame;
 * - unchanged after a call refused before sending (a null pointer, a length
 *   or mode out of range) and after the host-side cipher helpers;
 * - 0 after a failure that came from a good frame: a reply of the wrong
 *   length (the call returns 1), or a composite call's later step that
 *   failed that way (rf_getlockcardinfo() returning -5 on a Classic card).
 * Judge a call by its own result; read this right after a composite call to
 * learn the reader's status, on the same thread.
 * @return 0-255
 */
KV_API int KV_STDCALL rf_GetErrorMessage(void);

/**
 * Releases a block of this library's heap; null is ignored. The library
 * never hands out memory, so callers rarely need it.
 * @return 0
 */
KV_API int KV_STDCALL rf_free(void* block);

/**
 * @param[out] version receives the library's build number, 19: the same as
 *        KOVALINKHID_LIB_VER in kovalink/version.h and the fourth part of the
 *        file's version (libKovalinkHID.so.1.0.1.19); the package version is
 *        KOVALINKHID_VERSION_STRING
 * @return 0, or 1 when @p version is null
 */
KV_API int KV_STDCALL lib_ver(int* version);

/**
 * Sets the reader's address (device number). Command 0x13.
 * @param new_number the new address, sent least significant byte first
 */
KV_API int KV_STDCALL rf_init_device_number(int device_address, unsigned short new_number);

/**
 * Asks for the reader's address. Command 0x14, always sent to address 0,
 * which every reader answers.
 * @param device_address not used
 * @param[out] device_number the address field of the reply
 */
KV_API int KV_STDCALL rf_get_device_number(int device_address, unsigned short* device_number);

/**
 * Reads the reader's model. Command 0x16.
 * @param[out] model 2 bytes; 1 is returned when the reply is not 2 bytes
 */
KV_API int KV_STDCALL rf_get_model(int device_address, unsigned char* model);

/**
 * Reads the reader's serial number. Command 0x17.
 * @param[out] snr up to 252 bytes
 * @param[out] snr_len number of bytes written to @p snr
 */
KV_API int KV_STDCALL rf_get_snr(int device_address, unsigned char* snr, int* snr_len);

/**
 * Sounds the beeper. Command 0x1D.
 * @param duration in units of 10 ms
 */
KV_API int KV_STDCALL rf_beep(int device_address, unsigned char duration);

/**
 * Selects the card family the reader talks to. Command 0x3A. The reader
 * keeps it (across programs too) and commands of another family fail with a
 * reader status: ISO15693 commands on a reader left at 'A' give
 * KV_STATUS_NO_CARD or KV_STATUS_UNKNOWN_COMMAND. Changing it takes power
 * from the cards in the field.
 * @param card_type 'A' ISO14443A, 'B' ISO14443B, 'C' FeliCa, '1' ISO15693,
 *        's' ST SR chips, 'r' AT88RF020 (sent unchecked)
 */
KV_API int KV_STDCALL rf_init_type(int device_address, unsigned char card_type);

/**
 * Switches the antenna field. Command 0x05.
 * @param on_off 1 on, 0 off; any other value returns 1 and sends nothing
 */
KV_API int KV_STDCALL rf_antenna_sta(int device_address, unsigned char on_off);

/**
 * Passes timing parameters to the reader. Command 0x05, the antenna
 * command's code: a one-byte payload is the antenna switch, so {0x00}
 * turns the field off and {0x01} on (readersim refuses any other single
 * byte with KV_STATUS_BAD_PARAMETER). Send timing parameters as two or more
 * bytes.
 * @param data @p data_len bytes, sent unchanged
 */
KV_API int KV_STDCALL rf_change_wait_time(int device_address, const unsigned char* data, unsigned char data_len);

/**
 * Sets the indicator lamp. Command 0x6A.
 * @param colour the reader's colour code
 */
KV_API int KV_STDCALL rf_light(int device_address, unsigned char colour);

/**
 * Writes to the reader's display. Command 0x1F.
 * @param display_data 3 bytes
 */
KV_API int KV_STDCALL rf_display(int device_address, unsigned char first_byte, unsigned char second_byte,
                                 const unsigned char* display_data);

/**
 * Writes to the reader's flash memory. Command 0x5B. At most 64 data bytes
 * travel; the length byte goes out as given. The words travel most
 * significant byte first (the simulated reader: first word is the bank,
 * only 0; second word the byte address).
 * @param data min(@p length, 64) bytes
 * @return 0 when the reader acknowledged with an empty reply, else 1 or its status
 */
KV_API int KV_STDCALL rf_flash_write(int device_address, unsigned short first_word, unsigned short second_word,
                                     unsigned char length, const unsigned char* data);

/**
 * Reads the reader's flash memory. Command 0x5A.
 * @param[out] data @p length bytes; 1 is returned when the reply has another length
 */
KV_API int KV_STDCALL rf_flash_read(int device_address, unsigned short first_word, unsigned short second_word,
                                    unsigned char length, unsigned char* data);

/**
 * Sends any command with any payload and hands back the whole reply body.
 * @param command the command code
 * @param data @p data_len bytes of payload
 * @param[out] reply_body up to 258 bytes: address low, address high, length L,
 *        one byte, status, L - 3 payload bytes, checksum (L + 3 bytes)
 * @return 0 whenever a reply arrived, even a rejected one or an error status
 *         (read the status from reply_body[4]); 1 for a transport failure
 */
KV_API int KV_STDCALL door_acess(int device_address, unsigned char command, unsigned char data_len,
                                 const unsigned char* data, unsigned char* reply_body);

#endif
