# Cross-building for Windows on i686 with mingw-w64.
set(KOVALINK_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
