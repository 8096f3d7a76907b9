# The Windows build beside the two DLLs: kovalink.exe with the toolkit it
# uses (common/), and the checks: each DLL's export table against its list,
# and the tests, which run under wine (CMAKE_CROSSCOMPILING_EMULATOR).

# CLI11 and nlohmann-json are header-only: the Debian packages' headers serve
# the cross build too. Only their own folders are put on the include path,
# never /usr/include with the host's C library.
set(KOVALINK_HEADER_ONLY ${CMAKE_BINARY_DIR}/header-only)
foreach(package CLI11:CLI nlohmann_json:nlohmann)
  string(REPLACE ":" ";" parts ${package})
  list(GET parts 0 name)
  list(GET parts 1 folder)
  file(MAKE_DIRECTORY ${KOVALINK_HEADER_ONLY}/include ${KOVALINK_HEADER_ONLY}/${name})
  file(CREATE_LINK /usr/include/${folder} ${KOVALINK_HEADER_ONLY}/include/${folder} SYMBOLIC)
  # find_package(${name}) takes this package file.
  file(WRITE ${KOVALINK_HEADER_ONLY}/${name}/${name}Config.cmake
       "if(NOT TARGET ${name}::${name})\n"
       "  add_library(${name}::${name} INTERFACE IMPORTED)\n"
       "  target_include_directories(${name}::${name} SYSTEM INTERFACE ${KOVALINK_HEADER_ONLY}/include)\n"
       "endif()\n")
  set(${name}_DIR ${KOVALINK_HEADER_ONLY}/${name} CACHE PATH "" FORCE)
endforeach()
# localtime_r and gmtime_r, as mingw-w64 offers them.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L)
add_subdirectory(common)
add_subdirectory(cli)
# The simulator and readersim.exe: on Windows the reader is served over TCP.
add_subdirectory(simulator)
# Torvik needs a Qt 6 for Windows, which is not part of this tree's set-up:
# -DKOVALINK_TORVIK=ON -DCMAKE_PREFIX_PATH=<that Qt> builds torvik.exe.
option(KOVALINK_TORVIK "build torvik.exe (needs a Qt 6 for Windows)" OFF)
if(KOVALINK_TORVIK)
  add_subdirectory(demo)
endif()
include(cmake/WindowsPackage.cmake)

if(NOT KOVALINK_TESTS)
  return()
endif()
enable_testing()
find_program(KOVALINK_OBJDUMP NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump objdump REQUIRED)
foreach(library TavoHID KovalinkHID)
  if(library STREQUAL "TavoHID")
    set(list ${CMAKE_SOURCE_DIR}/transport/exports.txt)
  else()
    set(list ${CMAKE_SOURCE_DIR}/reader/exports.txt)
  endif()
  add_test(NAME ${library}_export_table
           COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/check_pe_exports.py ${KOVALINK_OBJDUMP}
                   $<TARGET_FILE:${library}> ${list})
endforeach()
set_tests_properties(KovalinkHID_export_table PROPERTIES ENVIRONMENT "KOVALINK_SAME_ENTRY=rf_M1_Halt_same_K62TX=rf_halt")
set_tests_properties(TavoHID_export_table KovalinkHID_export_table PROPERTIES LABELS pe)
# On i686 the calling convention shows in the code: every stdcall export
# must pop its arguments ("ret $N"), checked against the headers without
# running anything (this machine's kernel cannot run 32-bit programs).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  file(GLOB KOVALINK_PUBLIC_HEADERS ${CMAKE_SOURCE_DIR}/reader/include/kovalink/*.h)
  add_test(NAME KovalinkHID_stdcall
           COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/check_stdcall.py ${KOVALINK_OBJDUMP} $<TARGET_FILE:KovalinkHID>
                   ${KOVALINK_PUBLIC_HEADERS})
  add_test(NAME TavoHID_stdcall
           COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/check_stdcall.py ${KOVALINK_OBJDUMP} $<TARGET_FILE:TavoHID>
                   ${CMAKE_SOURCE_DIR}/transport/include/TavoHID.h)
  # The check itself: a cdecl function declared stdcall is caught.
  add_library(stdcall_probe SHARED tests/windows/stdcall_probe.c tests/windows/stdcall_probe.def)
  target_link_options(stdcall_probe PRIVATE "LINKER:--enable-stdcall-fixup")
  add_test(NAME stdcall_check_catches_cdecl
           COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/check_stdcall.py ${KOVALINK_OBJDUMP} $<TARGET_FILE:stdcall_probe>
                   ${CMAKE_SOURCE_DIR}/tests/windows/stdcall_probe.h)
  set_tests_properties(stdcall_check_catches_cdecl PROPERTIES
    PASS_REGULAR_EXPRESSION "bad: entry symbol _bad, expected _<name>@8\nbad: returns with '', expected 'ret \\$0x8'\n2 stdcall exports checked, 2 faults")
  set_tests_properties(KovalinkHID_stdcall TavoHID_stdcall stdcall_check_catches_cdecl PROPERTIES LABELS pe)
endif()
# The simulated reader served in the test process, for the end-to-end tests.
add_library(kovalink_sim_server STATIC tests/support/sim_server.cpp)
target_include_directories(kovalink_sim_server PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kovalink_sim_server PUBLIC kovalink_sim)
add_test(NAME windows_package COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/package_listing.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_package PROPERTIES LABELS windows TIMEOUT 120)
add_subdirectory(tests/windows)
