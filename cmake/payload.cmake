# kvn_payload_object(<name> (SDK_DIR <folder> | PAYLOAD <file>) [AGREEMENT <file>] [DEPENDS ...]
#                    [FOREIGN_KEY])
# Makes ${CMAKE_CURRENT_BINARY_DIR}/<name>.o, a COFF object holding the
# payload resource (and the "AGREEMENT" text when given) of the custom type,
# with the host kvnpack, and sets <name>_OBJECT in the caller's scope.
# kvnpack writes a .res (windres cannot name a resource with a quoted
# string); windres -J res turns it into an object that links beside the .rc one.
# FOREIGN_KEY (tests only) packs SDK_DIR under another key, a payload the
# setup must refuse.
function(kvn_payload_object name)
  cmake_parse_arguments(ARG "FOREIGN_KEY" "SDK_DIR;PAYLOAD;AGREEMENT" "DEPENDS" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR})
  # The tool's file too, so a changed kvnpack makes the payloads again.
  set(deps host_kvnpack ${KVN_HOST_KVNPACK} ${ARG_DEPENDS})
  if(ARG_PAYLOAD)
    set(payload ${ARG_PAYLOAD})
    list(APPEND deps ${ARG_PAYLOAD})
  else()
    set(payload ${dir}/${name}.bin)
    file(GLOB_RECURSE sdk_files CONFIGURE_DEPENDS ${ARG_SDK_DIR}/*)
    set(pack_options "")
    if(ARG_FOREIGN_KEY)
      set(pack_options --test-foreign-key)
    endif()
    add_custom_command(OUTPUT ${payload}
      COMMAND ${KVN_HOST_KVNPACK} pack ${ARG_SDK_DIR} -o ${payload} ${pack_options}
      DEPENDS ${deps} ${sdk_files}
      COMMENT "Packing ${ARG_SDK_DIR}"
      VERBATIM)
    set(deps host_kvnpack ${KVN_HOST_KVNPACK} ${payload})
  endif()
  set(res_args --payload ${payload})
  if(ARG_AGREEMENT)
    list(APPEND res_args --agreement ${ARG_AGREEMENT})
    list(APPEND deps ${ARG_AGREEMENT})
  endif()
  add_custom_command(OUTPUT ${dir}/${name}.res
    COMMAND ${KVN_HOST_KVNPACK} res ${res_args} -o ${dir}/${name}.res
    DEPENDS ${deps}
    VERBATIM)
  add_custom_command(OUTPUT ${dir}/${name}.o
    COMMAND ${CMAKE_RC_COMPILER} -J res -O coff -i ${dir}/${name}.res -o ${dir}/${name}.o
    DEPENDS ${dir}/${name}.res
    VERBATIM)
  set_source_files_properties(${dir}/${name}.o PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  set(${name}_OBJECT ${dir}/${name}.o PARENT_SCOPE)
endfunction()

# kvn_setup_from_stub(<target> <output> (SDK_DIR <folder> | PAYLOAD <file>) [AGREEMENT <file>]
#                     [DEPENDS ...])
# Makes <output>, a finished setup, from the build's stub with the host
# kvnpack (kvnpack setup), and a target <target> that builds it.
function(kvn_setup_from_stub target output)
  cmake_parse_arguments(ARG "" "SDK_DIR;PAYLOAD;AGREEMENT" "DEPENDS" ${ARGN})
  set(deps KVNBarcodeSetupStub ${KVN_SETUP_STUB} host_kvnpack ${KVN_HOST_KVNPACK} ${ARG_DEPENDS})
  if(ARG_PAYLOAD)
    set(content --payload ${ARG_PAYLOAD})
    list(APPEND deps ${ARG_PAYLOAD})
  else()
    set(content ${ARG_SDK_DIR})
    file(GLOB_RECURSE sdk_files CONFIGURE_DEPENDS ${ARG_SDK_DIR}/*)
    list(APPEND deps ${sdk_files})
  endif()
  if(ARG_AGREEMENT)
    list(APPEND content --agreement ${ARG_AGREEMENT})
    list(APPEND deps ${ARG_AGREEMENT})
  endif()
  get_filename_component(output_dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${KVN_HOST_KVNPACK} setup ${content} --stub ${KVN_SETUP_STUB} -o ${output}
    DEPENDS ${deps}
    COMMENT "Making ${output} from the stub"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
