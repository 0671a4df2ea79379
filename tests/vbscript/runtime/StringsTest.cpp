#include "vbscript/runtime/Strings.h"

#include "TestText.h"

#include <gtest/gtest.h>

using namespace cva::vbs::rt;

namespace {

int32_t Find(int32_t start, const char* text, const char* find, CompareMode mode = CompareMode::Binary) {
    int32_t out = -1;
    EXPECT_EQ(InStr(start, U16(text), U16(find), mode, out), 0);
    return out;
}

int32_t FindRev(const char* text, const char* find, int32_t start, CompareMode mode = CompareMode::Binary) {
    int32_t out = -1;
    EXPECT_EQ(InStrRev(U16(text), U16(find), start, mode, out), 0);
    return out;
}

std::string Rep(const char* text, const char* find, const char* with, int32_t start = 1,
                int32_t count = -1, CompareMode mode = CompareMode::Binary) {
    std::u16string out;
    EXPECT_EQ(Replace(U16(text), U16(find), U16(with), start, count, mode, out), 0);
    return U8(out);
}

std::string SplitJoin(const char* text, const char* delim, int32_t count = -1,
                      CompareMode mode = CompareMode::Binary) {
    std::vector<std::u16string> parts;
    EXPECT_EQ(Split(U16(text), U16(delim), count, mode, parts), 0);
    return std::to_string(parts.size()) + ":" + U8(Join(parts, u"|"));
}

} // namespace

TEST(InStr, PositionsAndEmptyStrings) {
    EXPECT_EQ(Find(1, "This is a beautiful day!", "beautiful"), 11);
    EXPECT_EQ(Find(7, "This is a beautiful day!", "i"), 16);
    EXPECT_EQ(Find(1, "abc", ""), 1);
    EXPECT_EQ(Find(3, "abc", ""), 3);
    EXPECT_EQ(Find(4, "abc", ""), 0);
    EXPECT_EQ(Find(1, "", ""), 0);
    EXPECT_EQ(Find(1, "abc", "abcd"), 0);
    EXPECT_EQ(Find(1, "xABC", "abc", CompareMode::Text), 2);
    EXPECT_EQ(Find(1, "xABC", "abc"), 0);
    EXPECT_EQ(Find(1, "STRASSE \xC3\xA4", "\xC3\x84", CompareMode::Text), 9);
    int32_t out = 0;
    EXPECT_EQ(InStr(0, u"abc", u"a", CompareMode::Binary, out), 5);
}

TEST(InStrRev, SearchesBackwardsFromStart) {
    EXPECT_EQ(FindRev("abcabc", "bc", -1), 5);
    EXPECT_EQ(FindRev("abcabc", "bc", 4), 2);
    EXPECT_EQ(FindRev("abcabc", "bc", 5), 2); // the match must end at or before start
    EXPECT_EQ(FindRev("abc", "", -1), 3);
    EXPECT_EQ(FindRev("abc", "b", 5), 0);
    EXPECT_EQ(FindRev("aBc", "b", -1, CompareMode::Text), 2);
    int32_t out = 0;
    EXPECT_EQ(InStrRev(u"abc", u"a", 0, CompareMode::Binary, out), 5);
}

TEST(Replace, StartDropsTheLeadingPart) {
    EXPECT_EQ(Rep("abcabc", "b", "X", 3), "caXc");
    EXPECT_EQ(Rep("abc", "", "X", 2), "bc");
    EXPECT_EQ(Rep("abc", "b", "X", 4), "");
    EXPECT_EQ(Rep("aaaa", "a", "b", 1, 2), "bbaa");
    EXPECT_EQ(Rep("aaaa", "aa", "a"), "aa"); // no rescanning of replaced text
    EXPECT_EQ(Rep("AbAB", "ab", "-", 1, -1, CompareMode::Text), "--");
    EXPECT_EQ(Rep("AbAB", "ab", "-"), "AbAB");
    std::u16string out;
    EXPECT_EQ(Replace(u"a", u"a", u"b", 0, -1, CompareMode::Binary, out), 5);
    EXPECT_EQ(Replace(u"a", u"a", u"b", 1, -2, CompareMode::Binary, out), 5);
}

TEST(Replace, LargeInputIsLinear) {
    // Two megabytes of short matches: quadratic rebuilding would take minutes.
    std::u16string big(2'000'000, u'a');
    std::u16string out;
    ASSERT_EQ(Replace(big, u"a", u"bc", 1, -1, CompareMode::Text, out), 0);
    EXPECT_EQ(out.size(), 4'000'000u);
    EXPECT_EQ(out.substr(0, 4), u"bcbc");
    const std::u16string wide(1000, u'x');
    EXPECT_EQ(Replace(big, u"a", wide, 1, -1, CompareMode::Binary, out), 14);
}

TEST(Split, CountsAndEmptyInput) {
    EXPECT_EQ(SplitJoin("a,b,c,d", ","), "4:a|b|c|d");
    EXPECT_EQ(SplitJoin("a,b,c,d", ",", 2), "2:a|b,c,d");
    EXPECT_EQ(SplitJoin("a,b", ",", 5), "2:a|b");
    EXPECT_EQ(SplitJoin("", ","), "0:");
    EXPECT_EQ(SplitJoin("abc", ""), "1:abc");
    EXPECT_EQ(SplitJoin(",a,", ","), "3:|a|");
    EXPECT_EQ(SplitJoin("aXbxc", "x", -1, CompareMode::Text), "3:a|b|c");
    EXPECT_EQ(SplitJoin("a,b", ",", 0), "0:");
}

TEST(Filter, IncludeAndExclude) {
    const std::vector<std::u16string> items = {u"Apple", u"banana", u"cherry"};
    EXPECT_EQ(U8(Join(Filter(items, u"an", true, CompareMode::Binary), u",")), "banana");
    EXPECT_EQ(U8(Join(Filter(items, u"A", true, CompareMode::Text), u",")), "Apple,banana");
    EXPECT_EQ(U8(Join(Filter(items, u"A", false, CompareMode::Binary), u",")), "banana,cherry");
    EXPECT_EQ(Filter(items, u"", true, CompareMode::Text).size(), 3u);
}

TEST(StrComp, BinaryAndText) {
    EXPECT_EQ(StrComp(u"a", u"B", CompareMode::Binary), 1);
    EXPECT_EQ(StrComp(u"a", u"B", CompareMode::Text), -1);
    EXPECT_EQ(StrComp(u"ABC", u"abc", CompareMode::Text), 0);
    EXPECT_EQ(StrComp(u"ab", u"abc", CompareMode::Binary), -1);
    // Text order is linguistic: symbols before digits before letters, accents next to
    // their base letter; equality stays plain case-insensitivity.
    EXPECT_EQ(StrComp(u"a", u"_", CompareMode::Text), 1);
    EXPECT_EQ(StrComp(u"a", u"_", CompareMode::Binary), 1);
    EXPECT_EQ(StrComp(u"Z", u"_", CompareMode::Text), 1);
    EXPECT_EQ(StrComp(u"9", u"a", CompareMode::Text), -1);
    EXPECT_EQ(StrComp(u"\u00E4", u"b", CompareMode::Text), -1);
    EXPECT_EQ(StrComp(u"\u00E4", u"a", CompareMode::Text), 1);
    EXPECT_EQ(StrComp(u"\u00C4x", u"\u00E4X", CompareMode::Text), 0);
}

TEST(SimpleStrings, CaseTrimAndPadding) {
    EXPECT_EQ(U8(UCase(U16("stra\xC3\x9F" "e \xC3\xA9"))), "STRA\xC3\x9F" "E \xC3\x89");
    EXPECT_EQ(U8(LCase(u"ABC")), "abc");
    EXPECT_EQ(U8(Trim(u"  a b \t ")), "a b \t");
    EXPECT_EQ(U8(LTrim(u"\t a")), "\t a");
    EXPECT_EQ(U8(RTrim(u"   ")), "");
    EXPECT_EQ(U8(StrReverse(u"abc")), "cba");
    std::u16string s;
    ASSERT_EQ(Space(3, s), 0);
    EXPECT_EQ(U8(s), "   ");
    ASSERT_EQ(StringOf(2, u'x', s), 0);
    EXPECT_EQ(U8(s), "xx");
    EXPECT_EQ(Space(-1, s), 5);
    EXPECT_EQ(Space(INT32_MAX, s), 14); // refused, not a 4 GB allocation
}

TEST(Substrings, BoundsRules) {
    std::u16string s;
    ASSERT_EQ(Left(u"abc", 5, s), 0);
    EXPECT_EQ(U8(s), "abc");
    ASSERT_EQ(Right(u"abc", 2, s), 0);
    EXPECT_EQ(U8(s), "bc");
    ASSERT_EQ(Mid(u"abc", 2, -1, s), 0);
    EXPECT_EQ(U8(s), "bc");
    ASSERT_EQ(Mid(u"abc", 5, 1, s), 0);
    EXPECT_EQ(U8(s), "");
    ASSERT_EQ(Mid(u"abcdef", 2, 3, s), 0);
    EXPECT_EQ(U8(s), "bcd");
    EXPECT_EQ(Left(u"abc", -1, s), 5);
    EXPECT_EQ(Right(u"abc", -1, s), 5);
    EXPECT_EQ(Mid(u"abc", 0, 1, s), 5);
    EXPECT_EQ(Mid(u"abc", 1, -2, s), 5);
}

TEST(Characters, AscChrAndWindows1252) {
    int32_t code = 0;
    ASSERT_EQ(Asc(u"\u20AC", code), 0);
    EXPECT_EQ(code, 128);
    ASSERT_EQ(Asc(u"\u00E9", code), 0);
    EXPECT_EQ(code, 233);
    ASSERT_EQ(Asc(u"\u4E2D", code), 0);
    EXPECT_EQ(code, 63);
    ASSERT_EQ(AscW(u"\u4E2D", code), 0);
    EXPECT_EQ(code, 0x4E2D);
    ASSERT_EQ(AscW(u"\u8A9E", code), 0);
    EXPECT_EQ(code, 0x8A9E - 65536);
    EXPECT_EQ(Asc(u"", code), 5);
    std::u16string s;
    ASSERT_EQ(Chr(128, s), 0);
    EXPECT_EQ(s, u"\u20AC");
    ASSERT_EQ(Chr(65, s), 0);
    EXPECT_EQ(s, u"A");
    EXPECT_EQ(Chr(256, s), 5);
    EXPECT_EQ(Chr(-1, s), 5);
    ASSERT_EQ(ChrW(-1, s), 0);
    EXPECT_EQ(s, u"\uFFFF");
    EXPECT_EQ(ChrW(65536, s), 5);
}

TEST(Escape, JScriptCompatible) {
    EXPECT_EQ(U8(Escape(u"a b+/@*_-.\u00FC\u20AC")), "a%20b+/@*_-.%FC%u20AC");
    EXPECT_EQ(U8(Unescape(u"%u20AC%zz%41%4")), "\xE2\x82\xAC%zzA%4");
    EXPECT_EQ(Unescape(Escape(u"\u0001x\uFFFF%")), u"\u0001x\uFFFF%");
}
