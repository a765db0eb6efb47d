#include <gtest/gtest.h>

#include <string>

#include "app/product_names.h"
#include "package/package_format.h"

namespace {

TEST(IsSafePackageName, AcceptsOrdinaryRelativeNames) {
    for (const char16_t* name :
         {u"Main", u"Main\\Bin\\" KVN_NAME_DEMO_PROGRAM, u"a/b", u".\\x", u"..a", u"a..", u"CONSOLE",
          u"COM10", u"LPT0", u"NULL.txt", u"Sys32\\con2.dll", u"x.CON", u"\u00e9t\u00e9\\\u65e5\u672c"}) {
        EXPECT_TRUE(IsSafePackageName(name))
            << std::string(name, name + std::char_traits<char16_t>::length(name));
    }
}

TEST(IsSafePackageName, RefusesNamesThatLeaveTheFolder) {
    for (const char16_t* name :
         {u"", u"\\Windows\\evil.dll", u"/etc", u"\\\\server\\share\\x", u"C:\\x", u"C:x", u"..", u"..\\x",
          u"a\\..\\..\\x", u"a/../x", u"a\\..", u"...\\x", u"a\\. .\\b", u"a\\\\b", u"a\\"}) {
        EXPECT_FALSE(IsSafePackageName(name))
            << std::string(name, name + std::char_traits<char16_t>::length(name));
    }
    EXPECT_FALSE(IsSafePackageName(nullptr));
}

TEST(IsSafePackageName, RefusesStreamsAndDevices) {
    for (const char16_t* name : {u"file.txt:stream", u"a:", u"CON", u"con", u"Prn", u"AUX", u"nul",
                                 u"NUL.txt", u"nul.tar.gz", u"Main\\COM1", u"Main\\lpt9.log", u"COM\u00b9",
                                 u"NUL ", u"NUL .txt", u"CONIN$", u"conout$", u"Main\\AUX\\x"}) {
        EXPECT_FALSE(IsSafePackageName(name))
            << std::string(name, name + std::char_traits<char16_t>::length(name));
    }
}

// Names that only differ in separators become their plain form; rooted ones
// are left for the check to refuse.
TEST(NormalizePackageSeparators, MakesSeparatorsPlain) {
    const struct {
        const char16_t* name;
        const char16_t* plain;
    } cases[] = {
        {u"Help\\", u"Help"},
        {u"Help\\\\\\", u"Help"},
        {u"a\\\\b", u"a\\b"},
        {u"a//b/", u"a\\b"},
        {u"a\\/\\b\\c", u"a\\b\\c"},
        {u"Main\\x.txt", u"Main\\x.txt"},
        {u"\\rooted\\", u"\\rooted\\"},
        {u"//server//share", u"//server//share"},
        {u"", u""},
        {u"a\\\\..\\\\..\\x", u"a\\..\\..\\x"},
    };
    for (const auto& c : cases) {
        char16_t name[kRecordNameUnits + 1] = {};
        std::char_traits<char16_t>::copy(name, c.name, std::char_traits<char16_t>::length(c.name));
        NormalizePackageSeparators(name);
        EXPECT_EQ(std::u16string(c.plain), std::u16string(name));
    }
    char16_t rooted[] = u"\\x";
    NormalizePackageSeparators(rooted);
    EXPECT_FALSE(IsSafePackageName(rooted));
}

}  // namespace
