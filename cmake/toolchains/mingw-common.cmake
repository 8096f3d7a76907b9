# Shared by mingw-x86_64.cmake and mingw-i686.cmake, which set KOVALINK_MINGW_ARCH.
# Cross-building the Windows libraries and programs with mingw-w64
# (Debian's posix-thread toolchain: std::thread and std::mutex work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KOVALINK_MINGW_ARCH})
set(CMAKE_C_COMPILER ${KOVALINK_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOVALINK_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${KOVALINK_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOVALINK_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs run under wine; the C and C++ runtimes are linked in so the
# folder of the DLLs needs nothing from the toolchain beside it.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
