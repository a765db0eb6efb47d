#include <gtest/gtest.h>

#include "tools/kvnpack/name_rules.h"
#include "tools/kvnpack/utf16.h"

namespace {

TEST(Utf8ToUtf16, ConvertsAllPlanes) {
    std::u16string out;
    ASSERT_TRUE(Utf8ToUtf16("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", out));
    EXPECT_EQ((std::u16string{u'a', 0x00E9, 0x65E5, 0xD83D, 0xDE00}), out);
    EXPECT_EQ("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", Utf16ToUtf8(out));
}

TEST(Utf8ToUtf16, RefusesMalformedBytes) {
    std::u16string out;
    for (const char* bad : {"\xFF", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xE6\x97", "a\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad, out)) << bad;
}

TEST(FoldCase, FoldsTheLettersWindowsFolds) {
    EXPECT_EQ(FoldCase(u"readme.TXT"), FoldCase(u"README.txt"));
    EXPECT_EQ(FoldCase(u"\u00e9\u00ff"), FoldCase(u"\u00c9\u0178"));
    EXPECT_EQ(FoldCase(u"\u0101\u013a\u017e"), FoldCase(u"\u0100\u0139\u017d"));
    EXPECT_EQ(FoldCase(u"\u03b1\u0434\u0451"), FoldCase(u"\u0391\u0414\u0401"));
    EXPECT_NE(FoldCase(u"\u00f7"), FoldCase(u"\u00d7")) << "division and multiplication signs are no letters";
    EXPECT_NE(FoldCase(u"a"), FoldCase(u"b"));
    EXPECT_NE(FoldCase(u"\u0139"), FoldCase(u"\u0138"));
}

TEST(RecordNameLess, OrdersByStoredBytesWithFoldersFirst) {
    EXPECT_TRUE(RecordNameLess(u"a", u"a\\b"));
    EXPECT_TRUE(RecordNameLess(u"a\\z", u"b"));
    EXPECT_TRUE(RecordNameLess(u"B", u"a"));
    EXPECT_TRUE(RecordNameLess(u"\u0100", u"\u00ff")) << "low byte first, as stored";
    EXPECT_FALSE(RecordNameLess(u"a", u"a"));
}

TEST(CheckRecordName, LengthLimitsAndCharacters) {
    EXPECT_EQ("", CheckRecordName(std::u16string(205, u'a')));
    EXPECT_NE("", CheckRecordName(std::u16string(206, u'a')));
    EXPECT_NE("", CheckRecordName(std::u16string(260, u'a')));
    EXPECT_EQ("", CheckRecordName(u"Main\\Bin\\x.dll"));
    for (const char16_t* bad :
         {u"", u"a|b", u"a\"b", u"x*", u"x\\y.", u"x \\y", u"a/b", u"C:x", u"..\\x", u"prn.txt"})
        EXPECT_NE("", CheckRecordName(bad));
}

}  // namespace
