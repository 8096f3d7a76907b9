/* Host-side cipher helpers: DES, two-key triple DES, the retail MAC and key
 * diversification. They compute on the PC and never talk to the reader, so
 * they take no reader address. Output buffer first, input second.
 *
 * Keys, for all four functions: key_len <= 8 is single DES with the first
 * key_len bytes, zero-padded to 8; key_len > 8 is two-key triple DES with
 * K1 = bytes 0-7 and K2 = the next min(key_len - 8, 8) bytes, zero-padded
 * (E(K1) D(K2) E(K1) to encrypt). Bytes past the sixteenth are ignored.
 * Parity bits are ignored. Every call keeps its key schedule to itself, so
 * calls from several threads do not disturb each other.
 *
 * Results: 0 success, 1 refused (nothing written). */
#ifndef KOVALINK_CIPHER_H
#define KOVALINK_CIPHER_H

#include "api.h"

/* ECB encryption of the length / 8 whole blocks of input into output; the
 * bytes after the last whole block are left alone in both buffers (a length
 * below 8 changes nothing and succeeds). With a triple-DES key each processed
 * block of input is overwritten with its middle value D(K2)(E(K1)(block)), so
 * keep a copy if you need the input; output and input may be the same
 * buffer. Refused: null output, input or key; negative length or key_len. */
KV_API int KV_STDCALL des_encrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len);

/* ECB decryption, the mirror of des_encrypt (input blocks then hold
 * E(K2)(D(K1)(block)) for a triple-DES key). Same refusals. */
KV_API int KV_STDCALL des_decrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len);

/* 4-byte MAC over data_len bytes (ISO/IEC 9797-1 padding method 2: 0x80 then
 * zeros to a whole block, a full block 80 00 .. 00 when data_len is a
 * multiple of 8). CBC under K1 from an initial value of 8 zero bytes over
 * which the first min(iv_len, 8) bytes of iv are copied; with a two-key key
 * the last value then goes through D(K2) and E(K1) (MAC algorithm 3, the
 * retail MAC), else it stays (algorithm 1). mac receives the leftmost 4
 * bytes. Refused: null mac, data or key; null iv with iv_len > 0; data_len
 * negative or above 247; negative key_len. */
KV_API int KV_STDCALL Cal_MAC(unsigned char* mac, const unsigned char* data, int data_len, const unsigned char* key,
                              int key_len, const unsigned char* iv, unsigned char iv_len);

/* Key diversification: output (16 bytes) = ENC(key)(data) followed by
 * ENC(key)(NOT data), data being 8 bytes. Refused: data_len other than 8,
 * null output, data or key, negative key_len. */
KV_API int KV_STDCALL Key_Scatter(unsigned char* output, const unsigned char* data, int data_len,
                                  const unsigned char* key, int key_len);

#endif
