"""Every export of libKovalinkHID is typed in kovalinkhid, as its header
declares it. The expected signatures below are copied by hand from the
headers' declarations, one or two per family."""
import ctypes
import os
import unittest

import kovalinkhid as kv
from kovalinkhid import _signatures

EXPORTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "reader", "exports.txt")

i, u8, u16, u32 = ctypes.c_int, ctypes.c_ubyte, ctypes.c_ushort, ctypes.c_uint
u8p, intp, u16p = ctypes.POINTER(ctypes.c_ubyte), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ushort)

FROM_THE_HEADERS = {
    "rf_ClosePort": [],
    "rf_free": [ctypes.c_void_p],
    "rf_init_device_number": [i, u16],
    "rf_get_device_number": [i, u16p],
    "rf_M1_authentication1": [i, u8, u8],
    "rf_M1_readval": [i, u8, intp],
    "rf_Ntag_Fast_Read": [i, u8, u8, u8p, u8p],
    "rf_attrib": [i, u32, u8],
    "rf_typeb_cos": [i, u8, u8p, u8, u8p, u8p],
    "ISO15693_Read": [i, u8, u8p, u8, u8, u8p, u8p],
    "ISO15693_Command": [i, u8, u8p, u8, u8p],
    "rf_felica_get_uid": [i, u8p, intp],
    "rf_at020_read": [i, u8, u8p, u8p],
    "rf_CPU_Tag_Ext_Auth": [i, u8, u8, u8p, u8, u8, u8p, u8p, u8p],
    "Cal_MAC": [u8p, u8p, i, u8p, i, u8p, u8],
}


def exported_names():
    with open(EXPORTS) as f:
        return [line.split()[1] for line in f if line.strip() and not line.startswith("#")]


class Signatures(unittest.TestCase):
    def test_every_export_is_typed(self):
        names = exported_names()
        self.assertEqual(len(names), 164)
        self.assertEqual(sorted(_signatures.SIGNATURES), sorted(names))
        lib = kv.library()
        for name in names:
            fn = getattr(lib, name)
            self.assertEqual(len(fn.argtypes), len(_signatures.SIGNATURES[name]), name)
            self.assertIs(fn.restype, ctypes.c_int, name)

    def test_argument_kinds_match_the_headers(self):
        lib = kv.library()
        for name, expected in FROM_THE_HEADERS.items():
            with self.subTest(name):
                self.assertEqual(getattr(lib, name).argtypes, expected)

    def test_wrong_argument_kinds_are_refused_before_the_call(self):
        lib = kv.library()
        with self.assertRaises(ctypes.ArgumentError):  # a number where the UID pointer goes
            lib.ISO15693_Read(0, 0x22, 5, 0, 1, (u8 * 252)(), ctypes.byref(u8()))
        with self.assertRaises(ctypes.ArgumentError):  # the length output is an int*, not a byte
            lib.rf_felica_get_uid(0, (u8 * 252)(), ctypes.byref(u8()))
        with self.assertRaises(TypeError):  # one argument short
            lib.rf_at020_read(0, 1, (u8 * 252)())


if __name__ == "__main__":
    unittest.main()
