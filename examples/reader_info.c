/*
 * The first program to copy: open the reader, show who it is, and beep.
 *
 * Build against the library's public header and link libKovalinkHID
 * (libTavoHID must sit in the same folder as libKovalinkHID):
 *     cc reader_info.c -I<include dir> -L<lib dir> -lKovalinkHID -o reader_info
 * Without a USB reader, start the simulator first:  readersim &
 */
#include <stdio.h>
#include <stdlib.h>

#include "KovalinkHID.h"

#define READER_VENDOR_ID 0x1A86
#define READER_PRODUCT_ID 0xE010

/* Prints why a command failed and what the reader last said. */
static int failed(const char* what, int result) {
    fprintf(stderr, "%s failed: result %d (last status 0x%02X)\n", what, result, rf_GetErrorMessage());
    return 1;
}

int main(void) {
    int version = 0;
    unsigned short address = 0;
    unsigned char model[2];
    unsigned char serial[252];
    int serial_len = 0;
    int result;
    int i;

    lib_ver(&version);
    printf("library version: %d\n", version);

    if (rf_init_com(0, READER_VENDOR_ID, READER_PRODUCT_ID) != 0) {
        fprintf(stderr, "no reader found (vendor 0x%04X, product 0x%04X); start readersim or attach one\n",
                READER_VENDOR_ID, READER_PRODUCT_ID);
        return 1;
    }

    /* Address 0 reaches any reader; it tells us its own address. */
    if ((result = rf_get_device_number(0, &address)) != 0) return failed("rf_get_device_number", result);
    printf("reader address: %u\n", address);

    if ((result = rf_get_model(address, model)) != 0) return failed("rf_get_model", result);
    printf("model: %02X %02X\n", model[0], model[1]);

    if ((result = rf_get_snr(address, serial, &serial_len)) != 0) return failed("rf_get_snr", result);
    printf("serial number:");
    for (i = 0; i < serial_len; ++i) printf(" %02X", serial[i]);
    printf("\n");

    /* 10 x 10 ms = 100 ms */
    if ((result = rf_beep(address, 10)) != 0) return failed("rf_beep", result);
    printf("beeped\n");

    rf_ClosePort();
    return EXIT_SUCCESS;
}
