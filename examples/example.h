/*
 * What every example shares: open the reader, stop with a readable message
 * when a call fails, print bytes as hex. Copy it along with an example.
 */
#ifndef KOVALINK_EXAMPLE_H
#define KOVALINK_EXAMPLE_H

#include <stdio.h>
#include <stdlib.h>

#include "KovalinkHID.h"

/* The reader's USB ids; readersim serves the same by default. */
#define READER_VENDOR_ID 0x1A86
#define READER_PRODUCT_ID 0xE010

/* Address 0 reaches any reader, whatever its own address. */
#define READER 0

/* Stops the program when a command failed, with its result's meaning. */
static inline void check(const char* what, int result) {
    if (result == 0) return;
    fprintf(stderr, "%s failed: result %d (%s)\n", what, result, kv_result_text(result));
    rf_ClosePort();
    exit(EXIT_FAILURE);
}

static inline void open_reader(void) {
    if (rf_init_com(0, READER_VENDOR_ID, READER_PRODUCT_ID) != 0) {
        fprintf(stderr, "no reader found (vendor 0x%04X, product 0x%04X); start readersim or attach one\n",
                READER_VENDOR_ID, READER_PRODUCT_ID);
        exit(EXIT_FAILURE);
    }
}

static inline void print_hex(const char* label, const unsigned char* data, int length) {
    int i;
    printf("%s:", label);
    for (i = 0; i < length; ++i) printf(" %02X", data[i]);
    printf("\n");
}

#endif
