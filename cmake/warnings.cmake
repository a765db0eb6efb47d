# Common compile options for every target of the project.
add_compile_options(-Wall -Wextra)
if(KVN_WERROR)
  add_compile_options(-Werror)
endif()
if(KVN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Reproducible output: the same sources give the same bytes.
# __DATE__, __TIME__ and __TIMESTAMP__ are refused; every compiler run sees a
# fixed SOURCE_DATE_EPOCH (the environment's, else the time of the last
# commit, else 0), so nothing the compiler stamps depends on the clock.
add_compile_options(-Wdate-time)
if(NOT DEFINED KVN_SOURCE_DATE_EPOCH)
  set(_kvn_epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(_kvn_epoch STREQUAL "")
    execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE _kvn_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE _kvn_git_result ERROR_QUIET)
    if(NOT _kvn_git_result EQUAL 0 OR NOT _kvn_epoch MATCHES "^[0-9]+$")
      set(_kvn_epoch 0)
    endif()
  endif()
  set(KVN_SOURCE_DATE_EPOCH "${_kvn_epoch}" CACHE STRING "SOURCE_DATE_EPOCH of every compiler run")
endif()
foreach(_kvn_lang C CXX)
  set(CMAKE_${_kvn_lang}_COMPILER_LAUNCHER
    ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KVN_SOURCE_DATE_EPOCH} ${CMAKE_${_kvn_lang}_COMPILER_LAUNCHER})
endforeach()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No time stamp in the PE header.
  add_link_options(-Wl,--no-insert-timestamp)
  # No build-machine folder in __FILE__ or debug info: the source folder
  # becomes ".", the build folder "build" (the last matching map wins, so a
  # build folder inside the source folder is mapped as the build folder).
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
endif()
