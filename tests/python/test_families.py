"""The card families beyond type A through kovalinkhid's typed exports,
against a readersim holding one card of each. Expected values are the
cards' options given below and the card types' documented defaults
(readersim --help): memory sizes, the ST counter's initial value, the
FeliCa identifier's layout."""
import ctypes
import unittest

import kovalinkhid as kv
from readersim import ReaderSim

ADDRESS = 3
ICODE_UID = "E004010000000001"  # most significant byte first
TAGIT_UID = "E007000000000009"
AT020_PASSWORD = bytes.fromhex("0102030405060708")
SAM_ATR = "3B1813" + b"PYSAM002".hex()
CONTACT_ATR = "3B1813" + b"PYCPU001".hex()


def lsb_first(uid):
    return bytes.fromhex(uid)[::-1]


def buf(data=b"", size=252):
    out = (ctypes.c_ubyte * size)()
    out[: len(data)] = data
    return out


class Families(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = ReaderSim("--address", str(ADDRESS),
                            "--card", "icode:uid=%s,dsfid=5A,afi=07" % ICODE_UID,
                            "--card", "tagit:uid=" + TAGIT_UID,
                            "--card", "srix4k:chipid=3A",
                            "--card", "at88rf020:uid=0A0B0C0D,password=" + AT020_PASSWORD.hex(),
                            "--card", "felica:uid=0123456789ABCDEF",
                            "--card", "sam:slot=2,atr=" + SAM_ATR,
                            "--card", "contact:atr=" + CONTACT_ATR)
        cls.reader = kv.Reader.open(address=ADDRESS)
        cls.reader.antenna(True)

    @classmethod
    def tearDownClass(cls):
        cls.reader.close()
        cls.sim.stop()

    def call(self, name, *args):
        self.reader.call(name, *args)

    def variable(self, name, *args):
        out, n = buf(), ctypes.c_ubyte()
        self.call(name, *args, out, ctypes.byref(n))
        return bytes(out[: n.value])

    def assertStatus(self, status, name, *args):
        with self.assertRaises(kv.ReaderError) as caught:
            self.call(name, *args)
        self.assertEqual(caught.exception.result, status)

    def test_iso15693_labels(self):
        r = self.reader
        r.init_type("1")
        icode, tagit = lsb_first(ICODE_UID), lsb_first(TAGIT_UID)
        self.assertEqual(sorted(r.inventory()), sorted([icode, tagit]))
        info = self.variable("ISO15693_Get_System_Information", 0x22, buf(tagit))
        self.assertEqual(info[1:9], tagit)
        self.assertEqual(info[11:13], bytes([63, 3]))  # 64 blocks of 4 bytes
        info = self.variable("ISO15693_Get_System_Information", 0x22, buf(icode))
        self.assertEqual((info[9], info[10], info[11]), (0x5A, 0x07, 27))  # dsfid, afi, 28 blocks
        data = bytes.fromhex("0102030405060708090A0B0C")
        self.call("ISO15693_Write_Multi_Block", 0x22, buf(tagit), 10, 3, buf(data))
        self.assertEqual(self.variable("ISO15693_Read", 0x22, buf(tagit), 10, 3), data)
        self.call("ISO15693_Lock_Block", 0x22, buf(tagit), 11)
        self.assertEqual(self.variable("ISO15693_Get_Block_Security", 0x22, buf(tagit), 10, 3), b"\x00\x01\x00")
        self.assertStatus(kv.STATUS_LABEL_LOCKED, "ISO15693_Write", 0x22, buf(tagit), 11, buf(b"\0\0\0\0"))
        # The library refuses 16 blocks before sending.
        self.assertStatus(kv.RESULT_LOCAL_FAILURE, "ISO15693_Read", 0x22, buf(tagit), 0, 16, buf(),
                          ctypes.byref(ctypes.c_ubyte()))

    def test_st_chip(self):
        r = self.reader
        r.init_type("s")
        chip_id = buf()
        self.call("rf_st_select", chip_id)
        self.assertEqual(chip_id[0], 0x3A)
        self.assertEqual(self.variable("rf_srix4k_getuid"), lsb_first("D002000000000001"))
        self.assertEqual(self.variable("rf_srix4k_readblock", 5), bytes.fromhex("FEFFFFFF"))  # counter 5
        self.call("rf_srix4k_writeblock", 20, buf(b"\x11\x22\x33\x44"))
        self.assertEqual(self.variable("rf_srix4k_readblock", 20), b"\x11\x22\x33\x44")
        self.assertStatus(kv.STATUS_CHIP_BLOCK_RANGE, "rf_srix4k_readblock", 128, buf(),
                          ctypes.byref(ctypes.c_ubyte()))
        self.call("rf_st_completion")
        self.assertStatus(kv.STATUS_CHIP_NOT_SELECTED, "rf_srix4k_readblock", 20, buf(),
                          ctypes.byref(ctypes.c_ubyte()))

    def test_at88rf020(self):
        r = self.reader
        r.init_type("r")
        atqb = self.variable("rf_atqb", 0)
        self.assertEqual(atqb[1:5], bytes.fromhex("0A0B0C0D"))  # the PUPI follows 0x50
        self.assertEqual(self.variable("rf_at020_read", 0)[:4], bytes.fromhex("0A0B0C0D"))
        page = bytes.fromhex("A0A1A2A3A4A5A6A7")
        self.assertStatus(kv.STATUS_PASSWORD_REQUIRED, "rf_at020_write", 8, buf(page))
        self.assertStatus(kv.STATUS_PASSWORD_WRONG, "rf_at020_check", buf(bytes(8)))
        self.call("rf_at020_check", buf(AT020_PASSWORD))
        self.call("rf_at020_write", 8, buf(page))
        self.assertEqual(self.variable("rf_at020_read", 8), page)
        self.call("rf_at020_deselect")

    def test_felica_identifier_is_the_card_number(self):
        self.reader.init_type("C")
        uid, n = buf(), ctypes.c_int()
        self.call("rf_felica_get_uid", uid, ctypes.byref(n))  # the length is an int here
        self.assertEqual(bytes(uid[: n.value]), bytes.fromhex("456789ABCDEF"))

    def test_sam_by_number(self):
        self.assertEqual(self.variable("rf_sam_rst_2", buf(b"\x10"), 1), bytes.fromhex(SAM_ATR))  # SAM 1, slot 2
        answer = self.variable("rf_sam_cos_2", 1, buf(bytes.fromhex("0084000008")), 5)
        self.assertEqual((len(answer), answer[-2:]), (10, b"\x90\x00"))
        self.assertNotEqual(self.variable("rf_sam_cos_2", 1, buf(bytes.fromhex("0084000008")), 5)[:8], answer[:8])
        self.assertStatus(kv.STATUS_SLOT_EMPTY, "rf_sam_rst_2", buf(b"\x20"), 1, buf(),
                          ctypes.byref(ctypes.c_ubyte()))  # slot 3 is empty

    def test_contact_slot(self):
        present, shorted = ctypes.c_ubyte(), ctypes.c_ubyte(9)
        self.call("rf_ContactCpuCard_In_Check", ctypes.byref(present))
        self.call("rf_ContactCpuCard_VGShort_Check", ctypes.byref(shorted))
        self.assertEqual((present.value, shorted.value), (1, 0))
        self.call("rf_ContactCpuCard_Power_OnOff", 1)
        try:
            self.assertEqual(self.variable("rf_sam_rst_2", buf(b"\x60"), 1), bytes.fromhex(CONTACT_ATR))  # number 6
            answer = self.variable("rf_sam_cos_2", 6, buf(bytes.fromhex("00A40000023F00")), 7)
            self.assertEqual(answer[-2:], b"\x90\x00")
        finally:
            self.call("rf_ContactCpuCard_Power_OnOff", 0)
        # Power off deactivates the card; a reset needs the power back.
        self.assertStatus(kv.STATUS_NOT_ACTIVATED, "rf_sam_cos_2", 6, buf(bytes.fromhex("00A40000023F00")), 7,
                          buf(), ctypes.byref(ctypes.c_ubyte()))
        self.assertStatus(kv.STATUS_NOT_POWERED, "rf_sam_rst_2", buf(b"\x60"), 1, buf(),
                          ctypes.byref(ctypes.c_ubyte()))


if __name__ == "__main__":
    unittest.main()
