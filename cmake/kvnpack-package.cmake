# kvnpack as a vendor gets it: cmake --install puts the host kvnpack and this
# build's setup stub in a prefix (bin/kvnpack, bin/kvnpack-sign, share/kvnpack/), where kvnpack
# finds the stub by itself; CPack makes a .tar.gz and a Debian package of the
# two. The product build packs the 32-bit stub as "kvnpack"; the twin packs
# its 64-bit stub as "kvnpack-x64", for machines that test on the twin.
# Installing (and cpack) needs only the tool and the stub, not every test
# program of the build: build the target KVNBarcodeSetup first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(PROGRAMS ${KVN_HOST_KVNPACK} DESTINATION bin)
# scripts/sign, so the vendor signs the finished setup with the same package.
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/sign DESTINATION bin RENAME kvnpack-sign)
install(FILES ${KVN_SETUP_STUB} DESTINATION share/kvnpack)
install(FILES ${CMAKE_SOURCE_DIR}/tools/kvnpack/README.md DESTINATION share/doc/kvnpack)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_PACKAGE_NAME kvnpack)
else()
  set(CPACK_PACKAGE_NAME kvnpack-x64)
  set(CPACK_DEBIAN_PACKAGE_CONFLICTS kvnpack)
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE kvn_deb_arch
  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(kvn_deb_arch STREQUAL "")
  set(kvn_deb_arch amd64)
endif()
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Makes KVNBarcodeSetup.exe from an SDK folder: packs it into the setup stub's resources")
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_SYSTEM_NAME linux-${kvn_deb_arch})
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux-${kvn_deb_arch})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${kvn_deb_arch})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvane Barcode Reader SDK team")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS osslsigncode)
# The .deb installs below /usr; the .tar.gz unpacks to a folder that works
# from wherever it lands.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/kvnpack-cpack-options.cmake)
include(CPack)
