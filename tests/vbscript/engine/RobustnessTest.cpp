// Hostile scripts end in script errors, never in a crash or a hang.
#include "vbscript/Engine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace cva::vbs;

class CFirstError : public IScriptSite {
public:
    void OnScriptError(const ScriptErrorInfo& e) override
    {
        if (number == 0)
            number = e.number;
    }
    int32_t number = 0;
};

int32_t RunScript(std::u16string_view text)
{
    CScriptEngine engine;
    CFirstError site;
    engine.SetSite(&site);
    engine.ParseScript(text);
    return site.number;
}

TEST(Robustness, DeepRecursionIsOutOfStackSpace)
{
    EXPECT_EQ(RunScript(u"Function F(n) : F = F(n + 1) : End Function\nx = F(0)\n"), kErrOutOfStack);
    EXPECT_EQ(RunScript(u"Class C : Function M(n) : M = Me.M(n + 1) : End Function : End Class\n"
                  u"Set o = New C : x = o.M(0)\n"),
              kErrOutOfStack);
}

TEST(Robustness, DeepNestingIsRejected)
{
    std::u16string parens(5000, u'(');
    EXPECT_EQ(RunScript(u"x = " + parens + u"1"), kErrOutOfStack);
    std::u16string ifs;
    for (int i = 0; i < 2000; ++i)
        ifs += u"If 1 Then\n";
    EXPECT_EQ(RunScript(ifs), kErrOutOfStack);
    std::u16string sum = u"x = 1";
    for (int i = 0; i < 5000; ++i)
        sum += u" + 1";
    EXPECT_EQ(RunScript(sum + u"\n"), kErrOutOfStack);
    std::u16string nots = u"x = ";
    for (int i = 0; i < 5000; ++i)
        nots += u"Not ";
    EXPECT_EQ(RunScript(nots + u"1\n"), kErrOutOfStack);
}

TEST(Robustness, HugeStringsAreOutOfMemory)
{
    EXPECT_EQ(RunScript(u"s = \"x\"\nDo : s = s & s : Loop\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"s = Space(2000000000)\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"s = String(268435457, \"a\")\n"), kErrOutOfMemory);
}

TEST(Robustness, HugeArraysAreOutOfMemory)
{
    EXPECT_EQ(RunScript(u"ReDim a(2000000000)\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"ReDim a(100000, 100000)\n"), kErrOutOfMemory);
}

TEST(Robustness, TerminateThatFailsDoesNotDisturbTheCaller)
{
    EXPECT_EQ(RunScript(u"Class T : Sub Class_Terminate : x = 1 / 0 : End Sub : End Class\n"
                  u"Set obj = New T : Set obj = Nothing\ny = CLng(\"z\")\n"),
              kErrTypeMismatch);
}

} // namespace
