/**
 * @file cpucard.h
 * One-call helpers for a contactless CPU card, a PSAM in a SAM slot, the
 * sector-imitating CPU-card application and CPU cards used with a Wiegand
 * reader. The reader composes the card's and SAM's APDUs; the library packs
 * the parameters into one request and returns the reader's answer.
 *
 * Common rules:
 * - @p response must hold 252 bytes; @p response_len receives the number of
 *   bytes copied: the answer to the last APDU of the operation, data then
 *   status word. A result of 0 with an error status word is success for the
 *   library: judge the status word (90 00, 63 Cx, 69 82, 69 83, 6A 82 ...).
 * - Results: 0 success; 1 refused before sending (a key_len other than 8 or
 *   16 where a DES key is needed, a null pointer), no reader, transport
 *   failure or rejected reply; -2 a length above the function's limit,
 *   refused before sending; 2-255 the reader's status byte. Refusals leave
 *   the last status (rf_GetErrorMessage()) unchanged.
 * - Fixed-width fields: amount 4 bytes (most significant first), terminal_no
 *   6, date_time 7 (YYYYMMDDhhmmss in BCD), trans_serial 2, card_random 4.
 * - The card must have been activated (rf_typea_rst(), or rf_atqb() and
 *   rf_attrib()); a SAM reset (rf_sam_rst_2() or rf_sam_rst()). SAM numbers
 *   0-5 are the SAM slots 1-6.
 * - Purse MAC, for credit and debit: Cal_MAC() with the purse key over
 *   card_random(4) trans_serial(2) aux(0, 2 or 4) amount(4) trans_type(1)
 *   terminal_no(6) date_time(7), zero initial value.
 *
 * The meaning of the pass-through parameters given below is how the reader
 * carries the operation out.
 */
#ifndef KOVALINK_CPUCARD_H
#define KOVALINK_CPUCARD_H

#include "api.h"

/**
 * External authentication of the card with a key given here. Command 0xD0,
 * payload param1, param2, key_len, key. The reader gets a challenge,
 * encrypts it and sends EXTERNAL AUTHENTICATE.
 * @param param1 the key id on the card
 * @param param2 1 = the key is first scattered over the card's UID
 *        (Key_Scatter() of the UID zero-padded to 8 bytes); other = as given
 * @param key_len 8 (DES) or 16 (triple DES); other values return 1
 */
KV_API int KV_STDCALL rf_CPUCard_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                          unsigned char key_len, const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len);

/**
 * External authentication of the card with the cryptogram from a SAM
 * (INTERNAL AUTHENTICATE of the challenge). Command 0xD1, payload the four
 * parameters.
 * @param param1 the key id on the card
 * @param param2 the SAM number
 * @param param3 the key id in the SAM
 * @param param4 1 = the SAM scatters its key over the card's UID first
 */
KV_API int KV_STDCALL rf_CPUCard_Ext_Auth_By_SAM(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char param3, unsigned char param4, unsigned char* response,
                                                 unsigned char* response_len);

/** Erases the files of the card's current DF, after external authentication. Command 0xD2, empty payload. */
KV_API int KV_STDCALL rf_CPUCard_Erase_DF(int device_address, unsigned char* response, unsigned char* response_len);

/**
 * Gets a challenge. Command 0xE3.
 * @param param1 the number of random bytes, 4 or 8
 */
KV_API int KV_STDCALL rf_CPUCard_Get_Rnd(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len);

/**
 * Selects a binary file and reads it. Command 0xE1, payload the four
 * parameters.
 * @param param1 file id, high byte; @param param2 file id, low byte
 * @param param3 offset; @param param4 number of bytes (0 = to the end)
 */
KV_API int KV_STDCALL rf_CPUCard_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                               unsigned char param3, unsigned char param4, unsigned char* response,
                                               unsigned char* response_len);

/**
 * Selects a binary file and writes it. Command 0xE2, payload param1-3,
 * data_len, data.
 * @param param1 file id, high byte; @param param2 file id, low byte
 * @param param3 offset
 * @param data_len at most 248, the most one frame carries; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                                unsigned char param3, unsigned char data_len,
                                                const unsigned char* data, unsigned char* response,
                                                unsigned char* response_len);

/**
 * VERIFY. Command 0xD6, payload param1, pin_len, pin.
 * @param param1 the PIN reference
 * @param pin_len at most 8; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_Verify_Pin(int device_address, unsigned char param1, unsigned char pin_len,
                                            const unsigned char* pin, unsigned char* response,
                                            unsigned char* response_len);

/**
 * Changes the PIN. Command 0xD7, payload param1, old_pin_len, old_pin,
 * new_pin_len, new_pin.
 * @param param1 the PIN reference
 * @param old_pin_len,new_pin_len at most 8 each; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_Change_Pin(int device_address, unsigned char param1, unsigned char old_pin_len,
                                            const unsigned char* old_pin, unsigned char new_pin_len,
                                            const unsigned char* new_pin, unsigned char* response,
                                            unsigned char* response_len);

/**
 * Sets a new PIN and unblocks it. Command 0xD8, payload param1, key (16),
 * pin_len, pin.
 * @param param1 the PIN reference
 * @param key the card's 16-byte reload key, with which the reader MACs the PIN
 * @param pin_len at most 8; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_PinReload(int device_address, unsigned char param1, const unsigned char* key,
                                           unsigned char pin_len, const unsigned char* pin, unsigned char* response,
                                           unsigned char* response_len);

/**
 * Purse credit with the MAC computed by the reader. Command 0xD9, payload
 * param1, param2, amount, terminal_no, date_time, key_len, key. The answer
 * is the new balance (4), a TAC (4) and 90 00.
 * @param param1 the purse key id on the card
 * @param param2 the transaction type
 * @param key_len the purse key's length (8 or 16), at most 16; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_increment(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, unsigned char key_len,
                                           const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len);

/**
 * Purse debit, as rf_CPUCard_increment(). Command 0xDA, with @p aux after
 * date_time. 94 01: the balance is too low.
 * @param aux 4 bytes, the terminal's transaction number (part of the MAC)
 */
KV_API int KV_STDCALL rf_CPUCard_decrement(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, const unsigned char* aux,
                                           unsigned char key_len, const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len);

/**
 * Purse credit with the MAC computed by a SAM. Command 0xDB, payload
 * param1-3, amount, terminal_no, date_time (20 bytes).
 * @param param1 the purse key id, the same in the card and the SAM
 * @param param2 the transaction type
 * @param param3 the SAM number
 */
KV_API int KV_STDCALL rf_CPUCard_increment_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     unsigned char* response, unsigned char* response_len);

/**
 * Purse debit with the MAC computed by a SAM, as
 * rf_CPUCard_increment_AuthBySam(). Command 0xDC, then @p aux (24 bytes).
 * @param aux 4 bytes, part of the MAC
 */
KV_API int KV_STDCALL rf_CPUCard_decrement_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     const unsigned char* aux, unsigned char* response,
                                                     unsigned char* response_len);

/**
 * Reads the balance (4 bytes, most significant first). Command 0xDD.
 * @param param1 2 for the purse
 */
KV_API int KV_STDCALL rf_CPUCard_ReadVal(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len);

/**
 * The proof of a past purse transaction: its balance (4) and TAC (4), or
 * 6A 88 when unknown. Command 0xDF, payload trans_type, trans_serial (3).
 * @param trans_serial 2 bytes, the serial the card gave at the transaction
 */
KV_API int KV_STDCALL rf_CPUCard_Get_TAProve(int device_address, unsigned char trans_type,
                                             const unsigned char* trans_serial, unsigned char* response,
                                             unsigned char* response_len);

/**
 * Installs a key (replacing an installed one needs external
 * authentication). Command 0xD3, payload param1, param2, data: the length
 * itself is not sent.
 * @param param1 the key id; @param param2 its try limit
 * @param data_len at most 8; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_Init_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char data_len, const unsigned char* data,
                                                 unsigned char* response, unsigned char* response_len);

/**
 * Changes a key, after external authentication. Command 0xD4, payload
 * param1, data_len, data.
 * @param param1 the key id
 * @param data the new key (8 or 16 bytes), or a try limit followed by it (9 or 17)
 * @param data_len at most 18; above: -2
 */
KV_API int KV_STDCALL rf_CPUCard_ChangeKey_Similar_M1(int device_address, unsigned char param1,
                                                      unsigned char data_len, const unsigned char* data,
                                                      unsigned char* response, unsigned char* response_len);

/**
 * Selects a DF. Command 0xD5.
 * @param param1 the DF's file id is DF param1 (DF01 holds the application)
 */
KV_API int KV_STDCALL rf_CPUCard_SeLectDF_Similar_M1(int device_address, unsigned char param1,
                                                     unsigned char* response, unsigned char* response_len);

/**
 * Reads a 16-byte block of the current DF's file 0001. Command 0xDE.
 * @param param1 the block, 0-15
 */
KV_API int KV_STDCALL rf_CPUCard_Read_Record_Similar_M1(int device_address, unsigned char param1,
                                                        unsigned char* response, unsigned char* response_len);

/**
 * External authentication of a SAM with a key given here. Command 0xB0,
 * payload param1-3, key_len, key.
 * @param param1 the SAM number; @param param2 the key id in the SAM
 * @param param3 0 = the current DF; n = select DF DF n first
 * @param key_len 8 or 16; other values return 1
 */
KV_API int KV_STDCALL rf_PSAM_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                       unsigned char param3, unsigned char key_len, const unsigned char* key,
                                       unsigned char* response, unsigned char* response_len);

/**
 * Erases the files of the SAM's current DF, after external authentication.
 * Command 0xB1.
 * @param param1 the SAM number
 */
KV_API int KV_STDCALL rf_PSAM_Erase_DF(int device_address, unsigned char param1, unsigned char* response,
                                       unsigned char* response_len);

/**
 * Installs a key in a SAM. Command 0xB2, payload param1-3, data (the length
 * itself is not sent).
 * @param param1 the SAM number; @param param2 the key id; @param param3 its try limit
 * @param data_len at most 17; above: -2
 */
KV_API int KV_STDCALL rf_PSAM_Init_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                  unsigned char param3, unsigned char data_len,
                                                  const unsigned char* data, unsigned char* response,
                                                  unsigned char* response_len);

/**
 * Changes a SAM key, after external authentication. Command 0xB3, payload
 * param1, param2, data_len, data.
 * @param param1 the SAM number; @param param2 the key id
 * @param data the key (8 or 16 bytes) or a try limit and the key (9 or 17)
 * @param data_len at most 17; above: -2
 */
KV_API int KV_STDCALL rf_PSAM_ChangeKey_For_Similar_M1(int device_address, unsigned char param1,
                                                       unsigned char param2, unsigned char data_len,
                                                       const unsigned char* data, unsigned char* response,
                                                       unsigned char* response_len);

/**
 * Selects a DF of a SAM. Command 0xB4, payload param1, param2.
 * @param param1 the SAM number; @param param2 the DF's file id is DF param2
 */
KV_API int KV_STDCALL rf_PSAM_SeLectDF_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                      unsigned char* response, unsigned char* response_len);

/**
 * INTERNAL AUTHENTICATE: the SAM encrypts data. Command 0xB5, payload
 * param1-3, data_len, data. The answer is the encrypted bytes and 90 00.
 * @param param1 the SAM number; @param param2 the key id
 * @param param3 0 = encrypt the 8 or 16 data bytes under the key; 1 = data
 *        is 8 diversification bytes and an 8-byte block, encrypted under
 *        the key scattered over the first 8
 * @param data_len at most 16; above: -2
 */
KV_API int KV_STDCALL rf_PSAM_InternalAuth(int device_address, unsigned char param1, unsigned char param2,
                                           unsigned char param3, unsigned char data_len, const unsigned char* data,
                                           unsigned char* response, unsigned char* response_len);

/**
 * The purse credit MAC, computed by a SAM. Command 0xB6, payload param1,
 * param2, card_random, trans_serial, aux, amount, trans_type, terminal_no,
 * date_time, div_len, div_data (div_len + 31 bytes). The answer is the MAC
 * (4) and 90 00.
 * @param param1 the SAM number; @param param2 the purse key id in the SAM
 * @param aux 4 bytes, part of the MAC
 * @param div_data 0 to 3 blocks of 8 bytes over which the key is scattered
 *        in turn; the card holds the scattered key
 * @param div_len at most 24; above: -2
 */
KV_API int KV_STDCALL rf_PSAMCalIncMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len);

/**
 * The purse debit MAC, as rf_PSAMCalIncMac() with @p aux of 2 bytes.
 * Command 0xB7 (div_len + 29 bytes).
 */
KV_API int KV_STDCALL rf_PSAMCalDecMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len);

/**
 * Key diversification in a SAM, then encryption under the diversified key.
 * Command 0xB8, payload param1-3, data_len, data. The answer is the
 * encrypted rest of @p data (or nothing) and 90 00.
 * @param param1 the SAM number; @param param2 the key id
 * @param param3 the number of 8-byte diversification blocks at the start of
 *        @p data; the rest (whole blocks) is encrypted
 * @param data_len at most 76; above: -2
 */
KV_API int KV_STDCALL rf_PSAMKeyScatter(int device_address, unsigned char param1, unsigned char param2,
                                        unsigned char param3, unsigned char data_len, const unsigned char* data,
                                        unsigned char* response, unsigned char* response_len);

/**
 * Selects a SAM binary file and reads it. Command 0xB9, payload the five
 * parameters.
 * @param param1 the SAM number; @param param2, param3 the file id
 * @param param4 offset; @param param5 number of bytes (0 = to the end)
 */
KV_API int KV_STDCALL rf_PSAM_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                            unsigned char param3, unsigned char param4, unsigned char param5,
                                            unsigned char* response, unsigned char* response_len);

/**
 * Selects a SAM binary file and writes it. Command 0xBA, payload param1-4,
 * data_len, data.
 * @param param1 the SAM number; @param param2, param3 the file id
 * @param param4 offset
 * @param data_len at most 247, the most one frame carries; above: -2
 */
KV_API int KV_STDCALL rf_PSAM_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                             unsigned char param3, unsigned char param4, unsigned char data_len,
                                             const unsigned char* data, unsigned char* response,
                                             unsigned char* response_len);

/**
 * Writes the card's Wiegand record (file 000A of the MF: format, length,
 * data). Command 0xE4, payload param1, data_len, data. Note: @p data comes
 * before its length.
 * @param param1 the Wiegand format (number of bits, e.g. 26 or 34)
 * @param data the card number bytes
 * @param data_len at most 48; above: -2
 */
KV_API int KV_STDCALL rf_CPU_Init_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                     const unsigned char* data, unsigned char data_len,
                                                     unsigned char* response, unsigned char* response_len);

/**
 * Overwrites part of the Wiegand record's data. Command 0xE5, payload
 * param1, data_len, data.
 * @param param1 the offset within the data
 * @param data_len at most 48; above: -2
 */
KV_API int KV_STDCALL rf_CPU_UpdataData_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                           const unsigned char* data, unsigned char data_len,
                                                           unsigned char* response, unsigned char* response_len);

/**
 * Reads the Wiegand record: format (1), length (1), data, 90 00. Command
 * 0xE6, empty payload.
 */
KV_API int KV_STDCALL rf_CPU_ReadData_From_Wiegand_Tag(int device_address, unsigned char* response,
                                                       unsigned char* response_len);

/**
 * External authentication of the activated ISO14443-4 card, computed here:
 * two exchanges of command 0x54, as rf_cos_command().
 * 1. GET CHALLENGE 00 84 00 00 08; the answer must be 10 bytes ending 90 00,
 *    otherwise the result is 1 and nothing more is sent.
 * 2. The challenge is encrypted (DES for an 8-byte key, two-key triple DES
 *    for 16) under @p key, or with @p diversify 1 under the 16-byte key
 *    Key_Scatter() makes of @p key over the first min(@p uid_len, 8) UID
 *    bytes zero-padded to 8.
 * 3. EXTERNAL AUTHENTICATE 00 82 00 key_id 08 and the cryptogram.
 * @param[out] response the card's answer to step 3 (its status word),
 *        not examined
 * @return 1 also for a key_len other than 8 or 16, a null @p key, or a null
 *         @p uid with @p diversify 1 and a non-zero @p uid_len
 */
KV_API int KV_STDCALL rf_CPU_Tag_Ext_Auth(int device_address, unsigned char diversify, unsigned char uid_len,
                                          const unsigned char* uid, unsigned char key_id, unsigned char key_len,
                                          const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len);

#endif
