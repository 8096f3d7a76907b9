"""kovalinkhid against a private readersim: answers, errors and the points
the headers document (status after failures, antenna code, addresses)."""
import ctypes
import re
import unittest

import kovalinkhid as kv
from readersim import ReaderSim, help_text

ADDRESS = 7
FF6 = b"\xff" * 6


class AgainstReaderSim(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = ReaderSim("--address", str(ADDRESS), "--card", "mifare1k:uid=F1F2F3F4",
                            "--card", "cpu-a:uid=A1B2C3D4", "--card", "icode:uid=E004010000000001")
        cls.reader = kv.Reader.open(address=ADDRESS)

    @classmethod
    def tearDownClass(cls):
        cls.reader.close()
        cls.sim.stop()

    def setUp(self):
        self.reader.antenna(True)
        self.reader.init_type("A")

    def search_classic(self):
        r = self.reader
        self.assertEqual(r.request(kv.REQUEST_ALL), 0x0004)
        uid = r.anticoll()
        self.assertEqual(uid, bytes.fromhex("F1F2F3F4"))  # the higher UID wins
        self.assertEqual(r.select(uid), 0x08)

    def test_mifare_block_and_value(self):
        r = self.reader
        self.search_classic()
        r.mifare_auth(kv.KEY_A, 4, FF6)
        r.mifare_write(4, b"0123456789abcdef")
        self.assertEqual(r.mifare_read(4), b"0123456789abcdef")
        r.value_init(5, 100)
        r.value_increment(5, 25)
        r.value_decrement(5, 10)
        self.assertEqual(r.value_read(5), 115)
        r.halt()

    def test_reader_error_carries_result_status_and_text(self):
        self.search_classic()
        with self.assertRaises(kv.ReaderError) as caught:
            self.reader.mifare_auth(kv.KEY_A, 4, bytes.fromhex("010203040506"))
        e = caught.exception
        self.assertEqual((e.function, e.result, e.status), ("rf_M1_authentication2", 0x10, 0x10))
        self.assertEqual(e.text, "authentication failed")
        self.assertEqual(e.name, "STATUS_AUTH_FAILED")
        self.assertIn("rf_M1_authentication2 failed: result 16 (authentication failed)", str(e))

    def test_processor_card_beside_a_memory_card_needs_halt_and_retry(self):
        r = self.reader
        with self.assertRaises(kv.ReaderError) as caught:  # the Classic card wins and ignores RATS
            r.call("rf_typea_rst", kv.REQUEST_ALL, (ctypes.c_ubyte * 252)(), ctypes.byref(ctypes.c_ubyte()))
        self.assertEqual(caught.exception.result, kv.STATUS_NO_ANSWER)
        self.assertTrue(r.typea_reset().startswith(bytes.fromhex("A1B2C3D4")))
        self.assertEqual(r.apdu(bytes.fromhex("00A40000023F00"))[-2:], b"\x90\x00")
        r.deselect()

    def test_iso15693_needs_its_card_family(self):
        r = self.reader
        with self.assertRaises(kv.ReaderError) as caught:
            r.inventory()  # the type A reader finds no label
        self.assertEqual(caught.exception.result, kv.STATUS_NO_CARD)
        one, n = (ctypes.c_ubyte * 252)(), ctypes.c_ubyte()
        # 0x70 is a type A command too; the type A side refuses its empty payload.
        self.assertEqual(r.lib.ISO15693_Inventory(ADDRESS, one, ctypes.byref(n)), kv.STATUS_UNKNOWN_COMMAND)
        r.init_type("1")
        uid = bytes.fromhex("01000000000104E0")
        self.assertEqual(r.inventory(), [uid])
        r.label_write(uid, 3, b"\x01\x02\x03\x04")
        self.assertEqual(r.label_read(uid, 3, 1), b"\x01\x02\x03\x04")

    def test_refused_call_leaves_the_last_status(self):
        lib = self.reader.lib
        self.reader.antenna(False)
        self.assertEqual(lib.rf_request(ADDRESS, 0x52, (ctypes.c_ubyte * 2)()), kv.STATUS_ANTENNA_OFF)
        self.assertEqual(lib.rf_antenna_sta(ADDRESS, 5), 1)  # refused: nothing sent
        self.assertEqual(lib.rf_GetErrorMessage(), kv.STATUS_ANTENNA_OFF)

    def test_failure_from_a_good_frame_leaves_status_zero(self):
        # The Ultralight way on a Classic card: rf_ul_select gets a 4-byte UID
        # (status 0) and refuses it; the search reports step -5.
        with self.assertRaises(kv.ReaderError) as caught:
            self.reader.search(ultralight=True)
        e = caught.exception
        self.assertEqual((e.result, e.status), (kv.SEARCH_UL_SELECT_FAILED, 0))
        self.assertIn("Ultralight select failed", e.text)
        self.assertEqual(self.reader.search(), (bytes.fromhex("F1F2F3F4"), 0x0004))

    def test_change_wait_time_sends_the_antenna_code(self):
        off = (ctypes.c_ubyte * 1)(0)
        self.reader.call("rf_change_wait_time", off, 1)
        with self.assertRaises(kv.ReaderError) as caught:
            self.reader.request()
        self.assertEqual(caught.exception.result, kv.STATUS_ANTENNA_OFF)

    def test_address_wraps_at_16_bits_and_0_reaches_any_reader(self):
        self.assertEqual(kv.Reader(ADDRESS + 65536).device_number(), ADDRESS)
        kv.Reader(65536).beep(1)  # address 0
        self.assertEqual(kv.Reader(ADDRESS + 65536).model(), bytes.fromhex("4B36"))

    def test_unanswered_address_is_a_local_failure(self):
        with self.assertRaises(kv.ReaderError) as caught:
            kv.Reader(ADDRESS + 1).beep(1)  # no reply: the 4 s time-out
        self.assertEqual((caught.exception.result, caught.exception.status), (1, 1))


class Offline(unittest.TestCase):
    """Expected values computed with OpenSSL."""

    def test_cipher_helpers(self):
        key = bytes.fromhex("133457799BBCDFF1")
        key16 = key + bytes.fromhex("0123456789ABCDEF")
        self.assertEqual(kv.des_encrypt(bytes.fromhex("0123456789ABCDEF"), key).hex(), "85e813540f0ab405")
        self.assertEqual(kv.des_decrypt(bytes.fromhex("85E813540F0AB405"), key).hex(), "0123456789abcdef")
        self.assertEqual(kv.mac(b"123456789", key16).hex(), "542c8b26")
        self.assertEqual(kv.key_scatter(bytes.fromhex("0011223344556677"), key16).hex(),
                         "5d77053722ebefe737a601dd0f382757")

    def test_refused_cipher_call_raises(self):
        with self.assertRaises(kv.ReaderError) as caught:
            kv.key_scatter(b"\x00" * 7, b"\x00" * 8)  # data must be 8 bytes
        self.assertEqual(caught.exception.result, 1)

    def test_status_table_is_the_simulators(self):
        shown = dict((int(code, 16), text) for code, text in
                     re.findall(r"^  0x([0-9A-F]{2})  (.*)$", help_text(), re.M))
        self.assertEqual(shown, kv._status.STATUS_TEXTS)
        self.assertEqual(kv.status_text(0x0A), "no card answered")
        self.assertIsNone(kv.status_text(1))

    def test_result_texts_are_the_headers(self):
        # Copied from kv_result_text() in kovalink/status.h; the second holds a ';'.
        self.assertEqual(kv.result_text(1), "local failure: argument refused, no reader open, no reply, "
                                            "or a rejected or wrong-length reply")
        self.assertEqual(kv.result_text(-2), "a length above the function's limit; nothing was sent")
        self.assertEqual((kv.result_text(0x0A), kv.result_text(0)), ("no card answered", "success"))
        self.assertEqual([kv.result_text(r) for r in (0x0E, 255)], ["reader status not documented"] * 2)
        self.assertEqual([kv.result_text(r) for r in (256, -1, -3)], ["not a result of this library"] * 3)

    def test_library_version(self):
        self.assertEqual(kv.library_version(), 19)


if __name__ == "__main__":
    unittest.main()
