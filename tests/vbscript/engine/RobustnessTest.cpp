// Hostile scripts end in script errors, never in a crash or a hang.
#include "vbscript/Engine.h"
#include "vbscript/MemoryBudget.h"

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
    // Text that runs itself recurses through the compiler and the interpreter alike.
    EXPECT_EQ(RunScript(u"c = \"Execute c\" : Execute c\n"), kErrOutOfStack);
    EXPECT_EQ(RunScript(u"c = \"ExecuteGlobal c\" : ExecuteGlobal c\n"), kErrOutOfStack);
    EXPECT_EQ(RunScript(u"c = \"Eval(c)\" : x = Eval(c)\n"), kErrOutOfStack);
    EXPECT_EQ(RunScript(u"Sub S : Execute \"x = Eval(\"\"F()\"\")\" : End Sub\n"
                        u"Function F : S : End Function\nS\n"),
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

// Each piece stays under its own ceiling; together they pass what scripts may hold (here
// a smaller budget than the program's, so that the test stays quick).
TEST(Robustness, WhatAScriptHoldsTogetherIsOutOfMemory)
{
    struct CSmallBudget {
        size_t before = CMemoryBudget::SetLimit(64u << 20);
        ~CSmallBudget() { CMemoryBudget::SetLimit(before); }
    } small;
    EXPECT_EQ(RunScript(u"ReDim a(40)\nFor i = 0 To 40 : a(i) = String(3000000, \"x\") : Next\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"s = String(3000000, \"x\")\nReDim a(40)\nFor i = 0 To 40 : a(i) = s & i : Next\n"),
              kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"ReDim a(1500000) : ReDim b(1500000) : ReDim c(1500000)\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"Dim a(1500000), b(1500000), c(1500000)\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"Class C : Dim a(3000000) : End Class\nSet x = New C : Set y = New C\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"s = String(3000000, \"x\")\nDo : t = t & s : Loop\n"), kErrOutOfMemory);
    EXPECT_EQ(RunScript(u"s = String(3000000, \"x\")\nDo : t = Replace(t, \"a\", \"b\") & s : Loop\n"),
              kErrOutOfMemory);
    // What a finished script held is free again.
    EXPECT_EQ(RunScript(u"s = String(12000000, \"x\") : ReDim a(1500000)\n"), 0);
}

TEST(Robustness, LongChainsAreFreedWithoutDeepRecursion)
{
    EXPECT_EQ(RunScript(u"Class Node : Public Nxt : End Class\n"
                        u"Set head = Nothing\nFor i = 1 To 300000 : Set n = New Node : Set n.Nxt = head : Set head = n : Next\n"
                        u"Set n = Nothing : Set head = Nothing\n"),
              0);
    EXPECT_EQ(RunScript(u"Class T : Public Nxt : Sub Class_Terminate : c = c + 1 : End Sub : End Class\n"
                        u"Set head = Nothing\nFor i = 1 To 100000 : Set n = New T : Set n.Nxt = head : Set head = n : Next\n"
                        u"Set n = Nothing : Set head = Nothing\n"),
              0);
    EXPECT_EQ(RunScript(u"a = Array()\nFor i = 1 To 300000 : a = Array(a) : Next\na = 0\n"), 0);
    EXPECT_EQ(RunScript(u"Set d = CreateObject(\"Scripting.Dictionary\")\nSet top = d\n"
                        u"For i = 1 To 200000 : Set e = CreateObject(\"Scripting.Dictionary\") : d.Add 1, e : Set d = e : Next\n"
                        u"Set d = Nothing : Set e = Nothing : Set top = Nothing\n"),
              0);
}

TEST(Robustness, CyclesAreFreedWhenTheEngineCloses)
{
    EXPECT_EQ(RunScript(u"Class C : Public Other : End Class\nSet a = New C : Set b = New C\n"
                        u"Set a.Other = b : Set b.Other = a : Set a = Nothing : Set b = Nothing\n"),
              0);
}

TEST(Robustness, TerminateThatFailsDoesNotDisturbTheCaller)
{
    EXPECT_EQ(RunScript(u"Class T : Sub Class_Terminate : x = 1 / 0 : End Sub : End Class\n"
                  u"Set obj = New T : Set obj = Nothing\ny = CLng(\"z\")\n"),
              kErrTypeMismatch);
}

} // namespace
