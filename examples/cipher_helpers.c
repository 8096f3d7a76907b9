/*
 * The host-side cipher helpers: DES, the retail MAC and key diversification.
 * They compute in this process and need no reader. Output buffer first,
 * input second; an 8-byte key is DES, a 16-byte key two-key triple DES.
 * The expected values below were computed independently with OpenSSL.
 */
#include <string.h>

#include "example.h"

static int expect(const char* what, const unsigned char* got, const unsigned char* wanted, int length) {
    print_hex(what, got, length);
    if (memcmp(got, wanted, (size_t)length) == 0) return 0;
    fprintf(stderr, "%s: unexpected result\n", what);
    return 1;
}

int main(void) {
    static const unsigned char des_key[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    static const unsigned char tdes_key[16] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1,
                                               0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    static const unsigned char des_out[8] = {0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05};
    static const unsigned char mac_des[4] = {0xD9, 0xAE, 0x1F, 0x3F};
    static const unsigned char mac_retail[4] = {0x54, 0x2C, 0x8B, 0x26};
    static const unsigned char scattered[16] = {0x5D, 0x77, 0x05, 0x37, 0x22, 0xEB, 0xEF, 0xE7,
                                                0x37, 0xA6, 0x01, 0xDD, 0x0F, 0x38, 0x27, 0x57};
    static const unsigned char uid[8] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    static const unsigned char message[9] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    unsigned char block[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    unsigned char out[16], back[8];
    int failures = 0;

    /* DES of one block, and back. */
    check("des_encrypt", des_encrypt(out, block, 8, des_key, 8));
    failures += expect("DES", out, des_out, 8);
    check("des_decrypt", des_decrypt(back, out, 8, des_key, 8));
    failures += expect("DES back", back, block, 8);

    /* MAC over 9 bytes (padded 80 00 ..), zero initial value: with a DES key
     * the plain CBC-MAC, with a 16-byte key the retail MAC. 4 bytes out. */
    check("Cal_MAC", Cal_MAC(out, message, sizeof message, des_key, 8, NULL, 0));
    failures += expect("MAC (DES)", out, mac_des, 4);
    check("Cal_MAC", Cal_MAC(out, message, sizeof message, tdes_key, 16, NULL, 0));
    failures += expect("MAC (retail)", out, mac_retail, 4);

    /* A card key diversified over the card's 8-byte UID: 16 bytes. */
    check("Key_Scatter", Key_Scatter(out, uid, 8, tdes_key, 16));
    failures += expect("diversified key", out, scattered, 16);

    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
