# Lays out the tree of the reinstall walks' setup (cmake -P): the SDK the
# build's setup carries with every file read-only, as a vendor tree from a
# version-control checkout that keeps its files read-only, plus PARTS
# writable folders of the bulk tree under Samples\Bulk, so that the copies
# of a reinstall last long enough to be cancelled or cut off.
foreach(var SDK BULK PARTS OUT STAMP)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "reinstall-tree.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
file(COPY ${SDK}/ DESTINATION ${OUT})
file(GLOB_RECURSE sdk_files ${OUT}/*)
file(CHMOD ${sdk_files} FILE_PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
math(EXPR last "${PARTS} - 1")
foreach(part RANGE 0 ${last})
  file(COPY ${BULK}/Samples/Bulk/part${part} DESTINATION ${OUT}/Samples/Bulk)
endforeach()
file(TOUCH ${STAMP})
