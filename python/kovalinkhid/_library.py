"""Finding libKovalinkHID and declaring the C signatures of its exports."""
import ctypes
import os

from . import _config
from ._signatures import SIGNATURES

# The C parameter types of the headers and their ctypes. Output buffers
# and input bytes are both unsigned char pointers; ctypes passes arrays of
# c_ubyte and byref(c_ubyte) for them.
_u8p = ctypes.POINTER(ctypes.c_ubyte)
CTYPES = {
    "int": ctypes.c_int,
    "unsigned char": ctypes.c_ubyte,
    "unsigned short": ctypes.c_ushort,
    "unsigned int": ctypes.c_uint,
    "unsigned char*": _u8p,
    "const unsigned char*": _u8p,
    "int*": ctypes.POINTER(ctypes.c_int),
    "unsigned short*": ctypes.POINTER(ctypes.c_ushort),
    "void*": ctypes.c_void_p,
}


def argtypes(name):
    """The ctypes argument types of export `name`, from its C declaration."""
    try:
        return [CTYPES[c_type] for c_type, _ in SIGNATURES[name]]
    except KeyError as e:
        raise TypeError("%s: no ctypes type for the C type %s" % (name, e)) from None


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
    for name in SIGNATURES:
        fn = getattr(lib, name)
        fn.argtypes = argtypes(name)
        fn.restype = ctypes.c_int
    return lib
