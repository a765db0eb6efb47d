# Cross toolchain: 64-bit Windows (the twin) with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KVN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix-common.cmake)
