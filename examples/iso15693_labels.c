/*
 * ISO15693 labels (I-CODE, Tag-it): inventory, system information, write
 * and read blocks of the label found.
 *
 * Run it against the simulator:   readersim --card icode --card tagit &
 */
#include <string.h>

#include "example.h"

#define FLAG_HIGH_RATE 0x02
#define FLAG_ADDRESSED 0x20  /* only the label whose UID is sent answers */

int main(void) {
    const unsigned char block2[4] = {0xCA, 0xFE, 0x15, 0x69};
    unsigned char found[252], found_len = 0;
    unsigned char data[252], data_len = 0;
    const unsigned char* uid;
    int i;

    open_reader();
    check("rf_antenna_sta", rf_antenna_sta(READER, 1));

    /* The card family is kept by the reader: without this, ISO15693 commands
     * fail with KV_STATUS_UNKNOWN_COMMAND or KV_STATUS_WRONG_CARD_TYPE after
     * any program that left the reader on ISO14443A. */
    check("rf_init_type", rf_init_type(READER, '1'));

    /* Every label in the field: one 9-byte record (DSFID, UID) each. */
    check("ISO15693_Inventorys", ISO15693_Inventorys(READER, found, &found_len));
    for (i = 0; i + 9 <= found_len; i += 9) print_hex("label DSFID+UID", found + i, 9);
    if (found_len < 9) return EXIT_FAILURE;

    /* Address the first label by its UID (least significant byte first). */
    uid = found + 1;
    check("ISO15693_Get_System_Information",
          ISO15693_Get_System_Information(READER, FLAG_ADDRESSED, uid, data, &data_len));
    print_hex("system information", data, data_len);

    check("ISO15693_Write", ISO15693_Write(READER, FLAG_HIGH_RATE | FLAG_ADDRESSED, uid, 2, block2));
    check("ISO15693_Read", ISO15693_Read(READER, FLAG_HIGH_RATE | FLAG_ADDRESSED, uid, 0, 4, data, &data_len));
    print_hex("blocks 0-3", data, data_len);
    if (data_len != 16 || memcmp(data + 8, block2, 4) != 0) return EXIT_FAILURE;

    rf_ClosePort();
    return EXIT_SUCCESS;
}
