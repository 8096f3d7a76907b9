/* One-call helpers for a contactless CPU card, a PSAM in a SAM slot, the
 * sector-imitating CPU-card application and CPU cards used with a Wiegand
 * reader. The reader composes the APDUs; the library packs the parameters
 * into one request and returns the reader's answer.
 *
 * Common rules:
 * - response (variable) must hold 252 bytes; *response_len receives the
 *   number of bytes copied: the last APDU answer of the operation, data then
 *   status word. A status of 0 with an error status word is success for the
 *   library: judge the status word. Null response or response_len: 1.
 * - Results: 0 success; 1 refused (key_len not 8 or 16 where a DES key is
 *   needed; a null input pointer with a non-zero length), no reader,
 *   transport failure or rejected reply; -2 a length above the function's
 *   limit; 2..255 the reader's status byte. Refusals (1, -2) send nothing.
 * - Fixed-width fields: amount 4 bytes (most significant first), terminal_no
 *   6, date_time 7 (YYYYMMDDhhmmss in BCD), trans_serial 2, card_random 4.
 *
 * Meaning of the parameters, as the reader carries them out (SAM numbers are
 * 0-5 for the SAM slots 1-6; a SAM must have been reset with rf_sam_rst_2 or
 * rf_sam_rst first; the card must have been activated with rf_typea_rst, or
 * rf_atqb + rf_attrib):
 *
 * Purse MAC (credit and debit): Cal_MAC with the purse key over
 * card_random(4) trans_serial(2) aux(0, 2 or 4) amount(4) trans_type(1)
 * terminal_no(6) date_time(7), initial value zero. */
#ifndef KOVALINK_CPUCARD_H
#define KOVALINK_CPUCARD_H

#include "api.h"

/* --- CPU card: authentication, files, PIN --- */

/* External authentication with a host key (code 0xD0). param1: key id on the
 * card; param2: 1 = diversify the key over the card UID (Key_Scatter of the
 * UID zero-padded to 8 bytes), other = use the key as given. key_len 8 or 16
 * (else 1). Payload param1, param2, key_len, key. Answer: the card's answer
 * to EXTERNAL AUTHENTICATE (90 00, 63 Cx, 69 83 ...). */
KV_API int KV_STDCALL rf_CPUCard_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                          unsigned char key_len, const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len);

/* External authentication with the cryptogram computed by a SAM (code
 * 0xD1). param1: key id on the card; param2: SAM number; param3: key id in
 * the SAM; param4: 1 = the SAM diversifies its key over the card UID first.
 * Payload the four bytes. Answer: the card's answer. */
KV_API int KV_STDCALL rf_CPUCard_Ext_Auth_By_SAM(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char param3, unsigned char param4, unsigned char* response,
                                                 unsigned char* response_len);

/* Erases the files of the current DF (code 0xD2, empty payload); needs a
 * prior external authentication. */
KV_API int KV_STDCALL rf_CPUCard_Erase_DF(int device_address, unsigned char* response, unsigned char* response_len);

/* GET CHALLENGE (code 0xE3). param1: number of random bytes (4 or 8).
 * Answer: the random bytes and 90 00. */
KV_API int KV_STDCALL rf_CPUCard_Get_Rnd(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len);

/* Reads a binary file (code 0xE1). param1, param2: file id (high, low byte);
 * param3: offset; param4: number of bytes (0 = to the end of the file).
 * Payload the four bytes. Answer: the data and 90 00. */
KV_API int KV_STDCALL rf_CPUCard_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                               unsigned char param3, unsigned char param4, unsigned char* response,
                                               unsigned char* response_len);

/* Writes data_len bytes of data to a binary file (code 0xE2). param1,
 * param2: file id; param3: offset. Payload param1-3, data_len, data.
 * data_len above 248 (the most one frame carries): -2. */
KV_API int KV_STDCALL rf_CPUCard_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                                unsigned char param3, unsigned char data_len,
                                                const unsigned char* data, unsigned char* response,
                                                unsigned char* response_len);

/* VERIFY (code 0xD6). param1: PIN reference. pin_len above 8: -2. Payload
 * param1, pin_len, pin. Answer: 90 00, 63 Cx (x tries left) or 69 83. */
KV_API int KV_STDCALL rf_CPUCard_Verify_Pin(int device_address, unsigned char param1, unsigned char pin_len,
                                            const unsigned char* pin, unsigned char* response,
                                            unsigned char* response_len);

/* Changes the PIN (code 0xD7). param1: PIN reference. Either length above
 * 8: -2. Payload param1, old_pin_len, old_pin, new_pin_len, new_pin. */
KV_API int KV_STDCALL rf_CPUCard_Change_Pin(int device_address, unsigned char param1, unsigned char old_pin_len,
                                            const unsigned char* old_pin, unsigned char new_pin_len,
                                            const unsigned char* new_pin, unsigned char* response,
                                            unsigned char* response_len);

/* Reloads (sets and unblocks) the PIN (code 0xD8). param1: PIN reference;
 * key: the card's 16-byte reload key, with which the reader MACs the new
 * PIN. pin_len above 8: -2. Payload param1, key (16), pin_len, pin. */
KV_API int KV_STDCALL rf_CPUCard_PinReload(int device_address, unsigned char param1, const unsigned char* key,
                                           unsigned char pin_len, const unsigned char* pin, unsigned char* response,
                                           unsigned char* response_len);

/* --- CPU card: purse --- */

/* Credit (code 0xD9). param1: purse key id on the card; param2: transaction
 * type; key (key_len bytes, above 16: -2): the purse key for the MAC.
 * Payload param1, param2, amount, terminal_no, date_time, key_len, key.
 * Answer: new balance (4), TAC (4), 90 00 (or the card's error). */
KV_API int KV_STDCALL rf_CPUCard_increment(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, unsigned char key_len,
                                           const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len);

/* Debit (code 0xDA): as rf_CPUCard_increment, with aux (4 bytes, the
 * terminal's transaction number, part of the MAC) after date_time. Answer
 * as credit; 94 01 when the balance is too low. */
KV_API int KV_STDCALL rf_CPUCard_decrement(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, const unsigned char* aux,
                                           unsigned char key_len, const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len);

/* Credit with the MAC computed by a SAM (code 0xDB). param1: purse key id
 * (same id in the card and the SAM); param2: transaction type; param3: SAM
 * number. Payload param1-3, amount, terminal_no, date_time (20 bytes). */
KV_API int KV_STDCALL rf_CPUCard_increment_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     unsigned char* response, unsigned char* response_len);

/* Debit with the MAC computed by a SAM (code 0xDC): as above, then aux (4)
 * (24 bytes). */
KV_API int KV_STDCALL rf_CPUCard_decrement_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     const unsigned char* aux, unsigned char* response,
                                                     unsigned char* response_len);

/* Balance (code 0xDD). param1: 2 for the purse. Answer: balance (4, most
 * significant first) and 90 00. */
KV_API int KV_STDCALL rf_CPUCard_ReadVal(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len);

/* Proof of a past transaction (code 0xDF): payload trans_type, trans_serial
 * (2). Answer: that transaction's balance (4), TAC (4), 90 00; 6A 88 when
 * unknown. */
KV_API int KV_STDCALL rf_CPUCard_Get_TAProve(int device_address, unsigned char trans_type,
                                             const unsigned char* trans_serial, unsigned char* response,
                                             unsigned char* response_len);

/* --- Sector-imitating application --- */

/* Installs a key (code 0xD3). param1: key id; param2: try limit; data: the
 * key (data_len above 8: -2). Payload param1, param2, data: the length
 * itself is not sent. Replacing an existing key needs authentication. */
KV_API int KV_STDCALL rf_CPUCard_Init_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char data_len, const unsigned char* data,
                                                 unsigned char* response, unsigned char* response_len);

/* Changes a key (code 0xD4), after external authentication. param1: key id;
 * data: the new key (8 or 16 bytes), or a try limit followed by it (9 or 17).
 * data_len above 18: -2. Payload param1, data_len, data. */
KV_API int KV_STDCALL rf_CPUCard_ChangeKey_Similar_M1(int device_address, unsigned char param1,
                                                      unsigned char data_len, const unsigned char* data,
                                                      unsigned char* response, unsigned char* response_len);

/* Selects the DF with file id DF param1 (code 0xD5). */
KV_API int KV_STDCALL rf_CPUCard_SeLectDF_Similar_M1(int device_address, unsigned char param1,
                                                     unsigned char* response, unsigned char* response_len);

/* Reads 16-byte block param1 (0-15) of the current DF's file 0001 (code
 * 0xDE). Answer: 16 bytes and 90 00. */
KV_API int KV_STDCALL rf_CPUCard_Read_Record_Similar_M1(int device_address, unsigned char param1,
                                                        unsigned char* response, unsigned char* response_len);

/* --- PSAM (param1 is always the SAM number) --- */

/* External authentication of the SAM with a host key (code 0xB0). param2:
 * key id in the SAM; param3: 0 = current DF, n = select DF DF n first.
 * key_len 8 or 16 (else 1). Payload param1-3, key_len, key. */
KV_API int KV_STDCALL rf_PSAM_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                       unsigned char param3, unsigned char key_len, const unsigned char* key,
                                       unsigned char* response, unsigned char* response_len);

/* Erases the files of the SAM's current DF (code 0xB1); needs prior
 * external authentication of the SAM. */
KV_API int KV_STDCALL rf_PSAM_Erase_DF(int device_address, unsigned char param1, unsigned char* response,
                                       unsigned char* response_len);

/* Installs a key in the SAM (code 0xB2). param2: key id; param3: try limit;
 * data: the key (data_len above 17: -2). Payload param1-3, data (no length). */
KV_API int KV_STDCALL rf_PSAM_Init_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                  unsigned char param3, unsigned char data_len,
                                                  const unsigned char* data, unsigned char* response,
                                                  unsigned char* response_len);

/* Changes a SAM key (code 0xB3) after external authentication. param2: key
 * id; data: key (8/16) or try limit + key (9/17); above 17: -2. Payload
 * param1, param2, data_len, data. */
KV_API int KV_STDCALL rf_PSAM_ChangeKey_For_Similar_M1(int device_address, unsigned char param1,
                                                       unsigned char param2, unsigned char data_len,
                                                       const unsigned char* data, unsigned char* response,
                                                       unsigned char* response_len);

/* Selects the SAM's DF with file id DF param2 (code 0xB4). */
KV_API int KV_STDCALL rf_PSAM_SeLectDF_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                      unsigned char* response, unsigned char* response_len);

/* INTERNAL AUTHENTICATE (code 0xB5). param2: key id; param3: 0 = encrypt the
 * 8 or 16 data bytes under the key; 1 = data is 8 diversification bytes and
 * an 8-byte block, encrypted under the key scattered over the first 8.
 * data_len above 16: -2. Answer: the encrypted bytes and 90 00. */
KV_API int KV_STDCALL rf_PSAM_InternalAuth(int device_address, unsigned char param1, unsigned char param2,
                                           unsigned char param3, unsigned char data_len, const unsigned char* data,
                                           unsigned char* response, unsigned char* response_len);

/* Credit MAC by the SAM (code 0xB6). param2: purse key id in the SAM;
 * div_data: 0 to 3 blocks of 8 bytes over which the key is scattered in turn
 * (div_len above 24: -2). Payload param1, param2, card_random, trans_serial,
 * aux (4), amount, trans_type, terminal_no, date_time, div_len, div_data
 * (div_len + 31 bytes). Answer: MAC (4) and 90 00. */
KV_API int KV_STDCALL rf_PSAMCalIncMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len);

/* Debit MAC by the SAM (code 0xB7): as rf_PSAMCalIncMac with aux of 2 bytes
 * (div_len + 29 bytes). */
KV_API int KV_STDCALL rf_PSAMCalDecMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len);

/* Key diversification in the SAM (code 0xB8). param2: key id; param3:
 * number of 8-byte diversification blocks at the start of data; the rest of
 * data (whole blocks) is then encrypted under the diversified key. data_len
 * above 76: -2. Answer: the encrypted rest (or nothing) and 90 00. */
KV_API int KV_STDCALL rf_PSAMKeyScatter(int device_address, unsigned char param1, unsigned char param2,
                                        unsigned char param3, unsigned char data_len, const unsigned char* data,
                                        unsigned char* response, unsigned char* response_len);

/* Reads a SAM binary file (code 0xB9). param2, param3: file id; param4:
 * offset; param5: number of bytes (0 = to the end). */
KV_API int KV_STDCALL rf_PSAM_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                            unsigned char param3, unsigned char param4, unsigned char param5,
                                            unsigned char* response, unsigned char* response_len);

/* Writes a SAM binary file (code 0xBA). param2, param3: file id; param4:
 * offset. data_len above 247 (the most one frame carries): -2. */
KV_API int KV_STDCALL rf_PSAM_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                             unsigned char param3, unsigned char param4, unsigned char data_len,
                                             const unsigned char* data, unsigned char* response,
                                             unsigned char* response_len);

/* --- Wiegand (note: data comes before its length) --- */

/* Writes the Wiegand record of the card (file 000A) (code 0xE4). param1:
 * the Wiegand format (number of bits, e.g. 26 or 34); data: the card number
 * bytes (data_len above 48: -2). Payload param1, data_len, data. */
KV_API int KV_STDCALL rf_CPU_Init_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                     const unsigned char* data, unsigned char data_len,
                                                     unsigned char* response, unsigned char* response_len);

/* Overwrites part of the Wiegand record's data (code 0xE5). param1: offset
 * within the data. data_len above 48: -2. */
KV_API int KV_STDCALL rf_CPU_UpdataData_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                           const unsigned char* data, unsigned char data_len,
                                                           unsigned char* response, unsigned char* response_len);

/* Reads the Wiegand record (code 0xE6, empty payload). Answer: format (1),
 * length (1), data, 90 00. */
KV_API int KV_STDCALL rf_CPU_ReadData_From_Wiegand_Tag(int device_address, unsigned char* response,
                                                       unsigned char* response_len);

/* External authentication of the activated ISO14443-4 card computed here
 * (two exchanges of code 0x54, as rf_cos_command): GET CHALLENGE
 * 00 84 00 00 08; the answer must be 10 bytes ending 90 00, else 1 and
 * nothing more is sent. The challenge is encrypted (DES for an 8-byte key,
 * two-key triple DES for 16) under the key, or with diversify 1 under the
 * 16-byte key scattered over the first min(uid_len, 8) UID bytes zero-padded
 * to 8; then EXTERNAL AUTHENTICATE 00 82 00 key_id 08 + cryptogram is sent.
 * response receives the card's answer to it (its status word), unexamined.
 * key_len not 8 or 16, null key, or null uid with diversify 1: 1. */
KV_API int KV_STDCALL rf_CPU_Tag_Ext_Auth(int device_address, unsigned char diversify, unsigned char uid_len,
                                          const unsigned char* uid, unsigned char key_id, unsigned char key_len,
                                          const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len);

#endif
