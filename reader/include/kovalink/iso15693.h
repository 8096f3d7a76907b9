/* ISO15693 vicinity labels (I-CODE, Tag-it and others).
 *
 * flags: the ISO15693 request flags byte, passed to the reader unchanged as
 *   the first payload byte of every command that takes it. With the address
 *   flag (0x20) the label whose UID is given answers; with the select flag
 *   (0x10) the selected label; with neither, every label in the field that is
 *   not quiet (so the UID is then ignored). 0x02 (high data rate) is the
 *   usual value.
 * uid: the label's 8-byte UID, least significant byte first, as inventory
 *   returns it; exactly 8 bytes are sent.
 * Blocks are 4 bytes. Outputs of variable length must hold 252 bytes; their
 * length output receives the number of bytes written.
 * Results: 0 success, 1 refused argument / transport failure / bad reply,
 * else the reader's status byte. Nothing is written on failure.
 */
#ifndef KOVALINK_ISO15693_H
#define KOVALINK_ISO15693_H

#include "api.h"

/* Inventory of one label (code 0x70, no payload): data receives the label's
 * DSFID followed by its 8-byte UID (at least 9 bytes; byte 7 is the
 * manufacturer code). *data_len receives the reply length in every case once
 * the reader answered with status 0; a reply shorter than 9 bytes returns 1
 * and leaves data untouched. */
KV_API int KV_STDCALL ISO15693_Inventory(int device_address, unsigned char* data, unsigned char* data_len);

/* Inventory of every label in the field (code 0x85, no payload): the
 * reader's answer, one 9-byte record (DSFID, UID) per label, unchecked. */
KV_API int KV_STDCALL ISO15693_Inventorys(int device_address, unsigned char* data, unsigned char* data_len);

/* Puts the label with this UID into the quiet state (code 0x71; payload: the
 * 8 UID bytes, no flags): it then ignores inventories and unaddressed
 * commands until it is selected or reset to ready. */
KV_API int KV_STDCALL ISO15693_Stay_Quiet(int device_address, const unsigned char* uid);

/* Selects the label with this UID (code 0x72; payload: the 8 UID bytes, no
 * flags); a label selected before returns to ready. */
KV_API int KV_STDCALL ISO15693_Select(int device_address, const unsigned char* uid);

/* Returns the addressed label to the ready state (code 0x73; F, UID). */
KV_API int KV_STDCALL ISO15693_Reset_To_Ready(int device_address, unsigned char flags, const unsigned char* uid);

/* Reads block_count blocks from first_block (code 0x74; F, UID, first_block,
 * block_count): data receives 4 bytes per block (with the option flag 0x40,
 * each block is preceded by its security byte), *data_len their number.
 * block_count 16 or more is refused with 1, nothing sent. */
KV_API int KV_STDCALL ISO15693_Read(int device_address, unsigned char flags, const unsigned char* uid,
                                    unsigned char first_block, unsigned char block_count, unsigned char* data,
                                    unsigned char* data_len);

/* Writes the 4 bytes of data to one block (code 0x75; F, UID, block, data). */
KV_API int KV_STDCALL ISO15693_Write(int device_address, unsigned char flags, const unsigned char* uid,
                                     unsigned char block, const unsigned char* data);

/* Writes block_count blocks from first_block, 4 bytes each from data (code
 * 0x6F; F, UID, first_block, block_count, 4 x block_count bytes).
 * block_count above 10 is refused with 1, nothing sent. */
KV_API int KV_STDCALL ISO15693_Write_Multi_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                                 unsigned char first_block, unsigned char block_count,
                                                 const unsigned char* data);

/* Locks one block for good (code 0x76; F, UID, block). */
KV_API int KV_STDCALL ISO15693_Lock_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                          unsigned char block);

/* Writes the application family identifier (code 0x77; F, UID, afi). */
KV_API int KV_STDCALL ISO15693_Write_AFI(int device_address, unsigned char flags, const unsigned char* uid,
                                         unsigned char afi);

/* Locks the AFI for good (code 0x78; F, UID). */
KV_API int KV_STDCALL ISO15693_Lock_AFI(int device_address, unsigned char flags, const unsigned char* uid);

/* Writes the data storage format identifier (code 0x79; F, UID, dsfid). */
KV_API int KV_STDCALL ISO15693_Write_DSFID(int device_address, unsigned char flags, const unsigned char* uid,
                                           unsigned char dsfid);

/* Locks the DSFID for good (code 0x7A; F, UID). */
KV_API int KV_STDCALL ISO15693_Lock_DSFID(int device_address, unsigned char flags, const unsigned char* uid);

/* System information (code 0x7B; F, UID): data receives the information
 * flags, the UID (8 bytes), DSFID, AFI, memory size (blocks - 1, block
 * size - 1) and IC reference, as far as the flags announce them (14 bytes
 * when all are present). */
KV_API int KV_STDCALL ISO15693_Get_System_Information(int device_address, unsigned char flags, const unsigned char* uid,
                                                      unsigned char* data, unsigned char* data_len);

/* Security status of block_count blocks from first_block, one byte each
 * (bit 0 locked by the user, bit 1 at the factory) (code 0x7C; F, UID,
 * first_block, block_count). block_count 64 or more is refused with 1,
 * nothing sent. */
KV_API int KV_STDCALL ISO15693_Get_Block_Security(int device_address, unsigned char flags, const unsigned char* uid,
                                                  unsigned char first_block, unsigned char block_count,
                                                  unsigned char* data, unsigned char* data_len);

/* I-CODE electronic article surveillance: set (0x7D), reset (0x7E) and lock
 * (0x7F) the EAS bit (F, UID). */
KV_API int KV_STDCALL ISO15693_SET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);
KV_API int KV_STDCALL ISO15693_RESET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);
KV_API int KV_STDCALL ISO15693_LOCK_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);

/* I-CODE EAS alarm (code 0x80; F, UID): data receives the alarm sequence
 * (32 bytes) of the labels whose EAS bit is set; a label with EAS reset does
 * not answer. */
KV_API int KV_STDCALL ISO15693_EAS_ALARM_ICODE(int device_address, unsigned char flags, const unsigned char* uid,
                                               unsigned char* data, unsigned char* data_len);

/* Any ISO15693 command (code 0x6D; F, UID, data_len, data): data holds the
 * command code and its parameters (for custom commands, the code and the
 * manufacturer code first); the reader puts the UID in its place when the
 * address flag is set. On success the label's whole answer (its response
 * flags byte first) is copied over data, which must hold 252 bytes; its
 * length is not reported. data_len above 242 (more than one request frame
 * carries) or a null data is refused with 1, nothing sent. */
KV_API int KV_STDCALL ISO15693_Command(int device_address, unsigned char flags, const unsigned char* uid,
                                       unsigned char data_len, unsigned char* data);

#endif
