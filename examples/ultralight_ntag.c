/*
 * Ultralight and NTAG: select a tag with a 7-byte UID, read and write
 * pages, and ask an NTAG for its version and a fast read.
 *
 * Run it against the simulator:   readersim --card ntag213 &
 */
#include <string.h>

#include "example.h"

#define MODE_ALL 0x52

int main(void) {
    const unsigned char page4[4] = {'K', 'o', 'v', 'a'};
    unsigned char tag_type[2], uid[7], uid_len = 0;
    unsigned char data[252], data_len = 0;

    open_reader();

    /* The field on, ISO14443A, then request and the Ultralight select (one
     * command does anticollision and select of a 7-byte UID). */
    check("rf_antenna_sta", rf_antenna_sta(READER, 1));
    check("rf_init_type", rf_init_type(READER, 'A'));
    check("rf_request", rf_request(READER, MODE_ALL, tag_type));
    printf("ATQA: %02X%02X\n", tag_type[1], tag_type[0]);
    check("rf_ul_select", rf_ul_select(READER, uid, &uid_len));
    print_hex("UID", uid, uid_len);

    /* Pages are 4 bytes. rf_M1_read() reads four pages (16 bytes) from the
     * page named; rf_ul_write() writes one. No authentication by default. */
    check("rf_ul_write", rf_ul_write(READER, 4, page4));
    check("rf_M1_read", rf_M1_read(READER, 4, data, &data_len));
    print_hex("pages 4-7", data, data_len);
    if (data_len != 16 || memcmp(data, page4, 4) != 0) return EXIT_FAILURE;

    /* NTAG only: GET_VERSION tells the chip (byte 6: 0F = NTAG213). */
    check("rf_Ntag_Get_Version", rf_Ntag_Get_Version(READER, data, &data_len));
    print_hex("version", data, data_len);

    /* NTAG only: FAST_READ of a page range in one command. */
    check("rf_Ntag_Fast_Read", rf_Ntag_Fast_Read(READER, 4, 5, data, &data_len));
    print_hex("pages 4-5", data, data_len);

    check("rf_halt", rf_halt(READER));
    rf_ClosePort();
    return EXIT_SUCCESS;
}
