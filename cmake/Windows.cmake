# The Windows build's checks: each DLL's export table against its list, and
# the tests, which run under wine (CMAKE_CROSSCOMPILING_EMULATOR).
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
add_subdirectory(tests/windows)
