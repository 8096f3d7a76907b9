/*
 * Mifare Classic: find the card, authenticate a sector, read and write a
 * block, and keep a purse in a value block.
 *
 * Run it against the simulator:   readersim --card mifare1k &
 * A new card's keys are all FF; sector 1 holds blocks 4-7 (7 is its trailer).
 */
#include <string.h>

#include "example.h"

#define MODE_ALL 0x52  /* wakes idle and halted cards */
#define KEY_A 0x60

int main(void) {
    const unsigned char key[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const unsigned char text[16] = "Kovalink example";
    unsigned char tag_type[2], uid[252], uid_len = 0, sak = 0;
    unsigned char block[252], block_len = 0;
    int value = 0;

    open_reader();

    /* 1. The field on and the reader set to ISO14443A. Both stay set in the
     *    reader after this program ends, so never rely on them being so. */
    check("rf_antenna_sta", rf_antenna_sta(READER, 1));
    check("rf_init_type", rf_init_type(READER, 'A'));

    /* 2. Search: request, anticollision, select. */
    check("rf_request", rf_request(READER, MODE_ALL, tag_type));
    check("rf_anticoll", rf_anticoll(READER, 4, uid, &uid_len));
    check("rf_select", rf_select(READER, uid, uid_len, &sak));
    print_hex("UID", uid, uid_len);
    printf("SAK: %02X\n", sak);

    /* 3. Authenticate sector 1 with key A (any block of the sector names it).
     *    A failed authentication leaves the card idle: search it again. */
    check("rf_M1_authentication2", rf_M1_authentication2(READER, KEY_A, 4, key));

    /* 4. Write block 4 and read it back. */
    check("rf_M1_write", rf_M1_write(READER, 4, text));
    check("rf_M1_read", rf_M1_read(READER, 4, block, &block_len));
    printf("block 4: %.16s\n", (const char*)block);
    if (block_len != 16 || memcmp(block, text, 16) != 0) return EXIT_FAILURE;

    /* 5. A purse in block 5: format, credit 25, debit 10, read. */
    check("rf_M1_initval", rf_M1_initval(READER, 5, 100));
    check("rf_M1_increment", rf_M1_increment(READER, 5, 25));
    check("rf_M1_decrement", rf_M1_decrement(READER, 5, 10));
    check("rf_M1_readval", rf_M1_readval(READER, 5, &value));
    printf("value block 5: %d\n", value);

    /* 6. Back it up into block 6: restore loads the transfer buffer,
     *    transfer writes it (same sector). */
    check("rf_M1_restore", rf_M1_restore(READER, 5));
    check("rf_M1_transfer", rf_M1_transfer(READER, 6));
    check("rf_M1_readval", rf_M1_readval(READER, 6, &value));
    printf("value block 6: %d\n", value);

    /* 7. Done with the card: a halted card answers only MODE_ALL requests. */
    check("rf_halt", rf_halt(READER));
    rf_ClosePort();
    return value == 115 ? EXIT_SUCCESS : EXIT_FAILURE;
}
