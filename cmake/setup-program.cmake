# KVNBarcodeSetup.exe: the program, its resources and its payload.
include(${CMAKE_SOURCE_DIR}/cmake/payload.cmake)
if(KVN_PAYLOAD)
  kvn_payload_object(setup_payload PAYLOAD ${KVN_PAYLOAD} AGREEMENT ${KVN_AGREEMENT})
elseif(KVN_SDK_DIR)
  kvn_payload_object(setup_payload SDK_DIR ${KVN_SDK_DIR} AGREEMENT ${KVN_AGREEMENT})
else()
  kvn_payload_object(setup_payload SDK_DIR ${KVN_SAMPLE_SDK_STAGE_DIR}
    AGREEMENT ${KVN_AGREEMENT} DEPENDS sample_sdk_stage ${KVN_SAMPLE_SDK_STAMP})
endif()
add_executable(KVNBarcodeSetup WIN32
  ${CMAKE_SOURCE_DIR}/framework/winmain.cpp
  ${CMAKE_SOURCE_DIR}/app/main_app_object.cpp
  ${KVN_SETUP_RC}
  ${setup_payload_OBJECT})
target_link_libraries(KVNBarcodeSetup PRIVATE kvn_setup)
# -s: the shipped program carries no symbols or debug info (nor the paths in them).
target_link_options(KVNBarcodeSetup PRIVATE -municode -s)
set_target_properties(KVNBarcodeSetup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
