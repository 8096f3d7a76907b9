/* ISO14443 type A cards and Mifare Classic: waking and selecting a card,
 * the reader's key tables, authentication, block and value operations, the
 * one-shot commands that carry key and address together, a few reader-side
 * block commands, and the composite card search.
 *
 * Results as everywhere: 0 success, 1 local failure (argument refused before
 * sending, transport failure, rejected reply, reply payload of the wrong
 * length), 2..255 the reader's status byte. A refused argument sends nothing
 * and leaves rf_GetErrorMessage() unchanged. Output buffers marked
 * "variable" receive the whole reply payload and must hold 252 bytes.
 *
 * Request modes: 0x26 wakes idle cards, 0x52 idle and halted cards (0xA6
 * and 0xD2 pass as well). Keys are 6 bytes. Key types 0x60 (key A) and 0x61
 * (key B); key sets 'A' (0x41) and 'B' (0x42) name the reader's two tables
 * of 16 keys. Key slots 0..39 name the reader's per-sector key store.
 * Values are signed 32-bit and travel least significant byte first.
 */
#ifndef KOVALINK_MIFARE_H
#define KOVALINK_MIFARE_H

#include "api.h"

/* ---- Card access ---------------------------------------------------- */

/* Request (code 0x46). A mode other than 0x26, 0x52, 0xA6, 0xD2 is sent as
 * 0x52. tag_type receives the 2-byte answer to request (least significant
 * byte first). Returns 1 without sending when tag_type is null; 1 when the
 * answer is not 2 bytes. */
KV_API int KV_STDCALL rf_request(int device_address, unsigned char mode, unsigned char* tag_type);

/* Request and identify in one exchange (code 0x8C); the mode is normalised
 * as for rf_request. *uid_len receives the reply length first, whatever it
 * is; when it is 4, 7 or 10 the UID goes to uid (10 bytes) and 0 is
 * returned, otherwise 1 with uid untouched. Null uid or uid_len: 1. */
KV_API int KV_STDCALL rf_request1(int device_address, unsigned char mode, unsigned char* uid,
                                  unsigned char* uid_len);

/* Anticollision (code 0x47). uid_size must be 4, 7 or 10, else 1 and
 * nothing is sent. uid (variable) receives the UID the reader reports and
 * *uid_len its length. */
KV_API int KV_STDCALL rf_anticoll(int device_address, unsigned char uid_size, unsigned char* uid,
                                  unsigned char* uid_len);

/* Selects the card with this UID (code 0x48); the uid_len bytes of uid are
 * sent (uid_len 0 sends an empty payload). *sak receives the 1-byte select
 * answer; any other reply length gives 1. */
KV_API int KV_STDCALL rf_select(int device_address, const unsigned char* uid, unsigned char uid_len,
                                unsigned char* sak);

/* Halts the selected card (code 0x29, empty payload). A halted card answers
 * only a 0x52 request. Also exported as rf_M1_Halt_same_K62TX: one
 * function under two names. */
KV_API int KV_STDCALL rf_halt(int device_address);
KV_API int KV_STDCALL rf_M1_Halt_same_K62TX(int device_address);

/* Card-present test (code 0x63, empty payload): *card_flag receives the
 * reader's 1-byte answer (1 a type A card is in the field, 0 none). */
KV_API int KV_STDCALL rf_check_card(int device_address, unsigned char* card_flag);

/* Code 0x70 with the two bytes as payload; exactly 8 bytes go to data and 8
 * to *data_len. The simulated reader reads first_byte as the request mode
 * and second_byte as "select the card" (non-zero) and answers ATQA (2),
 * SAK, UID length and the first 4 UID bytes. */
KV_API int KV_STDCALL rf_request_080(int device_address, unsigned char first_byte, unsigned char second_byte,
                                     unsigned char* data, unsigned char* data_len);

/* ---- Keys and authentication --------------------------------------- */

/* Loads the 16 keys of key set 'A' or 'B' into the reader (code 0x2A,
 * payload key_set + 96 key bytes). keys: 96 bytes, key n at offset 6n.
 * key_set other than 0x41/0x42: 1, nothing sent. */
KV_API int KV_STDCALL rf_download_key(int device_address, unsigned char key_set, const unsigned char* keys);

/* Loads key A and key B (12 bytes: A then B) of key slot 0..39 (code 0x83).
 * key_slot above 39: 1, nothing sent. */
KV_API int KV_STDCALL rf_download_key2(int device_address, unsigned char key_slot, const unsigned char* keys);

/* Loads one key (6 bytes) of type 0x60/0x61 into key slot 0..39 (code 0x2E).
 * Another key type or a slot above 39: 1, nothing sent. */
KV_API int KV_STDCALL rf_download_key3(int device_address, unsigned char key_type, unsigned char key_slot,
                                       const unsigned char* key);

/* Authenticates sector `sector` with key number `sector` of the reader's
 * key set 'A' (as key A) or 'B' (as key B) (code 0x49). key_set other than
 * 0x41/0x42: 1, nothing sent. */
KV_API int KV_STDCALL rf_M1_authentication1(int device_address, unsigned char key_set, unsigned char sector);

/* Authenticates the sector of `block` with the 6-byte key given (code 0x4A).
 * key_type other than 0x60/0x61: 1, nothing sent. A failed authentication
 * leaves the card unselected: search it again. */
KV_API int KV_STDCALL rf_M1_authentication2(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key);

/* Authenticates sector key_slot with the key of that slot loaded by
 * rf_download_key2/3 (code 0x84). key_type other than 0x60/0x61, or a slot
 * above 39: 1, nothing sent. */
KV_API int KV_STDCALL rf_M1_authentication3(int device_address, unsigned char key_type, unsigned char key_slot);

/* Code 0x5C. A 97-byte buffer is built from data_len followed by the 96
 * bytes of keys, and its first data_len bytes are sent, so the payload's
 * first byte is its own length. data_len is therefore a length, 0..97:
 * above 97 the call returns 1 and sends nothing (the buffer holds no more);
 * keys may be null only when data_len is 0 or 1. The simulated reader takes
 * the keys (whole 6-byte keys) as the first keys of key set 'A'. */
KV_API int KV_STDCALL rf_change_key(int device_address, unsigned char data_len, const unsigned char* keys);

/* ---- Blocks and values (after authentication of the block's sector) - */

/* Reads a block (code 0x4B): data (variable, 16 bytes for a block), *data_len.
 * On Ultralight and NTAG tags `block` is a page number and 16 bytes (four
 * pages) come back. */
KV_API int KV_STDCALL rf_M1_read(int device_address, unsigned char block, unsigned char* data,
                                 unsigned char* data_len);

/* Writes 16 bytes to a block (code 0x4C). */
KV_API int KV_STDCALL rf_M1_write(int device_address, unsigned char block, const unsigned char* data);

/* Formats a block as a value block holding `value` (code 0x4D). */
KV_API int KV_STDCALL rf_M1_initval(int device_address, unsigned char block, int value);

/* Reads a value block (code 0x4E); *value receives the 4 bytes the reader
 * sends (least significant first); any other reply length gives 1. */
KV_API int KV_STDCALL rf_M1_readval(int device_address, unsigned char block, int* value);

/* Decrements / increments a value block by `value` and stores the result
 * in the block (codes 0x4F / 0x50). */
KV_API int KV_STDCALL rf_M1_decrement(int device_address, unsigned char block, int value);
KV_API int KV_STDCALL rf_M1_increment(int device_address, unsigned char block, int value);

/* Loads a value block into the card's transfer buffer (code 0x51). */
KV_API int KV_STDCALL rf_M1_restore(int device_address, unsigned char block);

/* Writes the transfer buffer into a block of the same sector (code 0x52). */
KV_API int KV_STDCALL rf_M1_transfer(int device_address, unsigned char block);

/* Code 0x1F with block and 16 data bytes. The simulated reader writes the
 * block after authenticating its sector with the factory key A
 * (FF FF FF FF FF FF): it initialises cards still in delivery state. */
KV_API int KV_STDCALL rf_M1_InitCard(int device_address, unsigned char block, const unsigned char* data);

/* Reader-held record areas of 16 blocks of 16 bytes: clock records (codes
 * 0x56 read / 0x57 write) and value-sum records (0x58 / 0x59). Reads fill
 * data (variable, 16 bytes) and *data_len; writes take 16 bytes. */
KV_API int KV_STDCALL rf_time_read(int device_address, unsigned char address, unsigned char* data,
                                   unsigned char* data_len);
KV_API int KV_STDCALL rf_time_write(int device_address, unsigned char address, const unsigned char* data);
KV_API int KV_STDCALL value_sum_read(int device_address, unsigned char address, unsigned char* data,
                                     unsigned char* data_len);
KV_API int KV_STDCALL value_sum_write(int device_address, unsigned char address, const unsigned char* data);

/* Reads `length` bytes at `offset` of 256-byte card page `page` (code 0x64;
 * the page travels most significant byte first). Refused with 1 when
 * offset + length > 256 or length > 200. Exactly `length` bytes go to data. */
KV_API int KV_STDCALL rf_flash_card_read(int device_address, unsigned short page, unsigned char offset,
                                         unsigned char length, unsigned char* data);

/* Writes `length` bytes of data at `offset` of card page `page` (code 0x65).
 * Refused with 1 when offset + length > 256 or length > 224. Returns 0 when
 * the reply carries no payload, else 1. */
KV_API int KV_STDCALL rf_flash_card_write(int device_address, unsigned short page, unsigned char offset,
                                          unsigned char length, const unsigned char* data);

/* ---- One-shot commands: authenticate and operate in one request ------
 * key_type, block or sector and key travel unchecked: key_type, block,
 * then the 6 key bytes, then the data or value. */

/* Wakes, identifies and selects a card (code 0x20; mode sent unchanged).
 * A reply of 4, 7 or 10 bytes goes to uid (10 bytes) and its length to
 * *uid_len; any other length gives 1. Null uid: 1, nothing sent. */
KV_API int KV_STDCALL rf_request_same_K62TX(int device_address, unsigned char mode, unsigned char* uid,
                                            unsigned char* uid_len);

/* Reads a block (code 0x21): data (variable, 16 bytes), *data_len. */
KV_API int KV_STDCALL rf_M1_read_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key, unsigned char* data,
                                            unsigned char* data_len);

/* Reads the data blocks of a sector (code 0x22): data (variable: 48 bytes
 * for a 4-block sector, 240 for a 16-block sector), *data_len. */
KV_API int KV_STDCALL rf_M1_read_sector_same_K62TX(int device_address, unsigned char key_type,
                                                   unsigned char sector, const unsigned char* key,
                                                   unsigned char* data, unsigned char* data_len);

/* Writes 16 bytes to a block (code 0x23). */
KV_API int KV_STDCALL rf_M1_write_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                             const unsigned char* key, const unsigned char* data);

/* Writes 48 bytes to the first three blocks of a sector (code 0x2E). */
KV_API int KV_STDCALL rf_M1_write_sector_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char sector, const unsigned char* key,
                                                    const unsigned char* data);

/* Value block operations (codes 0x24 init, 0x25 read, 0x26 increment,
 * 0x27 decrement); the read gives exactly 4 bytes. */
KV_API int KV_STDCALL rf_M1_Init_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int value);
KV_API int KV_STDCALL rf_M1_Read_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int* value);
KV_API int KV_STDCALL rf_M1_Inc_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value);
KV_API int KV_STDCALL rf_M1_Dec_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value);

/* Copies value block source_block to target_block of the same sector
 * (code 0x28, payload key_type, source, target, key). */
KV_API int KV_STDCALL rf_M1_Backup_Purse_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char source_block, unsigned char target_block,
                                                    const unsigned char* key);

/* ---- Composite card search ------------------------------------------ */

/* Finds and selects the type A card in the field through rf_request,
 * rf_anticoll/rf_select (Mifare way) or rf_ul_select (Ultralight way).
 * uid: at least 7 bytes; *uid_len its length; tag_type: 4 bytes, the first
 * two receive the answer to request. The Ultralight way is taken when the
 * answer is 0x0044 or when tag_type bytes 2 and 3 (supplied by the caller,
 * never written) are both zero.
 * Returns 0 selected; 1 a null argument (nothing sent); -1 two requests
 * failed; -2 anticollision failed; -3 anticollision gave a UID not 4 bytes
 * long; -4 select failed; -5 Ultralight select failed; -6 it gave a UID not
 * 7 bytes long. The failing step's status is in rf_GetErrorMessage(). */
KV_API int KV_STDCALL rf_getlockcardinfo(int device_address, unsigned char mode, unsigned char* uid,
                                         unsigned char* uid_len, unsigned char* tag_type);

#endif
