#!/usr/bin/env bash
# kovalink crypto: the cipher helpers from the command line, no reader needed.
source "$(dirname "$0")/lib.sh" "$1"

# The classic DES example and its inverse.
expect 0 crypto des -k 133457799BBCDFF1 0123456789ABCDEF
stdout_has "ciphertext: 85E813540F0AB405"
expect 0 crypto des -k 133457799BBCDFF1 -d 85E813540F0AB405 --json
stdout_has '"plaintext": "0123456789ABCDEF"'
# A two-key triple-DES key whose halves are equal is single DES.
expect 0 crypto 3des -k 133457799BBCDFF1133457799BBCDFF1 0123456789ABCDEF0123456789ABCDEF
stdout_has "ciphertext: 85E813540F0AB40585E813540F0AB405"
# MACs computed once with OpenSSL: DES-CBC with zero IV over the data padded
# with 80 00 .. 00 (the last block B8DF615C66CA5B29), and for the 16-byte key
# that block then decrypted under K2 and encrypted under K1.
expect 0 crypto mac -k 133457799BBCDFF1 0123456789ABCDEF
stdout_has "mac: B8DF615C"
expect 0 crypto mac -k 133457799BBCDFF10E329232EA6D0D73 0123456789ABCDEF
stdout_has "mac: C2B3B57F"
expect 0 crypto diversify -k 133457799BBCDFF1 0123456789ABCDEF
stdout_has "key: 85E813540F0AB405"

# Refused input.
expect 2 crypto des -k 1334577999 0123456789ABCDEF
stderr_has "expected 8"
expect 2 crypto des -k 133457799BBCDFF1 0123456789ABCDEF0011
stderr_has "whole 8-byte blocks"
expect 2 crypto 3des -k 133457799BBCDFF1 0123456789ABCDEF
expect 2 crypto mac -k 1122 00
expect 2 crypto diversify -k 133457799BBCDFF1 01234567
expect 2 crypto des 0123456789ABCDEF
expect 0 crypto --help
stdout_has "3des"
finish
