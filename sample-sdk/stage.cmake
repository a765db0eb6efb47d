# Lays out the staged sample SDK (cmake -P): the plain files, the built
# programs and the compiled help in the package layout, from scratch each
# time so nothing stale is packed. Text files get CR LF line ends.
foreach(var STAGE FILES AGREEMENT HEADER RUNTIME IMPORT_LIBRARY DEMO UNINSTALL HELP STAMP)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "stage.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(folder Main Bin Sys32 Help Help/Java/docs Samples Images include lib Redistributables)
  file(MAKE_DIRECTORY ${STAGE}/${folder})
endforeach()

# Plain files: text as CR LF, everything else byte for byte.
file(GLOB_RECURSE plain RELATIVE ${FILES} ${FILES}/*)
list(SORT plain)
foreach(relative IN LISTS plain)
  get_filename_component(extension ${relative} LAST_EXT)
  string(TOLOWER "${extension}" extension)
  get_filename_component(folder ${STAGE}/${relative} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  if(extension MATCHES "^\\.(txt|c|h|cs|java|html|css)$")
    file(READ ${FILES}/${relative} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${STAGE}/${relative} "${text}")
  else()
    file(COPY ${FILES}/${relative} DESTINATION ${folder})
  endif()
endforeach()

# The licence as the user accepted it (already CR LF, code page 1252).
file(COPY_FILE ${AGREEMENT} ${STAGE}/Main/License.txt)
file(COPY_FILE ${UNINSTALL} ${STAGE}/Main/KVNBarcodeUninstall.exe)
file(COPY_FILE ${DEMO} ${STAGE}/Bin/KVNBarcodeDemo.exe)
file(COPY_FILE ${RUNTIME} ${STAGE}/Sys32/KVNBarcodeRT.dll)
file(COPY_FILE ${RUNTIME} ${STAGE}/Redistributables/KVNBarcodeRT.dll)
file(COPY_FILE ${IMPORT_LIBRARY} ${STAGE}/lib/KVNBarcodeRT.lib)
file(READ ${HEADER} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${STAGE}/include/kvnbarcode.h "${text}")
file(COPY_FILE ${HELP} ${STAGE}/Help/kvnbarcode.chm)

file(TOUCH ${STAMP})
