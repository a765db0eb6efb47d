# KVNBarcodeSetup.exe, made the way a vendor makes it: the build links the
# setup program without payload and agreement (the stub), and the host
# kvnpack writes both into the stub's resources (kvnpack setup).
include(${CMAKE_SOURCE_DIR}/cmake/payload.cmake)

add_executable(KVNBarcodeSetupStub WIN32
  ${CMAKE_SOURCE_DIR}/framework/winmain.cpp
  ${CMAKE_SOURCE_DIR}/foundation/dll_search_restriction.cpp
  ${CMAKE_SOURCE_DIR}/app/main_app_object.cpp
  ${KVN_SETUP_RC})
target_link_libraries(KVNBarcodeSetupStub PRIVATE kvn_setup)
# -s: the shipped program carries no symbols or debug info (nor the paths in them).
target_link_options(KVNBarcodeSetupStub PRIVATE -municode -s)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The decode holds the payload about three times at once; on 64-bit
  # Windows a large-address-aware 32-bit program has 4 GiB for that instead
  # of 2. Nothing in the setup relies on addresses below 2 GiB.
  target_link_options(KVNBarcodeSetupStub PRIVATE -Wl,--large-address-aware)
endif()
set_target_properties(KVNBarcodeSetupStub PROPERTIES OUTPUT_NAME KVNBarcodeSetup-stub
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stub)
set(KVN_SETUP_STUB ${CMAKE_BINARY_DIR}/stub/KVNBarcodeSetup-stub.exe CACHE INTERNAL "the setup stub")

# The shipped setup: the vendor's content in the stub.
set(KVN_SETUP_EXE ${CMAKE_BINARY_DIR}/KVNBarcodeSetup.exe CACHE INTERNAL "the setup the build ships")
if(KVN_PAYLOAD)
  kvn_setup_from_stub(KVNBarcodeSetup ${KVN_SETUP_EXE} PAYLOAD ${KVN_PAYLOAD} AGREEMENT ${KVN_AGREEMENT})
elseif(KVN_SDK_DIR)
  kvn_setup_from_stub(KVNBarcodeSetup ${KVN_SETUP_EXE} SDK_DIR ${KVN_SDK_DIR} AGREEMENT ${KVN_AGREEMENT})
else()
  kvn_setup_from_stub(KVNBarcodeSetup ${KVN_SETUP_EXE} SDK_DIR ${KVN_SAMPLE_SDK_STAGE_DIR}
    AGREEMENT ${KVN_AGREEMENT} DEPENDS sample_sdk_stage ${KVN_SAMPLE_SDK_STAMP})
endif()
