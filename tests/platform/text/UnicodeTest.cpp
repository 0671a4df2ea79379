#include "platform/text/Unicode.h"

#include <gtest/gtest.h>

using namespace cva::text;

TEST(Unicode, RoundTripsEveryPlane) {
    std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // a é € 😀 z
    std::u16string w = Utf8ToUtf16(s);
    EXPECT_EQ(w, u"a\u00E9\u20AC\U0001F600z");
    EXPECT_EQ(Utf16ToUtf8(w), s);
}

TEST(Unicode, InvalidUtf8IsReadAsWindows1252) {
    // A file saved on Windows: 0x80 is the euro sign, 0xE9 e-acute, 0x81 undefined.
    EXPECT_EQ(Utf8ToUtf16("\x80\xE9\x81"), u"\u20AC\u00E9\u0081");
    // An overlong encoding and an encoded surrogate are not UTF-8 either.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\u00C0\u00AF");
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9"));
}

TEST(Unicode, LoneSurrogateBecomesReplacementCharacter) {
    std::u16string w = u"x";
    w.push_back(0xD800);
    EXPECT_EQ(Utf16ToUtf8(w), "x\xEF\xBF\xBD");
}

TEST(Unicode, CaseRulesCoverMoreThanAscii) {
    EXPECT_EQ(ToUpper(u"straße é ñ"), u"STRAßE É Ñ");
    EXPECT_EQ(ToLower(u"ÄÖÜ ABC"), u"äöü abc");
    EXPECT_TRUE(EqualsNoCase(u"Software", u"SOFTWARE"));
    EXPECT_TRUE(EqualsNoCaseUtf8("caf\xC3\xA9", "CAF\xC3\x89"));
}

TEST(Unicode, NoCaseOrderIsThatOfUpperCasedUnits) {
    // '_' (0x5F) sorts after upper-case letters once names are upper-cased.
    EXPECT_LT(CompareNoCase(u"abc", u"ABD"), 0);
    EXPECT_GT(CompareNoCase(u"a_b", u"aZb"), 0);
    EXPECT_LT(CompareNoCase(u"ab", u"abc"), 0);
    EXPECT_EQ(CompareNoCase(u"", u""), 0);
}
