# Common compile options for every target of the project.
add_compile_options(-Wall -Wextra)
if(KVN_WERROR)
  add_compile_options(-Werror)
endif()
if(KVN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Reproducible links: no time stamp in the PE header.
  add_link_options(-Wl,--no-insert-timestamp)
endif()
# The repository root is the include root: #include "foundation/block.h".
include_directories(${CMAKE_SOURCE_DIR})
