#include "ObjectHarness.h"
#include "TestServices.h"

#include "vbscript/objects/ObjectSupport.h"

#include <gtest/gtest.h>

namespace cva::vbs::test {
namespace {

class WshShellTest : public ::testing::Test {
protected:
    CTestServices services;
    ObjectRef shell = Create(u"WScript.Shell", services);

    const std::pair<std::u16string, Variant>& Stored(std::u16string_view upperName)
    {
        return services.registry[std::u16string(upperName)];
    }
};

TEST_F(WshShellTest, RegWriteConvertsValuesToTheirType)
{
    ASSERT_TRUE(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\Name"), L(42)}).Ok());
    EXPECT_EQ(Stored(u"HKCU\\SOFTWARE\\T\\NAME").first, u"REG_SZ");
    EXPECT_EQ(Str(Stored(u"HKCU\\SOFTWARE\\T\\NAME").second), u"42");
    EXPECT_TRUE(Stored(u"HKCU\\SOFTWARE\\T\\NAME").second.IsString());

    ASSERT_TRUE(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\Count"), S(u"17"), S(u"reg_dword")}).Ok());
    EXPECT_EQ(Stored(u"HKCU\\SOFTWARE\\T\\COUNT").first, u"REG_DWORD");
    EXPECT_EQ(Stored(u"HKCU\\SOFTWARE\\T\\COUNT").second.Type(), VarType::Long);

    ASSERT_TRUE(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\Path"), S(u"%WINDIR%\\x"), S(u"REG_EXPAND_SZ")}).Ok());
    EXPECT_EQ(Stored(u"HKCU\\SOFTWARE\\T\\PATH").first, u"REG_EXPAND_SZ");

    ASSERT_TRUE(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\Bin"), L(258), S(u"REG_BINARY")}).Ok());
    EXPECT_EQ(Stored(u"HKCU\\SOFTWARE\\T\\BIN").second.Type(), VarType::Long);

    EXPECT_EQ(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\M"), S(u"x"), S(u"REG_MULTI_SZ")}).Error(), 13);
    EXPECT_EQ(Call(shell, u"RegWrite", {S(u"HKCU\\Software\\T\\D"), S(u"abc"), S(u"REG_DWORD")}).Error(), 13);
}

TEST_F(WshShellTest, RegReadReturnsStoredValueAndReportsMissingOnesLikeWindows)
{
    ASSERT_TRUE(Call(shell, u"RegWrite", {S(u"HKLM\\Software\\T\\"), S(u"default")}).Ok());
    EXPECT_EQ(Str(Get(shell, u"RegRead", {S(u"hklm\\software\\t\\")}).value), u"default");
    CallResult missing = Get(shell, u"RegRead", {S(u"HKCU\\Software\\None\\V")});
    EXPECT_EQ(missing.Error(), static_cast<int32_t>(0x80070002u));
    EXPECT_EQ(missing.status.Description(),
              u"Unable to open registry key \"HKCU\\Software\\None\\V\" for reading.");
    ASSERT_TRUE(Call(shell, u"RegDelete", {S(u"HKLM\\Software\\T\\")}).Ok());
    EXPECT_EQ(Call(shell, u"RegDelete", {S(u"HKLM\\Software\\T\\")}).Error(),
              static_cast<int32_t>(0x80070002u));
}

TEST_F(WshShellTest, ExpandEnvironmentStringsLeavesUnknownNames)
{
    EXPECT_EQ(Str(Get(shell, u"ExpandEnvironmentStrings", {S(u"%windir%\\a %NOPE% 100%")}).value),
              u"C:\\Windows\\a %NOPE% 100%");
}

TEST_F(WshShellTest, EnvironmentCollectionReadsWritesAndEnumerates)
{
    ObjectRef env = Obj(Get(shell, u"Environment", {S(u"process")}).value);
    EXPECT_EQ(env->TypeName(), u"IWshEnvironment");
    EXPECT_EQ(Str(Get(env, u"Item", {S(u"TEMP")}).value), u"C:\\Windows\\Temp");
    EXPECT_EQ(Str(Get(env, u"Item", {S(u"UNSET")}).value), u"");
    ASSERT_TRUE(Let(env, u"Item", {S(u"Mine")}, S(u"1")).Ok());
    EXPECT_EQ(Long(Get(env, u"Count").value), 3);
    std::vector<Variant> all = Enumerate(env);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(Str(all[0]), u"MINE=1");
    ASSERT_TRUE(Call(env, u"Remove", {S(u"mine")}).Ok());
    EXPECT_EQ(Long(Get(env, u"Count").value), 2);
    // No scope means System, as on Windows NT.
    ObjectRef system = Obj(Get(shell, u"Environment").value);
    EXPECT_EQ(Str(Get(system, u"Item", {S(u"OS")}).value), u"Windows_NT");
    EXPECT_EQ(Get(shell, u"Environment", {S(u"Elsewhere")}).Error(), 5);
}

TEST_F(WshShellTest, SpecialFoldersByNameAndAsCollection)
{
    EXPECT_EQ(Str(Get(shell, u"SpecialFolders", {S(u"desktop")}).value), u"C:\\Users\\Test\\Desktop");
    EXPECT_EQ(Str(Get(shell, u"SpecialFolders", {S(u"Nowhere")}).value), u"");
    ObjectRef folders = Obj(Get(shell, u"SpecialFolders").value);
    EXPECT_EQ(Long(Get(folders, u"Count").value), 1);
    EXPECT_EQ(Str(Get(folders, u"Item", {L(0)}).value), u"C:\\Users\\Test\\Desktop");
}

TEST_F(WshShellTest, RunWaitsOnlyWhenAskedAndPopupUsesTheServices)
{
    EXPECT_EQ(Long(Get(shell, u"Run", {S(u"notepad.exe x.txt"), L(1), Variant(true)}).value), 3);
    EXPECT_EQ(services.lastRun, u"notepad.exe x.txt");
    EXPECT_EQ(Long(Get(shell, u"Run", {S(u"calc")}).value), 0);
    EXPECT_EQ(Long(Get(shell, u"Popup", {S(u"Sure?"), L(0), S(u"Title"), L(4)}).value), 6);
    EXPECT_EQ(services.lastPrompt, u"Sure?");
}

TEST_F(WshShellTest, ExecGivesTheProgramsStateAndStreams)
{
    ObjectRef exec = Obj(Get(shell, u"Exec", {S(u"sort.exe /r")}).value);
    ASSERT_TRUE(exec);
    EXPECT_EQ(services.lastRun, u"sort.exe /r");
    EXPECT_EQ(Long(Get(exec, u"Status").value), 0);
    EXPECT_EQ(Long(Get(exec, u"ProcessID").value), 42);
    ObjectRef input = Obj(Get(exec, u"StdIn").value);
    ASSERT_TRUE(Call(input, u"WriteLine", {S(u"b")}).Ok());
    EXPECT_EQ(services.execInput, "b\r\n") << "the program gets it at once";
    ASSERT_TRUE(Call(input, u"Close").Ok());
    EXPECT_EQ(Long(Get(exec, u"Status").value), 1);
    EXPECT_EQ(Long(Get(exec, u"ExitCode").value), 5);
    EXPECT_EQ(Str(Get(Obj(Get(exec, u"StdOut").value), u"ReadLine").value), u"out");
    EXPECT_TRUE(Bool(Get(Obj(Get(exec, u"StdOut").value), u"AtEndOfStream").value));
    EXPECT_TRUE(Bool(Get(Obj(Get(exec, u"StdErr").value), u"AtEndOfStream").value));
    EXPECT_EQ(Call(exec, u"Status", {L(1)}).Error(), 450);
    EXPECT_EQ(Get(Create(u"WScript.Shell", NullServices()), u"Exec", {S(u"x")}).Error(), 70);
}

TEST_F(WshShellTest, CurrentDirectoryIsSharedWithFileSystemObject)
{
    ASSERT_TRUE(Let(shell, u"CurrentDirectory", {}, S(u"C:\\Windows")).Ok());
    ObjectRef fso = Create(u"Scripting.FileSystemObject", services);
    EXPECT_EQ(Str(Get(fso, u"GetAbsolutePathName", {S(u"Temp")}).value), u"C:\\Windows\\Temp");
    EXPECT_EQ(Str(Get(shell, u"CurrentDirectory").value), u"C:\\Windows");
}

TEST(WshNetwork, NamesComeFromTheServices)
{
    ObjectRef net = Create(u"WScript.Network", NullServices());
    EXPECT_EQ(Str(Get(net, u"ComputerName").value), u"LOCALHOST");
    EXPECT_EQ(Str(Get(net, u"UserName").value), u"User");
    EXPECT_EQ(Let(net, u"UserName", {}, S(u"x")).Error(), 450);
}

} // namespace
} // namespace cva::vbs::test
