# Compiles the help sources twice, a second apart, exactly as the build does
# (chmcmd, then clearing the time stamps), and fails when the two files differ.
# cmake -DCHMCMD=... -DPYTHON=... -DSOURCES=<help folder> -DWORK=<scratch> -P help_reproducible.cmake
file(GLOB sources ${SOURCES}/*.html ${SOURCES}/*.css ${SOURCES}/*.hh?)
file(REMOVE_RECURSE ${WORK})
foreach(round 1 2)
  file(MAKE_DIRECTORY ${WORK}/${round})
  file(COPY ${sources} DESTINATION ${WORK}/${round})
  execute_process(COMMAND ${CHMCMD} --no-html-scan --verbosity 0 kvnbarcode.hhp
    WORKING_DIRECTORY ${WORK}/${round} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "chmcmd failed (${result})")
  endif()
  execute_process(COMMAND ${PYTHON} ${SOURCES}/clear_chm_timestamps.py ${WORK}/${round}/kvnbarcode.chm
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "clearing the time stamps failed (${result})")
  endif()
  # Time stamps of one second's resolution must not show.
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
endforeach()
file(SHA256 ${WORK}/1/kvnbarcode.chm first)
file(SHA256 ${WORK}/2/kvnbarcode.chm second)
file(REMOVE_RECURSE ${WORK})
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the same help sources gave two different files")
endif()
