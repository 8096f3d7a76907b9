#!/usr/bin/env python3
"""Mifare Classic from Python: the same job as examples/mifare_classic.c.

Run it against the simulator:   readersim --card mifare1k &
"""
import sys

import kovalinkhid as kv

KEY = b"\xff" * 6  # a new card's keys


def main():
    try:
        with kv.Reader.open() as r:
            # The field on and ISO14443A: both stay set in the reader.
            r.antenna(True)
            r.init_type("A")
            # Search: request, anticollision, select.
            r.request(kv.REQUEST_ALL)
            uid = r.anticoll()
            r.select(uid)
            print("UID:", uid.hex().upper())
            # Sector 1 (blocks 4-7) with key A; then a block and a purse.
            r.mifare_auth(kv.KEY_A, 4, KEY)
            r.mifare_write(4, b"Kovalink example")
            print("block 4:", r.mifare_read(4).decode())
            r.value_init(5, 100)
            r.value_increment(5, 25)
            r.value_decrement(5, 10)
            r.call("rf_M1_restore", 5)   # any typed export by name
            r.call("rf_M1_transfer", 6)
            print("value block 6:", r.value_read(6))
            r.halt()
    except kv.ReaderError as e:
        # e.result, e.status (rf_GetErrorMessage()), e.text, e.name
        print(e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
