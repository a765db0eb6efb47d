// ZeroFill, JoinPath and the entry-path formatter, refusal included.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "foundation/path_util.h"

namespace {

std::wstring Repeat(wchar_t c, size_t n) {
    return std::wstring(n, c);
}

TEST(ZeroFill, ClearsExactlyTheCountAndIgnoresBadArguments) {
    unsigned char bytes[8];
    std::memset(bytes, 0xCC, sizeof bytes);
    ZeroFill(bytes, 5);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], i < 5 ? 0 : 0xCC) << i;
    ZeroFill(bytes + 5, 0);
    ZeroFill(bytes + 5, -3);
    ZeroFill(nullptr, 5);
    EXPECT_EQ(bytes[5], 0xCC);
}

TEST(JoinPath, RefusesWithoutWritingOnBadArguments) {
    wchar_t out[8] = L"keep";
    EXPECT_EQ(JoinPath(nullptr, 8, L"a", L"b", nullptr), 0);
    EXPECT_EQ(JoinPath(out, 0, L"a", L"b", nullptr), 0);
    EXPECT_EQ(JoinPath(out, -1, L"a", L"b", nullptr), 0);
    EXPECT_EQ(JoinPath(out, 8, L"a", nullptr, nullptr), 0);
    EXPECT_EQ(JoinPath(out, 8, L"a", L"", L"txt"), 0);
    EXPECT_STREQ(out, L"keep");
}

TEST(JoinPath, SeparatorAndExtensionRules) {
    wchar_t out[kPathUnits];
    ASSERT_EQ(JoinPath(out, kPathUnits, L"C:\\Dir", L"file", nullptr), 1);
    EXPECT_STREQ(out, L"C:\\Dir\\file");
    ASSERT_EQ(JoinPath(out, kPathUnits, L"C:\\Dir\\", L"file", L"lnk"), 1);
    EXPECT_STREQ(out, L"C:\\Dir\\file.lnk");
    ASSERT_EQ(JoinPath(out, kPathUnits, L"C:\\Dir", L"file", L""), 1);
    EXPECT_STREQ(out, L"C:\\Dir\\file");
    ASSERT_EQ(JoinPath(out, kPathUnits, nullptr, L"file", L"txt"), 1);
    EXPECT_STREQ(out, L"file.txt");
    ASSERT_EQ(JoinPath(out, kPathUnits, L"", L"file", nullptr), 1);
    EXPECT_STREQ(out, L"file");
}

TEST(JoinPath, JoinsOntoItsOwnFolder) {
    wchar_t out[kPathUnits] = L"C:\\Base";
    ASSERT_EQ(JoinPath(out, kPathUnits, out, L"Sub", nullptr), 1);
    EXPECT_STREQ(out, L"C:\\Base\\Sub");
}

TEST(JoinPath, LongestFittingPathIsWrittenLongerOneRefused) {
    // Sentinel units after the buffer catch any write past its end.
    wchar_t out[kPathUnits + 4];
    const std::wstring folder = L"C:\\" + Repeat(L'f', 200);
    const std::wstring name = Repeat(L'n', 259 - folder.size() - 1 - 4);  // + ".ext"

    std::fill(out, out + kPathUnits + 4, L'#');
    ASSERT_EQ(JoinPath(out, kPathUnits, folder.c_str(), name.c_str(), L"ext"), 1);
    EXPECT_EQ(std::wcslen(out), 259u);
    EXPECT_EQ(std::wstring(out), folder + L"\\" + name + L".ext");

    const std::wstring longer = name + L"n";
    std::fill(out, out + kPathUnits + 4, L'#');
    EXPECT_EQ(JoinPath(out, kPathUnits, folder.c_str(), longer.c_str(), L"ext"), 0);
    EXPECT_EQ(out[0], L'\0');
    for (int i = 1; i < kPathUnits + 4; ++i) ASSERT_EQ(out[i], L'#') << i;

    // The extension alone pushes it over: still refused, never cut short.
    EXPECT_EQ(JoinPath(out, kPathUnits, folder.c_str(), name.c_str(), L"exte"), 0);
    EXPECT_EQ(out[0], L'\0');
}

TEST(FormatEntryPath, AlwaysOneSeparatorAndRefusesWhatDoesNotFit) {
    wchar_t out[kPathUnits];
    ASSERT_EQ(FormatEntryPath(out, kPathUnits, L"C:\\Dir", L"*.*"), 1);
    EXPECT_STREQ(out, L"C:\\Dir\\*.*");

    const std::wstring folder = L"C:\\" + Repeat(L'd', 250);
    const std::wstring fits = Repeat(L'e', 259 - folder.size() - 1);
    ASSERT_EQ(FormatEntryPath(out, kPathUnits, folder.c_str(), fits.c_str()), 1);
    EXPECT_EQ(std::wcslen(out), 259u);

    const std::wstring tooLong = fits + L"e";
    EXPECT_EQ(FormatEntryPath(out, kPathUnits, folder.c_str(), tooLong.c_str()), 0);
    EXPECT_EQ(out[0], L'\0');
    EXPECT_EQ(FormatEntryPath(out, kPathUnits, nullptr, L"x"), 0);
    EXPECT_EQ(FormatEntryPath(nullptr, kPathUnits, L"a", L"x"), 0);
}

}  // namespace
