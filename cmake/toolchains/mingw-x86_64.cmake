# Cross-building for Windows on x86_64 with mingw-w64.
set(KOVALINK_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
