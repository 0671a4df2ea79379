#include "TestServices.h"

#include "vbscript/Coerce.h"
#include "vbscript/Engine.h"
#include "vbscript/NativeObject.h"

#include <gtest/gtest.h>

// The objects as scripts meet them: through the engine's CreateObject, New, default
// members, For Each and On Error.
namespace cva::vbs::test {
namespace {

class COutput : public IObject {
public:
    DispId GetMemberId(std::u16string_view name) override
    {
        static constexpr MemberName kMembers[] = {{u"Echo", 1}};
        return LookupMember(name, kMembers);
    }
    Status Invoke(DispId, uint32_t, std::span<Variant> args, Variant&) override
    {
        std::u16string line;
        for (size_t i = 0; i < args.size(); ++i) {
            VString s;
            Status st = ToString(args[i], s);
            if (st.Failed())
                return st;
            line += (i ? u" " : u"") + s.Str();
        }
        lines += line + u"\n";
        return Status::Ok();
    }
    std::u16string TypeName() const override { return u"Output"; }

    std::u16string lines;
};

class CErrors : public IScriptSite {
public:
    void OnScriptError(const ScriptErrorInfo& error) override
    {
        text += std::to_string(error.number) + " line " + std::to_string(error.line + 1) + "\n";
    }
    std::string text;
};

class ScriptedObjectsTest : public ::testing::Test {
protected:
    std::u16string Run(std::u16string_view script)
    {
        CScriptEngine engine;
        CErrors errors;
        auto out = MakeObject<COutput>();
        engine.SetSite(&errors);
        engine.SetServices(&services);
        engine.AddNamedItem(u"Out", out, false);
        EXPECT_TRUE(engine.ParseScript(script)) << errors.text;
        engine.Close();
        return out->lines;
    }
    CTestServices services;
};

TEST_F(ScriptedObjectsTest, DictionaryCountsWordsAndReportsErrors)
{
    EXPECT_EQ(Run(uR"vbs(
        Set d = CreateObject("Scripting.Dictionary")
        d.CompareMode = vbTextCompare
        For Each w In Split("b a B c a b", " ")
            d(w) = d(w) + 1
        Next
        For Each k In d
            Out.Echo k, d(k)
        Next
        d.Add 1, "n"
        Out.Echo d.Exists("1"), d.Exists(CDbl(1))
        On Error Resume Next
        d.Add "A", 0
        Out.Echo Err.Number
        Err.Clear
        d.Remove "zz"
        Out.Echo Err.Number, Err.Description
    )vbs"),
              u"b 3\na 2\nc 1\nFalse True\n457\n32811 Element not found\n");
}

TEST_F(ScriptedObjectsTest, RegExpMatchesThroughDefaultMembersAndForEach)
{
    EXPECT_EQ(Run(uR"vbs(
        Set re = New RegExp
        re.Pattern = "(\w+)=(\d*)"
        re.Global = True
        For Each m In re.Execute("a=1, bb=, c=33")
            Out.Echo m.FirstIndex, m, m.SubMatches(0), "[" & m.SubMatches(1) & "]"
        Next
        Out.Echo re.Replace("a=1, c=33", "$2:$1")
        re.IgnoreCase = True
        re.Pattern = "^X"
        re.Multiline = True
        Out.Echo re.Execute("a" & vbLf & "xy").Count
    )vbs"),
              u"0 a=1 a [1]\n5 bb= bb []\n10 c=33 c [33]\n1:a, 33:c\n1\n");
}

TEST_F(ScriptedObjectsTest, TextFilesAndFolderWalkFromAScript)
{
    services.MakeFile("work/data/one.txt", "1");
    services.MakeFile("work/data/two.txt", "22");
    EXPECT_EQ(Run(uR"vbs(
        Set fso = CreateObject("Scripting.FileSystemObject")
        Set t = fso.CreateTextFile("list.txt")
        For Each f In fso.GetFolder("C:\work\data").Files
            t.WriteLine f.Name & " " & f.Size
        Next
        t.Close
        Set t = fso.OpenTextFile("C:\work\list.txt")
        Do Until t.AtEndOfStream
            Out.Echo t.ReadLine
        Loop
        On Error Resume Next
        t.ReadLine
        Out.Echo Err.Number
        Out.Echo fso.GetFolder("C:\work").SubFolders("DATA").Files.Count
    )vbs"),
              u"one.txt 1\ntwo.txt 2\n62\n2\n");
}

TEST_F(ScriptedObjectsTest, ShellRegistryAndEnvironmentFromAScript)
{
    EXPECT_EQ(Run(uR"vbs(
        Set sh = CreateObject("WScript.Shell")
        sh.RegWrite "HKCU\Software\T\N", 5, "REG_DWORD"
        Out.Echo TypeName(sh.RegRead("HKCU\Software\T\N")), sh.RegRead("HKCU\Software\T\N")
        Out.Echo sh.ExpandEnvironmentStrings("%TEMP%\x"), sh.Environment("Process")("WINDIR")
        On Error Resume Next
        v = sh.RegRead("HKCU\Software\T\Missing")
        Out.Echo Hex(Err.Number)
    )vbs"),
              u"Long 5\nC:\\Windows\\Temp\\x C:\\Windows\n80070002\n");
}

} // namespace
} // namespace cva::vbs::test
