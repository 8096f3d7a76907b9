"""Finding libKovalinkHID and declaring the C signatures of its exports."""
import ctypes
import os

from . import _config

c_int, c_u8, c_u16, c_uint = ctypes.c_int, ctypes.c_ubyte, ctypes.c_ushort, ctypes.c_uint
u8p = ctypes.POINTER(ctypes.c_ubyte)
intp = ctypes.POINTER(ctypes.c_int)
u16p = ctypes.POINTER(ctypes.c_ushort)

# name: argument types after device_address (every export returns int).
# Output buffers are u8p; lengths are u8p unless the C header says int*.
SIGNATURES = {
    # reader control
    "rf_init_com": [c_int, c_int],
    "rf_get_device_number": [u16p],
    "rf_init_device_number": [c_u16],
    "rf_get_model": [u8p],
    "rf_get_snr": [u8p, intp],
    "rf_beep": [c_u8],
    "rf_init_type": [c_u8],
    "rf_antenna_sta": [c_u8],
    "rf_change_wait_time": [u8p, c_u8],
    "rf_light": [c_u8],
    "rf_flash_read": [c_u16, c_u16, c_u8, u8p],
    "rf_flash_write": [c_u16, c_u16, c_u8, u8p],
    # ISO14443A and Mifare Classic
    "rf_request": [c_u8, u8p],
    "rf_anticoll": [c_u8, u8p, u8p],
    "rf_select": [u8p, c_u8, u8p],
    "rf_halt": [],
    "rf_M1_authentication2": [c_u8, c_u8, u8p],
    "rf_M1_read": [c_u8, u8p, u8p],
    "rf_M1_write": [c_u8, u8p],
    "rf_M1_initval": [c_u8, c_int],
    "rf_M1_readval": [c_u8, intp],
    "rf_M1_increment": [c_u8, c_int],
    "rf_M1_decrement": [c_u8, c_int],
    "rf_M1_restore": [c_u8],
    "rf_M1_transfer": [c_u8],
    "rf_getlockcardinfo": [c_u8, u8p, u8p, u8p],
    # Ultralight and NTAG
    "rf_ul_select": [u8p, u8p],
    "rf_ul_write": [c_u8, u8p],
    "rf_Ntag_Get_Version": [u8p, u8p],
    "rf_Ntag_Fast_Read": [c_u8, c_u8, u8p, u8p],
    # processor cards, SAM and contact slot
    "rf_typea_rst": [c_u8, u8p, u8p],
    "rf_cos_command": [u8p, c_u8, u8p, u8p],
    "rf_cl_deselect": [],
    "rf_atqb": [c_u8, u8p, u8p],
    "rf_attrib": [c_uint, c_u8],
    "rf_typeb_cos": [c_u8, u8p, c_u8, u8p, u8p],
    "rf_sam_rst_2": [u8p, c_u8, u8p, u8p],
    "rf_sam_cos_2": [c_u8, u8p, c_u8, u8p, u8p],
    "rf_ContactCpuCard_Power_OnOff": [c_u8],
    # ISO15693
    "ISO15693_Inventory": [u8p, u8p],
    "ISO15693_Inventorys": [u8p, u8p],
    "ISO15693_Get_System_Information": [c_u8, u8p, u8p, u8p],
    "ISO15693_Read": [c_u8, u8p, c_u8, c_u8, u8p, u8p],
    "ISO15693_Write": [c_u8, u8p, c_u8, u8p],
}

# Functions without a device address.
NO_ADDRESS = {
    "rf_ClosePort": [],
    "rf_GetErrorMessage": [],
    "lib_ver": [intp],
    "des_encrypt": [u8p, u8p, c_int, u8p, c_int],
    "des_decrypt": [u8p, u8p, c_int, u8p, c_int],
    "Cal_MAC": [u8p, u8p, c_int, u8p, c_int, u8p, c_u8],
    "Key_Scatter": [u8p, u8p, c_int, u8p, c_int],
}


def _candidates():
    explicit = os.environ.get("KOVALINKHID_LIBRARY")
    if explicit:
        yield explicit
        return
    here = os.path.dirname(os.path.abspath(__file__))
    yield os.path.normpath(os.path.join(here, _config.LIBRARY_DIR, "libKovalinkHID.so.1"))
    yield "libKovalinkHID.so.1"  # the loader's search path


def load():
    """The library with typed signatures; OSError when it cannot be loaded."""
    errors = []
    for path in _candidates():
        if os.path.sep in path and not os.path.exists(path):
            errors.append(path + ": no such file")
            continue
        try:
            lib = ctypes.CDLL(path)
            break
        except OSError as e:
            errors.append(str(e))
    else:
        raise OSError("libKovalinkHID could not be loaded (set KOVALINKHID_LIBRARY): " + "; ".join(errors))
    for name, args in SIGNATURES.items():
        fn = getattr(lib, name)
        fn.argtypes = [c_int] + args  # device_address first
        fn.restype = c_int
    for name, args in NO_ADDRESS.items():
        fn = getattr(lib, name)
        fn.argtypes = args
        fn.restype = c_int
    return lib
