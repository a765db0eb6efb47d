# GoogleTest for both builds and the helper that registers a test program.
if(WIN32)
  # mingw: built from the sources Debian ships.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# kvn_add_gtest(NAME SOURCES ... [LIBS ...] [MACHINE_STATE] [TIMEOUT s])
# Natively every case is discovered as its own test. Under Wine a process
# costs about a second, so each program is one test, and it links the
# shared test support (tests/win32/support). MACHINE_STATE marks a program
# that changes the prefix (HKLM, Program Files, Start menu, system folder):
# such programs never run at the same time.
function(kvn_add_gtest name)
  cmake_parse_arguments(ARG "MACHINE_STATE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(WIN32)
    target_link_libraries(${name} PRIVATE kvn_test_support)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_MACHINE_STATE)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix_state)
    endif()
    if(ARG_TIMEOUT)
      set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    endif()
  else()
    if(ARG_TIMEOUT)
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
  endif()
endfunction()

# kvn_wine_path(OUT UNIX_PATH): the path as Wine shows the build machine's
# root, drive Z: ("/a/b" -> "Z:\a\b"), for the programs to read build files.
function(kvn_wine_path out unix_path)
  string(REPLACE "/" "\\\\" wine_path "${unix_path}")
  set(${out} "Z:${wine_path}" PARENT_SCOPE)
endfunction()

# kvn_write_tree(ROOT "NAME|CONTENT"...): writes each file below ROOT at
# configure time. A file is rewritten only when its text changes, so the
# payloads packed from the tree are not made again after every configure.
function(kvn_write_tree root)
  foreach(entry ${ARGN})
    string(FIND "${entry}" "|" bar)
    string(SUBSTRING "${entry}" 0 ${bar} name)
    math(EXPR start "${bar} + 1")
    string(SUBSTRING "${entry}" ${start} -1 content)
    file(CONFIGURE OUTPUT ${root}/${name} CONTENT "${content}" @ONLY)
  endforeach()
endfunction()

# kvn_resource_dll(TARGET OUTPUT_NAME [SOURCES...]): a DLL of resources only
# (the sources: resource scripts or payload objects), without the C runtime,
# named OUTPUT_NAME.dll in the calling folder's build folder; the tests load
# it as a data file.
function(kvn_resource_dll target output_name)
  add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tests/win32/support/resource_only.c ${ARGN})
  target_link_options(${target} PRIVATE -nostdlib)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output_name}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# kvn_setup_sdk(OUT): the SDK folder the setup of this build carries
# (KVN_SDK_DIR, else the staged sample SDK); empty when it carries a
# ready-made payload (KVN_PAYLOAD).
function(kvn_setup_sdk out)
  if(KVN_PAYLOAD)
    set(${out} "" PARENT_SCOPE)
  elseif(KVN_SDK_DIR)
    set(${out} ${KVN_SDK_DIR} PARENT_SCOPE)
  else()
    set(${out} ${KVN_SAMPLE_SDK_STAGE_DIR} PARENT_SCOPE)
  endif()
endfunction()

# kvn_dll_search_test(NAME PROBE PLANTED SOURCES ... [LIBS ...]): the probe
# program PROBE (a wmain, with the DLL search restriction and
# tests/win32/support/dll_search_checks.h) built next to a planted DLL
# PLANTED.dll that it must never find by its bare name; test NAME runs it.
function(kvn_dll_search_test name probe planted)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${probe}_planted SHARED ${CMAKE_SOURCE_DIR}/tests/win32/support/planted_library.c)
  set_target_properties(${probe}_planted PROPERTIES PREFIX "" OUTPUT_NAME ${planted}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_executable(${probe} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/foundation/dll_search_restriction.cpp)
  target_link_libraries(${probe} PRIVATE ${ARG_LIBS} kvn_test_support)
  target_link_options(${probe} PRIVATE -municode)
  set_target_properties(${probe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_dependencies(${probe} ${probe}_planted)
  add_test(NAME ${name} COMMAND ${probe})
endfunction()
