# Installation in the GNU layout, a CMake package, a pkg-config file, the
# udev rule for the reader, and a Debian package built by CPack.
set(KOVALINK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KovalinkHID)

# Both libraries go to the same folder: the command library loads the
# transport from its own folder.
install(TARGETS KovalinkHID EXPORT KovalinkHIDTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT runtime)
install(TARGETS TavoHID LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT runtime)
install(TARGETS readersim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
if(TARGET kovalink)
  install(TARGETS kovalink RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()

install(FILES reader/include/KovalinkHID.h include/kv_api.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT runtime)
install(DIRECTORY reader/include/kovalink DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT runtime
        PATTERN "*.in" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/include/kovalink/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kovalink
        COMPONENT runtime)
foreach(example ${KOVALINK_EXAMPLES})
  install(FILES examples/${example}.c DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT runtime)
endforeach()
install(FILES examples/example.h examples/python/mifare_classic.py
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT runtime)
install(FILES docs/calling-order.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT runtime)
# The HTML reference, when it was built (target `reference`).
install(DIRECTORY ${CMAKE_BINARY_DIR}/reference/html/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/reference
        COMPONENT runtime OPTIONAL)

install(EXPORT KovalinkHIDTargets NAMESPACE KovalinkHID:: DESTINATION ${KOVALINK_CMAKE_DIR} COMPONENT runtime)
include(CMakePackageConfigHelpers)
configure_package_config_file(packaging/KovalinkHIDConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/KovalinkHIDConfig.cmake INSTALL_DESTINATION ${KOVALINK_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/KovalinkHIDConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/KovalinkHIDConfig.cmake ${CMAKE_BINARY_DIR}/KovalinkHIDConfigVersion.cmake
        DESTINATION ${KOVALINK_CMAKE_DIR} COMPONENT runtime)

# The .pc file finds its prefix from where it lies, so it stays right
# whatever prefix the package is installed or unpacked under. Installed
# under a prefix the dynamic loader does not search (anything but /usr and
# /usr/local; a prefix ending so counts as theirs, which is how CPack stages
# the package), its Libs also carry a run path to the library folder, so a
# program built with `pkg-config --libs` starts without LD_LIBRARY_PATH; the
# flag alone is the variable `rpath` in every case.
file(RELATIVE_PATH KOVALINK_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
set(KOVALINK_PC_RPATH "@KOVALINK_PC_RPATH@")
configure_file(packaging/kovalinkhid.pc.in ${CMAKE_BINARY_DIR}/kovalinkhid.pc.in @ONLY)
install(CODE "
  set(KOVALINK_PC_RPATH \" \\\${rpath}\")
  if(CMAKE_INSTALL_PREFIX MATCHES \"(^|/)usr(/local)?/?$\")
    set(KOVALINK_PC_RPATH \"\")
  endif()
  configure_file(${CMAKE_BINARY_DIR}/kovalinkhid.pc.in ${CMAKE_BINARY_DIR}/kovalinkhid.pc @ONLY)
  file(INSTALL ${CMAKE_BINARY_DIR}/kovalinkhid.pc DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig\")
" COMPONENT runtime)

# udev looks in /lib/udev/rules.d (the package's place; /etc is the admin's).
set(KOVALINK_UDEV_DIR "lib/udev/rules.d" CACHE STRING "where the udev rule is installed, relative to the prefix")
install(FILES packaging/70-kovalink-reader.rules DESTINATION ${KOVALINK_UDEV_DIR} COMPONENT runtime)

set(CPACK_PACKAGE_NAME kovalink)
set(CPACK_PACKAGE_VENDOR "Kovalink")
set(CPACK_PACKAGE_CONTACT "Kovalink developers <dev@kovalink.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "USB HID smart-card reader libraries, simulator and tools")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/postinst)
include(CPack)
install(FILES docs/readersim.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
