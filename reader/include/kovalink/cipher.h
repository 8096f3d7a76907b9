/**
 * @file cipher.h
 * Host-side cipher helpers: DES, two-key triple DES, the retail MAC and key
 * diversification. They compute on this side and never talk to the reader,
 * so they take no reader address. The output buffer comes first, the input
 * second.
 *
 * Keys, for all four functions: @p key_len up to 8 is single DES with the
 * first @p key_len bytes, zero-padded to 8; above 8 it is two-key triple DES
 * with K1 = bytes 0-7 and K2 = the next min(key_len - 8, 8) bytes,
 * zero-padded (E(K1) D(K2) E(K1) to encrypt). Bytes past the sixteenth are
 * ignored, and so are the parity bits. Every call keeps its key schedule to
 * itself, so calls from several threads do not disturb each other.
 *
 * Results: 0 success, 1 refused (nothing written).
 */
#ifndef KOVALINK_CIPHER_H
#define KOVALINK_CIPHER_H

#include "api.h"

/**
 * ECB encryption of the @p length / 8 whole blocks of @p input. The bytes
 * after the last whole block are left alone in both buffers; a length below
 * 8 changes nothing and succeeds. With a triple-DES key each processed block
 * of @p input is overwritten with its middle value D(K2)(E(K1)(block)): keep
 * a copy if you need the input. @p output and @p input may be one buffer.
 * @param[out] output length bytes
 * @param[in,out] input length bytes
 * @return 1 for a null @p output, @p input or @p key, or a negative
 *         @p length or @p key_len
 */
KV_API int KV_STDCALL des_encrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len);

/**
 * ECB decryption, the mirror of des_encrypt(); with a triple-DES key the
 * input blocks then hold E(K2)(D(K1)(block)). Same refusals.
 */
KV_API int KV_STDCALL des_decrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len);

/**
 * 4-byte MAC (ISO/IEC 9797-1 padding method 2: 80 then zeros to a whole
 * block, a full block 80 00 .. 00 when @p data_len is a multiple of 8). CBC
 * under K1 from an initial value of 8 zero bytes over which the first
 * min(@p iv_len, 8) bytes of @p iv are copied; with a two-key key the last
 * value then goes through D(K2) and E(K1) (MAC algorithm 3, the retail MAC),
 * else it stays (algorithm 1).
 * @param[out] mac the leftmost 4 bytes, exactly 4 written
 * @param data @p data_len bytes, at most 247
 * @param iv may be null when @p iv_len is 0
 * @return 1 for a null @p mac, @p data or @p key, a null @p iv with
 *         @p iv_len above 0, @p data_len negative or above 247, or a negative
 *         @p key_len
 */
KV_API int KV_STDCALL Cal_MAC(unsigned char* mac, const unsigned char* data, int data_len, const unsigned char* key,
                              int key_len, const unsigned char* iv, unsigned char iv_len);

/**
 * Key diversification: ENC(key)(data) followed by ENC(key)(NOT data).
 * @param[out] output 16 bytes
 * @param data 8 bytes
 * @param data_len must be 8
 * @return 1 for another @p data_len, a null @p output, @p data or @p key, or
 *         a negative @p key_len
 */
KV_API int KV_STDCALL Key_Scatter(unsigned char* output, const unsigned char* data, int data_len,
                                  const unsigned char* key, int key_len);

#endif
