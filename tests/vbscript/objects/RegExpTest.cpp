#include "ObjectHarness.h"

#include "vbscript/runtime/Regex.h"

#include <gtest/gtest.h>

namespace cva::vbs::test {
namespace {

class RegExpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rt::CRegex probe;
        if (probe.Compile(u"a", false, false) != 0)
            GTEST_SKIP() << "the regular-expression kernel is not available in this build";
    }
    ObjectRef NewRegExp(std::u16string_view pattern)
    {
        ObjectRef re = Create(u"VBScript.RegExp", NullServices());
        EXPECT_TRUE(Let(re, u"Pattern", {}, S(pattern)).Ok());
        return re;
    }
};

TEST_F(RegExpTest, ExecuteWithoutGlobalFindsFirstMatchOnly)
{
    ObjectRef re = NewRegExp(u"(\\w)(\\d+)");
    ObjectRef matches = Obj(Get(re, u"Execute", {S(u"a12 b345")}).value);
    ASSERT_EQ(Long(Get(matches, u"Count").value), 1);
    ObjectRef m = Obj(Get(matches, u"Item", {L(0)}).value);
    EXPECT_EQ(Str(Get(m, u"Value").value), u"a12");
    EXPECT_EQ(Long(Get(m, u"FirstIndex").value), 0);
    EXPECT_EQ(Long(Get(m, u"Length").value), 3);
}

TEST_F(RegExpTest, GlobalExecuteEnumeratesMatchesWithSubMatches)
{
    ObjectRef re = NewRegExp(u"(\\w)(\\d+)");
    ASSERT_TRUE(Let(re, u"Global", {}, Variant(true)).Ok());
    ObjectRef matches = Obj(Get(re, u"Execute", {S(u"a12 b345")}).value);
    std::vector<Variant> each = Enumerate(matches);
    ASSERT_EQ(each.size(), 2u);
    ObjectRef second = Obj(each[1]);
    EXPECT_EQ(Long(Get(second, u"FirstIndex").value), 4);
    ObjectRef sub = Obj(Get(second, u"SubMatches").value);
    EXPECT_EQ(Long(Get(sub, u"Count").value), 2);
    EXPECT_EQ(Str(Get(sub, u"Item", {L(0)}).value), u"b");
    EXPECT_EQ(Str(Get(sub, u"Item", {L(1)}).value), u"345");
    EXPECT_EQ(Get(sub, u"Item", {L(2)}).Error(), 5);
}

TEST_F(RegExpTest, GroupThatDidNotTakePartIsEmpty)
{
    ObjectRef re = NewRegExp(u"(a)|(b)");
    ObjectRef m = Obj(Get(Obj(Get(re, u"Execute", {S(u"b")}).value), u"Item", {L(0)}).value);
    std::vector<Variant> groups = Enumerate(Obj(Get(m, u"SubMatches").value));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].IsEmpty());
    EXPECT_EQ(Str(groups[1]), u"b");
}

TEST_F(RegExpTest, ReplaceExpandsGroupsAndHonoursGlobal)
{
    ObjectRef re = NewRegExp(u"(\\w+)@(\\w+)");
    EXPECT_EQ(Str(Get(re, u"Replace", {S(u"x@y u@v"), S(u"$2 at $1")}).value), u"y at x u@v");
    ASSERT_TRUE(Let(re, u"Global", {}, Variant(true)).Ok());
    EXPECT_EQ(Str(Get(re, u"Replace", {S(u"x@y u@v"), S(u"$2 at $1")}).value), u"y at x v at u");
}

TEST_F(RegExpTest, IgnoreCaseAndMultilineTakeEffectAfterChange)
{
    ObjectRef re = NewRegExp(u"^abc$");
    EXPECT_FALSE(Bool(Get(re, u"Test", {S(u"x\r\nABC")}).value));
    ASSERT_TRUE(Let(re, u"IgnoreCase", {}, Variant(true)).Ok());
    ASSERT_TRUE(Let(re, u"Multiline", {}, Variant(true)).Ok());
    EXPECT_TRUE(Bool(Get(re, u"Test", {S(u"x\nABC")}).value));
}

TEST_F(RegExpTest, BadPatternRaisesTheKernelsError)
{
    ObjectRef re = NewRegExp(u"(abc");
    EXPECT_EQ(Get(re, u"Test", {S(u"abc")}).Error(), 5020);
    ASSERT_TRUE(Let(re, u"Pattern", {}, S(u"[z-a]")).Ok());
    EXPECT_EQ(Get(re, u"Execute", {S(u"abc")}).Error(), 5021);
}

TEST(RegExpObject, PropertiesReadBackAndNameIsClassic)
{
    ObjectRef re = Create(u"vbscript.regexp", NullServices());
    ASSERT_TRUE(Let(re, u"Pattern", {}, S(u"x+")).Ok());
    EXPECT_EQ(Str(Get(re, u"pattern").value), u"x+");
    EXPECT_FALSE(Bool(Get(re, u"Global").value));
    EXPECT_EQ(re->TypeName(), u"IRegExp2");
}

} // namespace
} // namespace cva::vbs::test
