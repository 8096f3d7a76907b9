/**
 * @file iso15693.h
 * ISO15693 vicinity labels (I-CODE, Tag-it and others). The reader runs the
 * air protocol; the library sends a flags byte, the label's UID and the
 * command's own fields, and passes the answer back.
 *
 * Common arguments:
 * - @c flags: the ISO15693 request flags byte, sent unchanged. With the
 *   address flag (0x20) the label whose UID is given answers; with the select
 *   flag (0x10) the selected label; with neither, every label in the field
 *   that is not quiet (the UID is then ignored). The test program sends 0x02
 *   (high data rate), and 0x00 to Get System Information.
 * - @c uid: the label's 8-byte UID, least significant byte first as inventory
 *   returns it; exactly 8 bytes are sent.
 * - Blocks are 4 bytes. Outputs of variable length must hold 252 bytes; the
 *   length output receives the number of bytes written.
 *
 * Every command returns 0 on success, 1 for a local failure (argument
 * refused before sending, no reader open, time-out, rejected reply) or the
 * reader's status byte (2-255); nothing is written on failure.
 *
 * Calling order: rf_antenna_sta(1), rf_init_type('1') (the reader keeps the
 * family; left at 'A' by an earlier program, ISO15693_Inventorys() answers
 * KV_STATUS_NO_CARD and ISO15693_Inventory() KV_STATUS_UNKNOWN_COMMAND),
 * ISO15693_Inventorys() for the UIDs of every label in the field, then
 * commands addressed to one label by its UID (flag 0x20), or
 * ISO15693_Select() and the select flag (0x10).
 */
#ifndef KOVALINK_ISO15693_H
#define KOVALINK_ISO15693_H

#include "api.h"

/**
 * Inventory of one label. Command 0x70, no payload.
 * @param[out] data the label's DSFID then its 8-byte UID (at least 9 bytes;
 *        byte 7 is the manufacturer code)
 * @param[out] data_len the reply length, written as soon as the reader
 *        answered with status 0
 * @return 1 when the reply is shorter than 9 bytes (@p data untouched)
 */
KV_API int KV_STDCALL ISO15693_Inventory(int device_address, unsigned char* data, unsigned char* data_len);

/**
 * Inventory of every label in the field. Command 0x85, no payload.
 * @param[out] data the reader's answer, unchecked: one 9-byte record (DSFID,
 *        UID) per label
 * @param[out] data_len number of bytes written
 */
KV_API int KV_STDCALL ISO15693_Inventorys(int device_address, unsigned char* data, unsigned char* data_len);

/**
 * Puts the label with this UID into the quiet state: it then ignores
 * inventories and unaddressed commands until it is selected or reset to
 * ready. Command 0x71; payload the 8 UID bytes, no flags.
 */
KV_API int KV_STDCALL ISO15693_Stay_Quiet(int device_address, const unsigned char* uid);

/**
 * Selects the label with this UID; a label selected before returns to
 * ready. Command 0x72; payload the 8 UID bytes, no flags.
 */
KV_API int KV_STDCALL ISO15693_Select(int device_address, const unsigned char* uid);

/** Returns the label to the ready state. Command 0x73; flags, UID. */
KV_API int KV_STDCALL ISO15693_Reset_To_Ready(int device_address, unsigned char flags, const unsigned char* uid);

/**
 * Reads blocks. Command 0x74; flags, UID, @p first_block, @p block_count.
 * @param block_count at most 15; 16 or more returns 1 and sends nothing
 * @param[out] data 4 bytes per block (with the option flag 0x40 each block
 *        is preceded by its security byte)
 * @param[out] data_len number of bytes written
 */
KV_API int KV_STDCALL ISO15693_Read(int device_address, unsigned char flags, const unsigned char* uid,
                                    unsigned char first_block, unsigned char block_count, unsigned char* data,
                                    unsigned char* data_len);

/**
 * Writes one block. Command 0x75; flags, UID, @p block, 4 data bytes.
 * @param data 4 bytes
 */
KV_API int KV_STDCALL ISO15693_Write(int device_address, unsigned char flags, const unsigned char* uid,
                                     unsigned char block, const unsigned char* data);

/**
 * Writes consecutive blocks. Command 0x6F; flags, UID, @p first_block,
 * @p block_count, then 4 x @p block_count data bytes.
 * @param block_count at most 10; more returns 1 and sends nothing
 * @param data 4 x @p block_count bytes
 */
KV_API int KV_STDCALL ISO15693_Write_Multi_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                                 unsigned char first_block, unsigned char block_count,
                                                 const unsigned char* data);

/** Locks one block for good. Command 0x76; flags, UID, @p block. */
KV_API int KV_STDCALL ISO15693_Lock_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                          unsigned char block);

/** Writes the application family identifier. Command 0x77; flags, UID, @p afi. */
KV_API int KV_STDCALL ISO15693_Write_AFI(int device_address, unsigned char flags, const unsigned char* uid,
                                         unsigned char afi);

/** Locks the AFI for good. Command 0x78; flags, UID. */
KV_API int KV_STDCALL ISO15693_Lock_AFI(int device_address, unsigned char flags, const unsigned char* uid);

/** Writes the data storage format identifier. Command 0x79; flags, UID, @p dsfid. */
KV_API int KV_STDCALL ISO15693_Write_DSFID(int device_address, unsigned char flags, const unsigned char* uid,
                                           unsigned char dsfid);

/** Locks the DSFID for good. Command 0x7A; flags, UID. */
KV_API int KV_STDCALL ISO15693_Lock_DSFID(int device_address, unsigned char flags, const unsigned char* uid);

/**
 * Reads the system information. Command 0x7B; flags, UID.
 * @param[out] data information flags, UID (8 bytes), DSFID, AFI, memory size
 *        (blocks - 1, block size - 1), IC reference, as far as the flags
 *        announce them: 14 bytes when all are present
 * @param[out] data_len number of bytes written
 */
KV_API int KV_STDCALL ISO15693_Get_System_Information(int device_address, unsigned char flags,
                                                      const unsigned char* uid, unsigned char* data,
                                                      unsigned char* data_len);

/**
 * Reads the security status of blocks. Command 0x7C; flags, UID,
 * @p first_block, @p block_count.
 * @param block_count at most 63; 64 or more returns 1 and sends nothing
 * @param[out] data one byte per block: bit 0 locked by the user, bit 1 at the factory
 * @param[out] data_len number of bytes written
 */
KV_API int KV_STDCALL ISO15693_Get_Block_Security(int device_address, unsigned char flags,
                                                  const unsigned char* uid, unsigned char first_block,
                                                  unsigned char block_count, unsigned char* data,
                                                  unsigned char* data_len);

/** I-CODE: sets the electronic article surveillance bit. Command 0x7D; flags, UID. */
KV_API int KV_STDCALL ISO15693_SET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);

/** I-CODE: resets the EAS bit. Command 0x7E; flags, UID. */
KV_API int KV_STDCALL ISO15693_RESET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);

/** I-CODE: locks the EAS bit for good. Command 0x7F; flags, UID. */
KV_API int KV_STDCALL ISO15693_LOCK_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid);

/**
 * I-CODE EAS alarm: labels whose EAS bit is set answer; the others keep
 * silent. Command 0x80; flags, UID.
 * @param[out] data the alarm sequence, 32 bytes
 * @param[out] data_len number of bytes written
 */
KV_API int KV_STDCALL ISO15693_EAS_ALARM_ICODE(int device_address, unsigned char flags, const unsigned char* uid,
                                               unsigned char* data, unsigned char* data_len);

/**
 * Sends any ISO15693 command. Command 0x6D; flags, UID, @p data_len, then
 * the @p data_len bytes of @p data.
 * @param data in: the command code and its parameters (for custom commands
 *        the code, then the manufacturer code); the reader puts the UID after
 *        them when the address flag is set. Out: the label's whole answer
 *        (response flags byte first), copied over the command; its length is
 *        not reported, so @p data must hold 252 bytes
 * @param data_len at most 242 (what one request frame carries); more, or a
 *        null @p data, returns 1 and sends nothing
 */
KV_API int KV_STDCALL ISO15693_Command(int device_address, unsigned char flags, const unsigned char* uid,
                                       unsigned char data_len, unsigned char* data);

#endif
