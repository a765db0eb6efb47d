# The setup's code runs in one direction: foundation <- package <- app <-
# wizard <- program, with framework beside foundation for wizard and program.
# Each layer is a library whose include root holds only its own folder, so a
# file sees "foundation/block.h" only through the layers its library links:
# an include against the direction does not compile.
#
# Code outside the layers (tools, sample SDK, tests, benchmarks, fuzz
# targets) includes from the repository root (kvn_root_includes).

# Gives target the include root of the layer in folder.
function(kvn_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# The repository root as include root of every target in the calling folder
# and below: #include "tests/win32/support/temp_folder.h".
macro(kvn_root_includes)
  include_directories(${CMAKE_SOURCE_DIR})
endmacro()
