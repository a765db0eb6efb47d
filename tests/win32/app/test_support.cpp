// COM for the shell-link objects, on the thread that runs the tests of every
// program built with this file.
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
