# The Windows zip (cpack -G ZIP in the build folder): the two DLLs,
# kovalink.exe and readersim.exe side by side, the public headers, the mingw
# import libraries and README-windows.txt.
install(TARGETS KovalinkHID TavoHID kovalink readersim RUNTIME DESTINATION . ARCHIVE DESTINATION lib)
install(FILES reader/include/KovalinkHID.h include/kv_api.h DESTINATION include)
install(DIRECTORY reader/include/kovalink DESTINATION include PATTERN "*.in" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/include/kovalink/version.h DESTINATION include/kovalink)
install(FILES packaging/README-windows.txt DESTINATION .)

set(CPACK_PACKAGE_NAME kovalink)
set(CPACK_PACKAGE_VENDOR "Kovalink")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR ZIP)
# The programs are built with debugging information; the package ships them without.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
