#include "HostFilesFixture.h"

#include "platform/files/FileAttributes.h"
#include "vbscript/Variant.h"

#include <sys/xattr.h>
#include <unistd.h>

namespace cva::test {
namespace {

using CFilesPathTest = CHostFilesTest;

TEST_F(CFilesPathTest, FileAndFolderTestsTellTheKindsApart) {
    WriteAll(Path("a.txt"), "x");
    EXPECT_TRUE(m_host->FileExists(Win("a.txt")));
    EXPECT_FALSE(m_host->FolderExists(Win("a.txt")));
    EXPECT_TRUE(m_host->FolderExists(m_win));
    EXPECT_FALSE(m_host->FileExists(m_win));
    EXPECT_TRUE(m_host->FileExists(Win("A.TXT"))); // Windows names ignore case
}

TEST_F(CFilesPathTest, PathsOutsideTheTargetsDrivesReachNothing) {
    EXPECT_FALSE(m_host->FolderExists("Q:\\"));
    EXPECT_FALSE(m_host->FileExists(Path("")));      // a host path
    EXPECT_FALSE(m_host->FolderExists("/tmp"));
    EXPECT_FALSE(m_host->FolderExists("\\\\server\\share"));
    WriteAll(Host("C:\\") + "/../outside.txt", "x");
    EXPECT_FALSE(m_host->FileExists("C:\\..\\..\\outside.txt")); // ".." stops at the root
    m_host->FolderCreate("Q:\\new");
    m_host->FileCopy(Win("x"), "Q:\\x");
}

TEST_F(CFilesPathTest, PathsWithoutADriveCountFromTheWindowsFolder) {
    WriteAll(Host("C:\\WINDOWS") + "/cvatest.ini", "[s]\nk=v\n");
    EXPECT_TRUE(m_host->FileExists("cvatest.ini"));
    EXPECT_EQ(m_host->IniReadString("s", "k", "cvatest.ini"), "v");
    EXPECT_TRUE(m_host->FolderExists("\\WINDOWS"));
}

using CFolderTest = CHostFilesTest;

TEST_F(CFolderTest, CreateMakesOneLevelAndDeleteOnlyEmptyFolders) {
    m_host->FolderCreate(Win("one\\two"));
    EXPECT_FALSE(Exists(Path("one")));
    m_host->FolderCreate(Win("one"));
    EXPECT_TRUE(m_host->FolderExists(Win("one")));
    WriteAll(Path("one/f"), "x");
    m_host->FolderDelete(Win("one"));
    EXPECT_TRUE(Exists(Path("one/f")));
    ::unlink(Path("one/f").c_str());
    m_host->FolderDelete(Win("one"));
    EXPECT_FALSE(Exists(Path("one")));
}

TEST_F(CFolderTest, EmptyRemovesLinksButNeverWhatTheyPointTo) {
    std::string outside = s_dir->File("precious");
    ::mkdir(outside.c_str(), 0777);
    WriteAll(outside + "/keep.txt", "keep");
    ::mkdir(Path("f").c_str(), 0777);
    ::mkdir(Path("f/sub").c_str(), 0777);
    WriteAll(Path("f/sub/deep.txt"), "x");
    WriteAll(Path("f/top.txt"), "x");
    ASSERT_EQ(::symlink(outside.c_str(), Path("f/link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), Path("f/sub/link").c_str()), 0);

    EXPECT_FALSE(m_host->FolderEmpty(Win("f")));
    EXPECT_TRUE(Exists(Path("f")));
    EXPECT_FALSE(Exists(Path("f/top.txt")));
    EXPECT_FALSE(Exists(Path("f/sub")));
    EXPECT_FALSE(Exists(Path("f/link")));
    EXPECT_EQ(ReadAll(outside + "/keep.txt"), "keep");
}

TEST_F(CFolderTest, EmptyLeavesAFolderNamedThroughALinkAlone) {
    ::mkdir(Path("real").c_str(), 0777);
    WriteAll(Path("real/f"), "x");
    ASSERT_EQ(::symlink(Path("real").c_str(), Path("alias").c_str()), 0);
    EXPECT_FALSE(m_host->FolderEmpty(Win("alias")));
    EXPECT_TRUE(Exists(Path("real/f")));
}

using CFileOperationTest = CHostFilesTest;

TEST_F(CFileOperationTest, CopyAndMoveNeverOverwrite) {
    WriteAll(Path("src"), "new");
    WriteAll(Path("dst"), "old");
    m_host->FileCopy(Win("src"), Win("dst"));
    m_host->FileMove(Win("src"), Win("dst"));
    EXPECT_EQ(ReadAll(Path("dst")), "old");
    EXPECT_EQ(ReadAll(Path("src")), "new");
    m_host->FileCopy(Win("src"), Win("copy"));
    m_host->FileMove(Win("src"), Win("moved"));
    EXPECT_EQ(ReadAll(Path("copy")), "new");
    EXPECT_EQ(ReadAll(Path("moved")), "new");
    EXPECT_FALSE(Exists(Path("src")));
}

TEST_F(CFileOperationTest, PermanentDeleteSparesFoldersAndReadOnlyFiles) {
    WriteAll(Path("gone"), "x");
    WriteAll(Path("locked"), "x");
    ::mkdir(Path("dir").c_str(), 0777);
    m_host->FileSetAttribute(Win("locked"), "R+");
    m_host->FileDelete(Win("gone"));
    m_host->FileDelete(Win("locked"));
    m_host->FileDelete(Win("dir"));
    EXPECT_FALSE(Exists(Path("gone")));
    EXPECT_TRUE(Exists(Path("locked")));
    EXPECT_TRUE(Exists(Path("dir")));
}

TEST_F(CFileOperationTest, RecycledFilesAndFoldersCanBeRestoredFromTheTrash) {
    m_host->m_bRecycleDeletes = true;
    std::string name = "t" + std::to_string(s_counter) + "file.txt";
    WriteAll(Path(name), "data");
    ::mkdir(Path("dir").c_str(), 0777);
    WriteAll(Path("dir/inner"), "x");
    m_host->FileDelete(Win(name));
    m_host->FileDelete(Win("dir"));
    EXPECT_FALSE(Exists(Path(name)));
    EXPECT_FALSE(Exists(Path("dir")));

    std::string trash = s_dir->File("data/Trash");
    EXPECT_EQ(ReadAll(trash + "/files/" + name), "data");
    std::string info = ReadAll(trash + "/info/" + name + ".trashinfo");
    EXPECT_NE(info.find("[Trash Info]"), std::string::npos);
    EXPECT_NE(info.find("Path=" + Path(name)), std::string::npos) << info;
    EXPECT_NE(info.find("DeletionDate="), std::string::npos);
}

TEST_F(CFileOperationTest, RecycledFolderEmptySendsSubfoldersToTheTrashToo) {
    m_host->m_bRecycleDeletes = true;
    std::string sub = "t" + std::to_string(s_counter) + "sub";
    ::mkdir(Path("f").c_str(), 0777);
    ::mkdir(Path("f/" + sub).c_str(), 0777);
    WriteAll(Path("f/" + sub + "/inner"), "kept");
    m_host->FolderEmpty(Win("f"));
    EXPECT_FALSE(Exists(Path("f/" + sub)));
    EXPECT_EQ(ReadAll(s_dir->File("data/Trash/files/" + sub + "/inner")), "kept");
}

using CAttributeTest = CHostFilesTest;

bool HasXattrs(const std::string& path) {
    return ::setxattr(path.c_str(), "user.cvatest", "1", 1, 0) == 0 && ::removexattr(path.c_str(), "user.cvatest") == 0;
}

TEST_F(CAttributeTest, ReadOnlyFollowsTheWritePermission) {
    WriteAll(Path("f"), "x");
    m_host->FileSetAttribute(Win("f"), "r+");
    EXPECT_TRUE(files::GetFileAttributes(Path("f")) & files::FILE_ATTRIBUTE_READONLY);
    m_host->FileSetAttribute(Win("f"), "R+R-"); // "R+" wins
    EXPECT_TRUE(files::GetFileAttributes(Path("f")) & files::FILE_ATTRIBUTE_READONLY);
    m_host->FileSetAttribute(Win("f"), "");
    EXPECT_TRUE(files::GetFileAttributes(Path("f")) & files::FILE_ATTRIBUTE_READONLY);
    m_host->FileSetAttribute(Win("f"), "S-R-");
    EXPECT_FALSE(files::GetFileAttributes(Path("f")) & files::FILE_ATTRIBUTE_READONLY);
}

TEST_F(CAttributeTest, HiddenAndSystemLiveInTheDosAttribute) {
    WriteAll(Path("f"), "x");
    if (!HasXattrs(Path("f"))) GTEST_SKIP() << "no extended attributes here";
    m_host->FileSetAttribute(Win("f"), "h+");
    EXPECT_EQ(files::GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_HIDDEN);
    m_host->FileSetAttribute(Win("f"), "R+ S+ H-");
    EXPECT_EQ(files::GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_READONLY | files::FILE_ATTRIBUTE_SYSTEM);
    m_host->FileSetAttribute(Win("f"), "H+R-");
    EXPECT_EQ(files::GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_HIDDEN | files::FILE_ATTRIBUTE_SYSTEM);
    m_host->FileSetAttribute(Win("f"), "s-h-");
    EXPECT_EQ(files::GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_NORMAL);
}

using CIniTest = CHostFilesTest;

TEST_F(CIniTest, WrittenKeysReadBackAndNoneReadsEmpty) {
    m_host->IniWriteString("Sec", "Key", "value", Win("new.ini"));
    EXPECT_EQ(m_host->IniReadString("sec", "KEY", Win("new.ini")), "value");
    m_host->IniWriteString("Sec", "Off", "None", Win("new.ini"));
    EXPECT_EQ(m_host->IniReadString("Sec", "Off", Win("new.ini")), "");
    EXPECT_EQ(m_host->IniReadString("Sec", "Missing", Win("new.ini")), "");
    EXPECT_EQ(m_host->IniReadString("Sec", "Key", Win("missing.ini")), "");
    EXPECT_EQ(m_host->IniReadString("Sec", "Key", "Q:\\x.ini"), "");
}

TEST_F(CIniTest, ValuesAreCutAt259Characters) {
    std::string longValue(300, 'v');
    m_host->IniWriteString("S", "K", longValue, Win("a.ini"));
    EXPECT_EQ(m_host->IniReadString("S", "K", Win("a.ini")), std::string(259, 'v'));
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += "\xC3\xA9"; // e acute, two bytes each
    m_host->IniWriteString("S", "W", wide, Win("a.ini"));
    EXPECT_EQ(m_host->IniReadString("S", "W", Win("a.ini")), wide.substr(0, 518));
}

TEST_F(CIniTest, WritingKeepsTheOtherLines) {
    WriteAll(Path("k.ini"), "; note\r\n[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    m_host->IniWriteString("A", "x", "9", Win("k.ini"));
    EXPECT_EQ(ReadAll(Path("k.ini")), "; note\r\n[A]\r\nx=9\r\n[B]\r\ny=2\r\n");
}

using CSpecialPathTest = CHostFilesTest;

TEST_F(CSpecialPathTest, TokensAndEnvironmentVariablesExpand) {
    EXPECT_EQ(m_host->GetWinDir(), "C:\\WINDOWS");
    EXPECT_EQ(m_host->GetSysDir(), "C:\\WINDOWS\\system32");
    EXPECT_EQ(m_host->ExpandSpecialPath("<WINDIR>\\x.ini"), "C:\\WINDOWS\\x.ini");
    EXPECT_EQ(m_host->ExpandSpecialPath("<SysDir>\\drivers"), "C:\\WINDOWS\\system32\\drivers");
    EXPECT_EQ(m_host->ExpandSpecialPath("<other>rest"), "rest");
    EXPECT_EQ(m_host->ExpandSpecialPath("<windir>;<windir>"), "C:\\WINDOWS;C:\\WINDOWS");
    EXPECT_EQ(m_host->ExpandSpecialPath("%SystemRoot%\\a"), "C:\\WINDOWS\\a");
    EXPECT_EQ(m_host->ExpandSpecialPath("a<b"), "a<b");
}

TEST_F(CSpecialPathTest, AppdirIsTheProgramsFolder) {
    char exe[4096];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
    ASSERT_GT(n, 0);
    std::string folder(exe, static_cast<size_t>(n));
    folder.erase(folder.rfind('/'));
    // The sandbox has no drive that covers the build folder, so the host path stands.
    EXPECT_EQ(m_host->ExpandSpecialPath("<appdir>/x"), folder + "/x");
}

using CRunFunctionTest = CHostFilesTest;

TEST_F(CRunFunctionTest, DriveTypeOfTheTargetsDrives) {
    auto type = [&](std::u16string_view root) { return m_host->RunFunction("GetDriveType", vbs::Variant(root)); };
    EXPECT_EQ(type(u"C:\\").Type(), vbs::VarType::Long);
    EXPECT_EQ(type(u"C:\\").AsLong(), 3);
    EXPECT_EQ(type(u"c:").AsLong(), 3);
    EXPECT_EQ(type(u"Q:\\").AsLong(), 1);
    EXPECT_EQ(type(u"C:\\WINDOWS").AsLong(), 1);
    EXPECT_TRUE(m_host->RunFunction("Other", vbs::Variant(int32_t{1})).IsEmpty());
    EXPECT_TRUE(m_host->RunFunction("GetDriveType", vbs::Variant::Nothing()).IsEmpty());
}

} // namespace
} // namespace cva::test
