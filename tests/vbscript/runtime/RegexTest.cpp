#include "vbscript/runtime/Regex.h"

#include "TestText.h"

#include <gtest/gtest.h>

using namespace cva::vbs::rt;

namespace {

CRegex Compiled(const char* pattern, bool ignoreCase = false, bool multiline = false) {
    CRegex re;
    EXPECT_EQ(re.Compile(U16(pattern), ignoreCase, multiline), 0) << pattern;
    return re;
}

// "index:text(group1,group2,...)" of the first match, or "none"; "-" for a group that did
// not take part.
std::string First(const char* pattern, const char* subject, bool ignoreCase = false,
                  bool multiline = false) {
    CRegex re = Compiled(pattern, ignoreCase, multiline);
    const std::u16string s = U16(subject);
    RegexMatch m;
    if (!re.Search(s, 0, m)) return "none";
    std::string out = std::to_string(m.index) + ":" + U8(s.substr(m.index, m.length));
    if (!m.groups.empty()) {
        out += "(";
        for (std::size_t g = 0; g < m.groups.size(); ++g) {
            if (g) out += ",";
            out += m.groups[g].Matched() ? U8(s.substr(m.groups[g].index, m.groups[g].length)) : "-";
        }
        out += ")";
    }
    return out;
}

std::string All(const char* pattern, const char* subject, bool multiline = false) {
    CRegex re = Compiled(pattern, false, multiline);
    const std::u16string s = U16(subject);
    std::string out;
    for (const RegexMatch& m : re.FindAll(s, true))
        out += "[" + std::to_string(m.index) + ":" + U8(s.substr(m.index, m.length)) + "]";
    return out;
}

std::string Rep(const char* pattern, const char* subject, const char* with, bool global = true) {
    CRegex re = Compiled(pattern);
    return U8(re.Replace(U16(subject), U16(with), global));
}

int Error(const char* pattern) {
    CRegex re;
    return re.Compile(U16(pattern), false, false);
}

} // namespace

TEST(RegexSyntax, EscapesAndClasses) {
    EXPECT_EQ(First("\\d+", "ab123c"), "2:123");
    EXPECT_EQ(First("\\D\\W\\S", "1a!x"), "1:a!x");
    EXPECT_EQ(First("\\w+\\s\\w+", "-- hello world"), "3:hello world");
    EXPECT_EQ(First("\\x41\\u0042\\103", "xABC"), "1:ABC");
    EXPECT_EQ(First("\\cJ", "a\nb"), "1:\n");
    EXPECT_EQ(First("[a-c]+", "xxbcaz"), "2:bca");
    EXPECT_EQ(First("[^a-c]+", "abxyc"), "2:xy");
    EXPECT_EQ(First("[\\d.-]+", "v1.2-3!"), "1:1.2-3");
    EXPECT_EQ(First("[\\b]", "a\bb"), "1:\b");
    EXPECT_EQ(First("a.c", "a\nc abc"), "4:abc");
    EXPECT_EQ(First("a{", "a{"), "0:a{"); // not a quantifier: literal
    EXPECT_EQ(First("\\.\\*", "a.*"), "1:.*");
}

TEST(RegexSyntax, ErrorNumbers) {
    EXPECT_EQ(Error("*a"), kRegexUnexpectedQuantifier);
    EXPECT_EQ(Error("a**"), kRegexUnexpectedQuantifier);
    EXPECT_EQ(Error("^*"), kRegexUnexpectedQuantifier);
    EXPECT_EQ(Error("[abc"), kRegexExpectedBracket);
    EXPECT_EQ(Error("(abc"), kRegexExpectedParen);
    EXPECT_EQ(Error("abc)"), kRegexSyntaxError);
    EXPECT_EQ(Error("a\\"), kRegexSyntaxError);
    EXPECT_EQ(Error("[z-a]"), kRegexInvalidRange);
    EXPECT_EQ(Error("a{3,2}"), kRegexSyntaxError);
    EXPECT_EQ(Error(std::string(1000, '(').c_str()), kRegexSyntaxError);
    CRegex re;
    EXPECT_NE(re.Compile(u"(", false, false), 0);
    EXPECT_FALSE(re.IsCompiled());
    RegexMatch m;
    EXPECT_FALSE(re.Search(u"x", 0, m));
}

TEST(RegexQuantifiers, GreedyAndLazy) {
    EXPECT_EQ(First("<.+>", "<a><b>"), "0:<a><b>");
    EXPECT_EQ(First("<.+?>", "<a><b>"), "0:<a>");
    EXPECT_EQ(First("a{2,3}", "aaaa"), "0:aaa");
    EXPECT_EQ(First("a{2,3}?", "aaaa"), "0:aa");
    EXPECT_EQ(First("a{2}", "a aa"), "2:aa");
    EXPECT_EQ(First("a{2,}", "aaaaa"), "0:aaaaa");
    EXPECT_EQ(First("x*", "aaa"), "0:");
    EXPECT_EQ(First("(a|ab)(c|bcd)(d*)", "abcd"), "0:abcd(a,bcd,)");
}

TEST(RegexGroups, CapturesBackreferencesAndLookahead) {
    EXPECT_EQ(First("(\\w+) \\1", "say hello hello there"), "4:hello hello(hello)");
    EXPECT_EQ(First("(a)|(b)", "b"), "0:b(-,b)");
    EXPECT_EQ(First("(?:ab)+", "ababx"), "0:abab");
    EXPECT_EQ(First("(z)((a+)?(b+)?(c))*", "zaacbbbcac"), "0:zaacbbbcac(z,ac,a,-,c)");
    EXPECT_EQ(First("\\w+(?=!)", "hi there!"), "3:there");
    EXPECT_EQ(First("\\b\\w+\\b(?!\\.)", "one. two"), "5:two");
    EXPECT_EQ(First("(?=(a+))a*b\\1", "baaabac"), "3:aba(a)");
    EXPECT_EQ(First("(.*?)a(?!(a+)b\\2c)\\2(.*)", "baaabaac"), "0:baaabaac(ba,-,abaac)");
    // A loop that may match nothing inside a negative lookahead whose body matches.
    EXPECT_EQ(First("(?!(?:a?)*b).", "abc"), "2:c");
    EXPECT_EQ(First("(A)\\1", "aA", true), "0:aA(a)");
    EXPECT_EQ(First("\\1(a)", "aa"), "0:a(a)"); // a group not yet matched is empty
    EXPECT_EQ(First("(a)\\2", "a\x02"), "0:a\x02(a)"); // no group 2: octal escape
}

TEST(RegexAnchors, MultilineAndWordBoundaries) {
    EXPECT_EQ(All("^\\w", "ab\ncd\r\nef"), "[0:a]");
    EXPECT_EQ(All("^\\w", "ab\ncd\r\nef", true), "[0:a][3:c][7:e]");
    EXPECT_EQ(All("\\w$", "ab\ncd\r\nef", true), "[1:b][4:d][8:f]");
    EXPECT_EQ(All("\\w$", "ab\ncd"), "[4:d]");
    EXPECT_EQ(All("\\bc", "cat concat c"), "[0:c][4:c][11:c]");
    EXPECT_EQ(All("\\Bc", "cat concat c"), "[7:c]");
    EXPECT_EQ(First("ABC", "xabc", true), "1:abc");
    EXPECT_EQ(First("[A-C]+", "xabc", true), "1:abc");
    EXPECT_EQ(First("[^a]", "A", true), "none");
}

TEST(RegexGlobal, EmptyMatchesAdvance) {
    EXPECT_EQ(All("a*", "baac"), "[0:][1:aa][3:][4:]");
    EXPECT_EQ(All("", "ab"), "[0:][1:][2:]");
    EXPECT_EQ(Rep("a*", "baac", "-"), "-b--c-");
    EXPECT_EQ(Rep("(a*)*", "b", "x"), "xbx");
}

TEST(RegexReplace, ReplacementPatterns) {
    EXPECT_EQ(Rep("(\\w+) (\\w+)", "John Smith", "$2, $1"), "Smith, John");
    EXPECT_EQ(Rep("b", "abc", "[$`|$&|$']"), "a[a|b|c]c");
    EXPECT_EQ(Rep("b", "abc", "$$ $0 $5 $"), "a$ $0 $5 $c");
    EXPECT_EQ(Rep("(a)", "a", "$10"), "a0"); // only one group: $1 then "0"
    EXPECT_EQ(Rep("(a)|(b)", "b", "[$1]"), "[]");
    EXPECT_EQ(Rep("o", "foo boo", "0", false), "f0o boo");
    CRegex re = Compiled("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)");
    EXPECT_EQ(U8(re.Replace(u"abcdefghijk", u"$11$10$1", true)), "kja");
}

TEST(RegexLimits, PathologicalPatternsTerminate) {
    CRegex re = Compiled("(a+)+b");
    re.SetStepBudget(200'000);
    const std::u16string subject(40, u'a');
    RegexMatch m;
    EXPECT_FALSE(re.Search(subject, 0, m));
    EXPECT_TRUE(re.BudgetExceeded());
    // The budget is per search: a normal search afterwards works and clears the flag.
    EXPECT_TRUE(re.Search(u"aab", 0, m));
    EXPECT_FALSE(re.BudgetExceeded());
}

TEST(RegexLimits, LongSubjectsUseTheHeapNotTheStack) {
    const std::u16string subject = std::u16string(1'000'000, u'a') + u"b";
    CRegex re = Compiled("(?:a|c)*b");
    RegexMatch m;
    ASSERT_TRUE(re.Search(subject, 0, m));
    EXPECT_EQ(m.length, 1'000'001);
    // A greedy run of one character class is a single choice point, however long.
    const std::u16string line = std::u16string(7'000'000, u'x') + u"\nyz";
    CRegex run = Compiled("^.*[^y]$", false, true);
    ASSERT_TRUE(run.Search(line, 0, m));
    EXPECT_EQ(m.length, 7'000'000);
    CRegex lazy = Compiled("(a)*?b");
    ASSERT_TRUE(lazy.Search(subject, 0, m));
    EXPECT_EQ(m.groups[0].index, 999'999);
}
