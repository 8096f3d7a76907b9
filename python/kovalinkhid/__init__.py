"""kovalinkhid: the reader command library libKovalinkHID from Python.

Every method sends one command (or a short fixed sequence) and returns its
answer as bytes or int; a non-zero result raises ReaderError carrying the
function's name, the result, the reader's last status and their texts. The
texts and the status names (STATUS_NO_CARD ...) come from the library's
header kovalink/status.h.

    with kovalinkhid.Reader.open() as r:
        r.antenna(True)
        r.init_type("A")
        ...

examples/python/mifare_classic.py (installed with the documentation) is a
whole Mifare Classic session.

The library keeps one reader open per process and one exchange at a time;
a Reader is a handle on that one reader, not a separate connection.
"""
import ctypes

from . import _library
from ._status import STATUS_TEXTS, STATUS_NAMES, RESULT_TEXTS, SEARCH_TEXTS, UNDOCUMENTED_STATUS_TEXT, OTHER_RESULT_TEXT
from ._status import *  # noqa: F401,F403  (STATUS_OK, STATUS_NO_CARD ...)

__all__ = ["Reader", "ReaderError", "status_text", "result_text", "library", "library_version",
           "des_encrypt", "des_decrypt", "mac", "key_scatter",
           "REQUEST_ALL", "REQUEST_IDLE", "KEY_A", "KEY_B", "VENDOR_ID", "PRODUCT_ID"]

VENDOR_ID, PRODUCT_ID = 0x1A86, 0xE010
REQUEST_ALL, REQUEST_IDLE = 0x52, 0x26  # wake idle and halted cards / idle cards only
KEY_A, KEY_B = 0x60, 0x61

_lib = None


def library():
    """The ctypes library, loaded on first use, with typed signatures."""
    global _lib
    if _lib is None:
        _lib = _library.load()
    return _lib


def status_text(status):
    """The text of a reader status byte, or None for one the reader never sends."""
    return STATUS_TEXTS.get(status)


def result_text(result):
    """A sentence for any result of a command; never None."""
    text = STATUS_TEXTS.get(result, RESULT_TEXTS.get(result))
    if text is not None:
        return text
    return UNDOCUMENTED_STATUS_TEXT if 2 <= result <= 255 else OTHER_RESULT_TEXT


class ReaderError(Exception):
    """A command returned non-zero.

    function: the C function's name; result: what it returned; status: the
    reader's last status (rf_GetErrorMessage(), 0-255) right after it; text:
    the result's meaning; name: STATUS_... for a reader status, else None.
    """

    def __init__(self, function, result, status, text=None):
        self.function, self.result, self.status = function, result, status
        self.text = text if text is not None else result_text(result)
        self.name = STATUS_NAMES.get(result)
        super().__init__("%s failed: result %d (%s), last status 0x%02X" % (function, result, self.text, status))


def _out(size=252):
    return (ctypes.c_ubyte * size)()


def _in(data):
    data = bytes(data)
    return (ctypes.c_ubyte * max(len(data), 1)).from_buffer_copy(data or b"\0"), len(data)


def _check(name, result, text=None):
    if result != 0:
        raise ReaderError(name, result, library().rf_GetErrorMessage(), text)


def library_version():
    """lib_ver(): the library's build number (KOVALINKHID_LIB_VER)."""
    v = ctypes.c_int()
    _check("lib_ver", library().lib_ver(ctypes.byref(v)))
    return v.value


class Reader:
    """The process's reader, reached at one address (0 reaches any reader)."""

    def __init__(self, address=0):
        self.address = address
        self.lib = library()

    @classmethod
    def open(cls, vendor_id=VENDOR_ID, product_id=PRODUCT_ID, address=0):
        lib = library()
        if lib.rf_init_com(0, vendor_id, product_id) != 0:
            raise ReaderError("rf_init_com", 1, lib.rf_GetErrorMessage(),
                              "no reader with USB ids %04X:%04X (is readersim running?)" % (vendor_id, product_id))
        return cls(address)

    def close(self):
        self.lib.rf_ClosePort()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def call(self, name, *args):
        """Calls an export that takes the reader's address, with it first; raises on non-zero."""
        _check(name, getattr(self.lib, name)(self.address, *args))

    def _variable(self, name, *args):
        out, n = _out(), ctypes.c_ubyte()
        self.call(name, *args, out, ctypes.byref(n))
        return bytes(out[: n.value])

    # reader
    def device_number(self):
        n = ctypes.c_ushort()
        self.call("rf_get_device_number", ctypes.byref(n))
        return n.value

    def model(self):
        out = _out(2)
        self.call("rf_get_model", out)
        return bytes(out)

    def serial_number(self):
        out, n = _out(), ctypes.c_int()
        self.call("rf_get_snr", out, ctypes.byref(n))
        return bytes(out[: n.value])

    def beep(self, units_of_10ms=10):
        self.call("rf_beep", units_of_10ms)

    def antenna(self, on):
        self.call("rf_antenna_sta", 1 if on else 0)

    def init_type(self, family):
        """'A', 'B', 'C' (FeliCa), '1' (ISO15693), 's' (ST), 'r' (AT88RF020); kept by the reader."""
        self.call("rf_init_type", ord(family) if isinstance(family, str) else family)

    # ISO14443A and Mifare Classic
    def request(self, mode=REQUEST_ALL):
        """The answer to request (ATQA) as an int."""
        out = _out(2)
        self.call("rf_request", mode, out)
        return out[0] | out[1] << 8

    def anticoll(self):
        return self._variable("rf_anticoll", 4)

    def select(self, uid):
        buf, n = _in(uid)
        sak = ctypes.c_ubyte()
        self.call("rf_select", buf, n, ctypes.byref(sak))
        return sak.value

    def halt(self):
        self.call("rf_halt")

    def mifare_auth(self, key_type, block, key):
        buf, _ = _in(key)
        self.call("rf_M1_authentication2", key_type, block, buf)

    def mifare_read(self, block):
        return self._variable("rf_M1_read", block)

    def mifare_write(self, block, data):
        if len(data) != 16:
            raise ValueError("a block is 16 bytes")
        self.call("rf_M1_write", block, _in(data)[0])

    def value_init(self, block, value):
        self.call("rf_M1_initval", block, value)

    def value_read(self, block):
        v = ctypes.c_int()
        self.call("rf_M1_readval", block, ctypes.byref(v))
        return v.value

    def value_increment(self, block, amount):
        self.call("rf_M1_increment", block, amount)

    def value_decrement(self, block, amount):
        self.call("rf_M1_decrement", block, amount)

    def search(self, mode=REQUEST_ALL, ultralight=False):
        """rf_getlockcardinfo(): (uid, atqa). ultralight=True forces the Ultralight way."""
        uid, n, tag = _out(10), ctypes.c_ubyte(), _out(4)
        if not ultralight:
            tag[2] = 0xFF  # non-zero: the answer to request decides the way
        result = self.lib.rf_getlockcardinfo(self.address, mode, uid, ctypes.byref(n), tag)
        if result != 0:
            raise ReaderError("rf_getlockcardinfo", result, self.lib.rf_GetErrorMessage(),
                              SEARCH_TEXTS.get(result, result_text(result)))
        return bytes(uid[: n.value]), tag[0] | tag[1] << 8

    # Ultralight and NTAG
    def ul_select(self):
        out, n = _out(7), ctypes.c_ubyte()
        self.call("rf_ul_select", out, ctypes.byref(n))
        return bytes(out[: n.value])

    def ul_write(self, page, data):
        if len(data) != 4:
            raise ValueError("a page is 4 bytes")
        self.call("rf_ul_write", page, _in(data)[0])

    def ntag_version(self):
        return self._variable("rf_Ntag_Get_Version")

    # processor cards
    def typea_reset(self, retries=8):
        """Activates a type A processor card; halts memory cards that answer first."""
        out, n = _out(), ctypes.c_ubyte()
        result = self.lib.rf_typea_rst(self.address, REQUEST_ALL, out, ctypes.byref(n))
        tries = 0
        while result == STATUS_NO_ANSWER and tries < retries:  # noqa: F405
            self.halt()
            result = self.lib.rf_typea_rst(self.address, REQUEST_IDLE, out, ctypes.byref(n))
            tries += 1
        _check("rf_typea_rst", result)
        return bytes(out[: n.value])

    def apdu(self, command):
        """One APDU to the activated card: its answer, data then SW1 SW2 (at most 250 + 2 bytes)."""
        buf, n = _in(command)
        return self._variable("rf_cos_command", buf, n)

    def deselect(self):
        self.call("rf_cl_deselect")

    def sam_reset(self, sam_no, rate=0):
        param, _ = _in(bytes([sam_no << 4 | rate]))
        return self._variable("rf_sam_rst_2", param, 1)

    def sam_apdu(self, sam_no, command):
        buf, n = _in(command)
        return self._variable("rf_sam_cos_2", sam_no, buf, n)

    # ISO15693
    def inventory(self):
        """UIDs (least significant byte first, as the commands take them) of the labels in the field."""
        data = self._variable("ISO15693_Inventorys")
        return [data[i + 1: i + 9] for i in range(0, len(data) - 8, 9)]

    def label_read(self, uid, first_block, count, flags=0x22):
        return self._variable("ISO15693_Read", flags, _in(uid)[0], first_block, count)

    def label_write(self, uid, block, data, flags=0x22):
        if len(data) != 4:
            raise ValueError("a block is 4 bytes")
        self.call("ISO15693_Write", flags, _in(uid)[0], block, _in(data)[0])


def _cipher(name, out_size, *args):
    out = _out(out_size)
    _check(name, getattr(library(), name)(out, *args))
    return bytes(out)


def des_encrypt(data, key):
    """ECB encryption of whole 8-byte blocks (8-byte key DES, 16-byte two-key triple DES)."""
    return _cipher("des_encrypt", len(data), _in(data)[0], len(data), _in(key)[0], len(key))


def des_decrypt(data, key):
    return _cipher("des_decrypt", len(data), _in(data)[0], len(data), _in(key)[0], len(key))


def mac(data, key, iv=b""):
    """The 4-byte MAC (retail MAC with a 16-byte key)."""
    iv_buf, iv_len = _in(iv)
    return _cipher("Cal_MAC", 4, _in(data)[0], len(data), _in(key)[0], len(key), iv_buf, iv_len)


def key_scatter(data, key):
    """16-byte key diversified over 8 bytes of data."""
    return _cipher("Key_Scatter", 16, _in(data)[0], len(data), _in(key)[0], len(key))
