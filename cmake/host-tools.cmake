# The Windows build needs kvnpack on the build machine to make the payload.
# It is built here as a host tool with the host compiler, from this same
# source tree, so a fresh checkout configures and builds by itself.
include(ExternalProject)
set(KVN_HOST_BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools)
ExternalProject_Add(host_kvnpack
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${KVN_HOST_BINARY_DIR}
  CMAKE_ARGS -DKVN_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release -DKVN_WERROR=${KVN_WERROR}
             -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${KVN_HOST_BINARY_DIR} --target kvnpack
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${KVN_HOST_BINARY_DIR}/kvnpack)
set(KVN_HOST_KVNPACK ${KVN_HOST_BINARY_DIR}/kvnpack)
