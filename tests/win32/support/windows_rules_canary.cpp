// The file rules Windows enforces for every user, administrators included.
// Wine run by root leaves them to the kernel, where root passes every check;
// then every test that meets a read-only or held file proves nothing. This
// program fails the layer when the harness runs Windows code that way.
#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/owned_handle.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/temp_folder.h"

namespace {

TEST(WindowsRules, ReadOnlyFilesAreNeitherOverwrittenNorDeleted) {
    TempFolder folder(L"canary");
    const std::wstring locked = folder / L"locked.txt", source = folder / L"source.txt";
    ASSERT_TRUE(WriteFileBytes(locked, "kept"));
    ASSERT_TRUE(WriteFileBytes(source, "replacement"));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));

    const BOOL copied = CopyFileW(source.c_str(), locked.c_str(), FALSE);
    const DWORD copyError = GetLastError();
    EXPECT_FALSE(copied);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), copyError);
    EXPECT_FALSE(DeleteFileW(locked.c_str()));
    CWFileHandle rewrite(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(rewrite.Valid());
    EXPECT_EQ("kept", ReadFileBytes(locked)) << "the harness runs Windows code as root";
}

TEST(WindowsRules, AFileOpenedWithoutSharingCannotBeOpenedAgain) {
    TempFolder folder(L"canary");
    const std::wstring held = folder / L"held.txt";
    ASSERT_TRUE(WriteFileBytes(held, "held"));
    CWFileHandle holder(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.Valid());
    CWFileHandle second(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD openError = GetLastError();
    EXPECT_FALSE(second.Valid());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), openError);
    EXPECT_FALSE(DeleteFileW(held.c_str()));
}

}  // namespace
