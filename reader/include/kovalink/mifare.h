/**
 * @file mifare.h
 * ISO14443 type A cards and Mifare Classic: waking and selecting a card, the
 * reader's key tables, authentication, block and value operations, the
 * one-shot commands that carry key and address together, the reader's
 * block-shaped record and card-page commands, and the composite card search.
 *
 * Every command returns 0 on success, 1 for a local failure (argument
 * refused before sending, no reader open, time-out, rejected reply, reply of
 * the wrong length) or the reader's status byte (2-255). A refused argument,
 * including a null pointer the call needs, sends nothing and leaves
 * rf_GetErrorMessage() unchanged; on any failure no output is written
 * unless a function says otherwise. Outputs called "variable" receive the
 * whole reply payload: give them 252 bytes.
 *
 * Request modes: 0x26 wakes idle cards, 0x52 idle and halted cards; 0xA6 and
 * 0xD2 pass as well. Keys are 6 bytes. Key types are 0x60 (key A) and 0x61
 * (key B); key sets 'A' (0x41) and 'B' (0x42) name the reader's two tables of
 * 16 keys; key slots 0-39 name the reader's per-sector key store. Values are
 * signed 32-bit and travel least significant byte first.
 *
 * Usual order: rf_antenna_sta(1) and rf_init_type('A') (the reader keeps
 * both, also from an earlier program), rf_request (or rf_request1),
 * rf_anticoll, rf_select, an authentication, block or value operations
 * within the authenticated sector, rf_halt. A failed authentication leaves
 * the card idle: search it again before the next operation. Several cards:
 * the anticollision picks one; halt it and request with 0x26 to reach the
 * next (0x52 wakes the halted one again). The key tables stay in the reader.
 */
#ifndef KOVALINK_MIFARE_H
#define KOVALINK_MIFARE_H

#include "api.h"

/* ---- Card access -------------------------------------------------------- */

/**
 * Wakes the cards in the field. Command 0x46.
 * @param mode 0x26, 0x52, 0xA6 or 0xD2; any other value is sent as 0x52
 * @param[out] tag_type 2 bytes: the answer to request, least significant
 *             byte first; null is refused
 * @return 1 also when the answer is not 2 bytes
 */
KV_API int KV_STDCALL rf_request(int device_address, unsigned char mode, unsigned char* tag_type);

/**
 * Wakes, identifies and selects a card in one exchange. Command 0x8C; the
 * mode is normalised as for rf_request().
 * @param[out] uid 10 bytes; receives the UID when it is 4, 7 or 10 bytes long
 * @param[out] uid_len receives the reply length first, whatever it is
 * @return 1 when the reply is not 4, 7 or 10 bytes (uid untouched, uid_len written)
 */
KV_API int KV_STDCALL rf_request1(int device_address, unsigned char mode, unsigned char* uid,
                                  unsigned char* uid_len);

/**
 * Anticollision. Command 0x47.
 * @param uid_size 4, 7 or 10; any other value is refused. The simulated
 *        reader completes every cascade level the card needs and answers the
 *        whole UID whatever size is named.
 * @param[out] uid variable: the UID the reader reports
 * @param[out] uid_len its length
 */
KV_API int KV_STDCALL rf_anticoll(int device_address, unsigned char uid_size, unsigned char* uid,
                                  unsigned char* uid_len);

/**
 * Selects the card with this UID. Command 0x48.
 * @param uid the uid_len bytes sent (uid_len 0 sends an empty payload)
 * @param[out] sak 1 byte: the answer to select; 1 is returned for any other length
 */
KV_API int KV_STDCALL rf_select(int device_address, const unsigned char* uid, unsigned char uid_len,
                                unsigned char* sak);

/**
 * Halts the selected card. Command 0x29, empty payload. A halted card
 * answers only a 0x52 request. rf_M1_Halt_same_K62TX() is the same function
 * under a second name.
 */
KV_API int KV_STDCALL rf_halt(int device_address);
/** The same function as rf_halt(). */
KV_API int KV_STDCALL rf_M1_Halt_same_K62TX(int device_address);

/**
 * Card-present test. Command 0x63, empty payload.
 * @param[out] card_flag 1 byte: the simulated reader answers 1 when a type A
 *             card (halted or not) is in the field, 0 otherwise
 */
KV_API int KV_STDCALL rf_check_card(int device_address, unsigned char* card_flag);

/**
 * Command 0x70 with the two bytes as payload.
 * The simulated reader reads @p first_byte as the request mode and
 * @p second_byte as "select the card too" (non-zero), and answers ATQA
 * (2 bytes, least significant first), SAK, UID length and the first 4 UID bytes.
 * @param[out] data 8 bytes; 1 is returned for any other reply length
 * @param[out] data_len receives 8 on success
 */
KV_API int KV_STDCALL rf_request_080(int device_address, unsigned char first_byte, unsigned char second_byte,
                                     unsigned char* data, unsigned char* data_len);

/* ---- Keys and authentication ------------------------------------------- */

/**
 * Loads the 16 keys of one of the reader's key sets. Command 0x2A, payload
 * key_set and the 96 key bytes.
 * @param key_set 'A' or 'B'; any other value is refused
 * @param keys 96 bytes: key n at offset 6n
 */
KV_API int KV_STDCALL rf_download_key(int device_address, unsigned char key_set, const unsigned char* keys);

/**
 * Loads key A and key B of a key slot. Command 0x83.
 * @param key_slot 0-39; above 39 is refused
 * @param keys 12 bytes: key A, then key B
 */
KV_API int KV_STDCALL rf_download_key2(int device_address, unsigned char key_slot, const unsigned char* keys);

/**
 * Loads one key of a key slot. Command 0x2E, payload key_type, key_slot, key.
 * @param key_type 0x60 or 0x61; any other value is refused
 * @param key_slot 0-39; above 39 is refused
 * @param key 6 bytes
 */
KV_API int KV_STDCALL rf_download_key3(int device_address, unsigned char key_type, unsigned char key_slot,
                                       const unsigned char* key);

/**
 * Authenticates sector @p sector with key number @p sector of a reader key
 * set, used as key A for set 'A' and as key B for set 'B'. Command 0x49.
 * @param key_set 'A' or 'B'; any other value (0x60 included) is refused
 */
KV_API int KV_STDCALL rf_M1_authentication1(int device_address, unsigned char key_set, unsigned char sector);

/**
 * Authenticates the sector of @p block with the key given. Command 0x4A,
 * payload key_type, block, key.
 * @param key_type 0x60 or 0x61; any other value ('A' included) is refused
 * @param key 6 bytes
 */
KV_API int KV_STDCALL rf_M1_authentication2(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key);

/**
 * Authenticates sector @p key_slot with the key of that slot loaded by
 * rf_download_key2() or rf_download_key3(). Command 0x84.
 * @param key_type 0x60 or 0x61; any other value is refused
 * @param key_slot 0-39; above 39 is refused
 */
KV_API int KV_STDCALL rf_M1_authentication3(int device_address, unsigned char key_type, unsigned char key_slot);

/**
 * Command 0x5C. The payload is the first @p data_len bytes of the 97 bytes
 * made of @p data_len itself followed by the 96 bytes of @p keys, so its
 * first byte always equals its own length. @p data_len is therefore a
 * length: above 97 there is nothing more to send and the call is refused.
 * The simulated reader takes the whole 6-byte keys that follow as the first
 * keys of key set 'A' (97 bytes: all 16 of them).
 * @param data_len 0-97
 * @param keys 96 bytes; may be null only when data_len is 0 or 1
 */
KV_API int KV_STDCALL rf_change_key(int device_address, unsigned char data_len, const unsigned char* keys);

/* ---- Blocks and values (after authentication of the block's sector) ---- */

/**
 * Reads a block. Command 0x4B. On Ultralight and NTAG tags @p block is a
 * page number and four pages (16 bytes) come back, rolling over at the end.
 * @param[out] data variable (16 bytes for a block)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_M1_read(int device_address, unsigned char block, unsigned char* data,
                                 unsigned char* data_len);

/**
 * Writes a block. Command 0x4C, payload block and 16 bytes. On Ultralight
 * and NTAG tags the first 4 bytes go to page @p block.
 */
KV_API int KV_STDCALL rf_M1_write(int device_address, unsigned char block, const unsigned char* data);

/** Formats @p block as a value block holding @p value. Command 0x4D. */
KV_API int KV_STDCALL rf_M1_initval(int device_address, unsigned char block, int value);

/**
 * Reads a value block. Command 0x4E.
 * @param[out] value the 4 bytes the reader sends, least significant first;
 *             1 is returned for any other reply length
 */
KV_API int KV_STDCALL rf_M1_readval(int device_address, unsigned char block, int* value);

/** Decrements a value block by @p value and stores the result in it. Command 0x4F. */
KV_API int KV_STDCALL rf_M1_decrement(int device_address, unsigned char block, int value);

/** Increments a value block by @p value and stores the result in it. Command 0x50. */
KV_API int KV_STDCALL rf_M1_increment(int device_address, unsigned char block, int value);

/** Loads a value block into the card's transfer buffer. Command 0x51. */
KV_API int KV_STDCALL rf_M1_restore(int device_address, unsigned char block);

/** Writes the transfer buffer into a block of the same sector. Command 0x52. */
KV_API int KV_STDCALL rf_M1_transfer(int device_address, unsigned char block);

/**
 * Command 0x1F with block and 16 data bytes. The simulated reader
 * authenticates the block's sector with the factory key A (six 0xFF) and
 * writes the block: it initialises cards still in delivery state.
 */
KV_API int KV_STDCALL rf_M1_InitCard(int device_address, unsigned char block, const unsigned char* data);

/**
 * Reads record @p address of the reader's clock records. Command 0x56.
 * The simulated reader keeps 16 records of 16 bytes (addresses 0-15).
 * @param[out] data variable (16 bytes)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_time_read(int device_address, unsigned char address, unsigned char* data,
                                   unsigned char* data_len);

/** Writes 16 bytes to clock record @p address. Command 0x57. */
KV_API int KV_STDCALL rf_time_write(int device_address, unsigned char address, const unsigned char* data);

/**
 * Reads record @p address of the reader's value-sum records (16 records of
 * 16 bytes in the simulated reader). Command 0x58.
 * @param[out] data variable (16 bytes)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL value_sum_read(int device_address, unsigned char address, unsigned char* data,
                                     unsigned char* data_len);

/** Writes 16 bytes to value-sum record @p address. Command 0x59. */
KV_API int KV_STDCALL value_sum_write(int device_address, unsigned char address, const unsigned char* data);

/**
 * Reads from a 256-byte page of card memory. Command 0x64, payload page
 * (most significant byte first), offset, length. The simulated reader reads
 * the selected card's memory at byte page·256 + offset, under the card's
 * own rules.
 * @param length refused when offset + length > 256 or length > 200
 * @param[out] data exactly @p length bytes; 1 is returned for any other reply length
 */
KV_API int KV_STDCALL rf_flash_card_read(int device_address, unsigned short page, unsigned char offset,
                                         unsigned char length, unsigned char* data);

/**
 * Writes to a 256-byte page of card memory. Command 0x65, payload page
 * (most significant byte first), offset, length and the data.
 * @param length refused when offset + length > 256 or length > 224
 * @return 0 when the reply carries no payload, 1 when it carries any
 */
KV_API int KV_STDCALL rf_flash_card_write(int device_address, unsigned short page, unsigned char offset,
                                          unsigned char length, const unsigned char* data);

/* ---- One-shot commands: authenticate and operate in one request ---------
 * Key type, block (or sector) and the 6 key bytes travel unchecked, in this
 * order, followed by the data or value. The simulated reader uses the
 * selected card or wakes and selects one first, and takes the key type as
 * 0x60/0x61, 'A'/'B' or 0/1. */

/**
 * Wakes, identifies and selects a card. Command 0x20; the mode is sent unchanged.
 * @param[out] uid 10 bytes; null is refused
 * @param[out] uid_len the UID length
 * @return 1 when the reply is not 4, 7 or 10 bytes long (nothing written)
 */
KV_API int KV_STDCALL rf_request_same_K62TX(int device_address, unsigned char mode, unsigned char* uid,
                                            unsigned char* uid_len);

/**
 * Reads a block. Command 0x21.
 * @param[out] data variable (16 bytes)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_M1_read_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key, unsigned char* data,
                                            unsigned char* data_len);

/**
 * Reads the data blocks of a sector. Command 0x22.
 * @param[out] data variable: 48 bytes for a 4-block sector, 240 for a
 *             16-block one (the trailer is not included)
 * @param[out] data_len its length
 */
KV_API int KV_STDCALL rf_M1_read_sector_same_K62TX(int device_address, unsigned char key_type,
                                                   unsigned char sector, const unsigned char* key,
                                                   unsigned char* data, unsigned char* data_len);

/** Writes 16 bytes to a block. Command 0x23. */
KV_API int KV_STDCALL rf_M1_write_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                             const unsigned char* key, const unsigned char* data);

/**
 * Writes 48 bytes to the first three blocks of a sector, in order, stopping
 * at the first refused block. Command 0x2E.
 */
KV_API int KV_STDCALL rf_M1_write_sector_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char sector, const unsigned char* key,
                                                    const unsigned char* data);

/** Formats @p block as a value block holding @p value. Command 0x24. */
KV_API int KV_STDCALL rf_M1_Init_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int value);

/**
 * Reads a value block. Command 0x25.
 * @param[out] value exactly 4 bytes, least significant first
 */
KV_API int KV_STDCALL rf_M1_Read_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int* value);

/** Increments a value block by @p value. Command 0x26. */
KV_API int KV_STDCALL rf_M1_Inc_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value);

/** Decrements a value block by @p value. Command 0x27. */
KV_API int KV_STDCALL rf_M1_Dec_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value);

/**
 * Copies value block @p source_block to @p target_block of the same sector.
 * Command 0x28, payload key_type, source_block, target_block, key.
 */
KV_API int KV_STDCALL rf_M1_Backup_Purse_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char source_block, unsigned char target_block,
                                                    const unsigned char* key);

/* ---- Composite card search ---------------------------------------------- */

/**
 * Finds and selects the type A card in the field with rf_request() (tried
 * twice), then either rf_anticoll() and rf_select() (Mifare way) or
 * rf_ul_select() (Ultralight way). The Ultralight way is taken when the
 * answer to request is 0x0044, or when bytes 2 and 3 of @p tag_type, which
 * the caller supplies and nothing writes, are both zero.
 * @param mode request mode for rf_request()
 * @param[out] uid at least 7 bytes
 * @param[out] uid_len the UID length (4 on the Mifare way, 7 on the Ultralight way)
 * @param[in,out] tag_type 4 bytes: the first two receive the answer to
 *        request; bytes 2 and 3 are an input: leave them zero and the
 *        Ultralight way is taken on any card (a Classic card then gives -5
 *        with rf_GetErrorMessage() 0); set them non-zero to let the answer
 *        to request decide
 * @return 0 selected; 1 a null argument (nothing sent); -1 both requests
 *         failed; -2 rf_anticoll() failed; -3 it gave a UID not 4 bytes
 *         long; -4 rf_select() failed; -5 rf_ul_select() failed (it refuses
 *         a UID that is not 7 bytes long itself); -6 it gave a UID not 7
 *         bytes long (KV_SEARCH_... in kovalink/status.h,
 *         kv_card_search_text()). The failing step's status is in
 *         rf_GetErrorMessage(): 0 when that step failed on a reply of the
 *         wrong length.
 */
KV_API int KV_STDCALL rf_getlockcardinfo(int device_address, unsigned char mode, unsigned char* uid,
                                         unsigned char* uid_len, unsigned char* tag_type);

#endif
