/*
 * The first program to copy: open the reader, show who it is, and beep.
 *
 * Build against the installed library (libTavoHID must sit in the same folder
 * as libKovalinkHID):
 *     cc reader_info.c $(pkg-config --cflags --libs kovalinkhid) -o reader_info
 * Without a USB reader, start the simulator first:  readersim &
 */
#include "example.h"
#include "kovalink/version.h"

int main(void) {
    int version = 0;
    unsigned short address = 0;
    unsigned char model[2];
    unsigned char serial[252];
    int serial_len = 0;

    /* lib_ver() is the library's build number; the version header says which
     * one this program was built against. */
    lib_ver(&version);
    printf("library version: %d\n", version);
    printf("headers: %s (lib_ver %d)\n", KOVALINKHID_VERSION_STRING, KOVALINKHID_LIB_VER);
    if (version != KOVALINKHID_LIB_VER) fprintf(stderr, "warning: library and headers differ\n");

    open_reader();

    /* Address 0 reaches any reader; it tells us its own address. */
    check("rf_get_device_number", rf_get_device_number(READER, &address));
    printf("reader address: %u\n", address);

    check("rf_get_model", rf_get_model(address, model));
    printf("model: %02X %02X\n", model[0], model[1]);

    check("rf_get_snr", rf_get_snr(address, serial, &serial_len));
    print_hex("serial number", serial, serial_len);

    /* 10 x 10 ms = 100 ms */
    check("rf_beep", rf_beep(address, 10));
    printf("beeped\n");

    rf_ClosePort();
    return EXIT_SUCCESS;
}
