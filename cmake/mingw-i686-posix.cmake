# Cross toolchain: 32-bit Windows (the product) with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix-common.cmake)
