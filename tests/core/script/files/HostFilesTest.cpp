#include "core/script/HostProxy.h"
#include "platform/files/FileAttributes.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace cva::test {
namespace {

using files::GetFileAttributes;

// One sandbox per suite (opening one seeds a registry); each test gets a fresh host
// object and its own folder C:\tN.
class CHostFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<CTempDir>();
        ::setenv("XDG_DATA_HOME", s_dir->File("data").c_str(), 1); // the Trash stays in here
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + s_dir->File("sandbox"), error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_dir.reset();
    }
    void SetUp() override {
        m_host = std::make_unique<script::CHost_Proxy>(*s_target, false);
        m_win = "C:\\t" + std::to_string(++s_counter);
        ::mkdir(Path("").c_str(), 0777);
    }
    std::string Win(const std::string& name) const { return m_win + "\\" + name; }
    std::string Path(const std::string& name) const {
        return *s_target->ToHostPath(m_win) + "/" + name;
    }
    static bool Exists(const std::string& hostPath) {
        struct stat st {};
        return ::lstat(hostPath.c_str(), &st) == 0;
    }

    static inline std::unique_ptr<CTempDir> s_dir;
    static inline std::unique_ptr<target::CTargetSystem> s_target;
    static inline int s_counter = 0;
    std::unique_ptr<script::CHost_Proxy> m_host;
    std::string m_win;
};

TEST_F(CHostFilesTest, PathsReachOnlyTheTargetsDrives) {
    WriteAll(Path("a.txt"), "x");
    EXPECT_TRUE(m_host->FileExists(Win("A.TXT")));
    EXPECT_FALSE(m_host->FolderExists(Win("a.txt")));
    EXPECT_TRUE(m_host->FolderExists(m_win));
    EXPECT_FALSE(m_host->FileExists(m_win));
    EXPECT_FALSE(m_host->FileExists(Path("a.txt"))); // a host path
    EXPECT_FALSE(m_host->FolderExists("Q:\\"));
    WriteAll(s_dir->File("sandbox/outside.txt"), "x");
    EXPECT_FALSE(m_host->FileExists("C:\\..\\outside.txt"));
    EXPECT_TRUE(m_host->FolderExists("system32")); // relative to the Windows folder
}

TEST_F(CHostFilesTest, FolderCreateMakesOneLevelAndCopyMoveNeverOverwrite) {
    m_host->FolderCreate(Win("one\\two"));
    EXPECT_FALSE(Exists(Path("one")));
    WriteAll(Path("src"), "new");
    WriteAll(Path("dst"), "old");
    m_host->FileCopy(Win("src"), Win("dst"));
    m_host->FileMove(Win("src"), Win("dst"));
    EXPECT_EQ(ReadAll(Path("dst")), "old");
    m_host->FileMove(Win("src"), Win("moved"));
    EXPECT_EQ(ReadAll(Path("moved")), "new");
}

TEST_F(CHostFilesTest, FolderEmptyRemovesLinksButNeverWhatTheyPointTo) {
    std::string outside = s_dir->File("precious");
    ::mkdir(outside.c_str(), 0777);
    WriteAll(outside + "/keep.txt", "keep");
    ::mkdir(Path("f").c_str(), 0777);
    ::mkdir(Path("f/sub").c_str(), 0777);
    ASSERT_EQ(::symlink(outside.c_str(), Path("f/link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), Path("f/sub/link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), Path("alias").c_str()), 0);
    EXPECT_FALSE(m_host->FolderEmpty(Win("alias"))); // a folder named through a link
    EXPECT_FALSE(m_host->FolderEmpty(Win("f")));
    EXPECT_TRUE(Exists(Path("f")));
    EXPECT_FALSE(Exists(Path("f/sub")) || Exists(Path("f/link")));
    EXPECT_EQ(ReadAll(outside + "/keep.txt"), "keep");
}

TEST_F(CHostFilesTest, RecycledDeletionsCanBeRestoredFromTheTrash) {
    m_host->m_bRecycleDeletes = true;
    std::string tag = "t" + std::to_string(s_counter);
    WriteAll(Path(tag + ".txt"), "data");
    ::mkdir(Path("f").c_str(), 0777);
    ::mkdir(Path("f/" + tag).c_str(), 0777);
    WriteAll(Path("f/" + tag + "/inner"), "kept");
    m_host->FileDelete(Win(tag + ".txt"));
    m_host->FolderEmpty(Win("f")); // subfolders go to the Trash whole, not for good
    m_host->FileDelete("C:\\");
    std::string trash = s_dir->File("data/Trash");
    EXPECT_EQ(ReadAll(trash + "/files/" + tag + ".txt"), "data");
    EXPECT_EQ(ReadAll(trash + "/files/" + tag + "/inner"), "kept");
    std::string info = ReadAll(trash + "/info/" + tag + ".txt.trashinfo");
    EXPECT_NE(info.find("Path=" + Path(tag + ".txt") + "\n"), std::string::npos) << info;
    EXPECT_TRUE(Exists(*s_target->ToHostPath("C:\\WINDOWS")));
}

TEST_F(CHostFilesTest, AttributeTextSetsAndClearsEachLetter) {
    WriteAll(Path("f"), "x");
    m_host->FileSetAttribute(Win("f"), "r+R-"); // "+" wins
    m_host->FileSetAttribute(Win("f"), "");
    EXPECT_EQ(GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_READONLY);
    m_host->FileDelete(Win("f")); // DeleteFile refuses read-only files
    EXPECT_TRUE(Exists(Path("f")));
    if (::setxattr(Path("f").c_str(), "user.probe", "1", 1, 0) != 0)
        GTEST_SKIP() << "no extended attributes";
    m_host->FileSetAttribute(Win("f"), "s+ H+R-");
    EXPECT_EQ(GetFileAttributes(Path("f")),
              files::FILE_ATTRIBUTE_HIDDEN | files::FILE_ATTRIBUTE_SYSTEM);
    m_host->FileSetAttribute(Win("f"), "S-h-");
    EXPECT_EQ(GetFileAttributes(Path("f")), files::FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CHostFilesTest, IniValuesReadBackCutAt259AndNoneReadsEmpty) {
    m_host->IniWriteString("Sec", "Key", std::string(300, 'v'), Win("a.ini"));
    m_host->IniWriteString("Sec", "Off", "NoNe", Win("a.ini"));
    EXPECT_EQ(m_host->IniReadString("sec", "KEY", Win("a.ini")), std::string(259, 'v'));
    EXPECT_EQ(m_host->IniReadString("Sec", "Off", Win("a.ini")), "");
    EXPECT_NE(ReadAll(Path("a.ini")).find("Off=NoNe"), std::string::npos); // stored as written
}

TEST_F(CHostFilesTest, SpecialPathTokensAndDriveTypes) {
    EXPECT_EQ(m_host->ExpandSpecialPath("<WINDIR>\\a;<windir>"), "C:\\WINDOWS\\a;C:\\WINDOWS");
    EXPECT_EQ(m_host->ExpandSpecialPath("<SysDir>|<other>rest|%SystemRoot%"),
              "C:\\WINDOWS\\system32|rest|C:\\WINDOWS");
    auto type = [&](std::u16string_view root) {
        return m_host->RunFunction("getdrivetype", vbs::Variant(root));
    };
    EXPECT_EQ(type(u"C:\\").AsLong(), 3);
    EXPECT_EQ(type(u"Q:\\").AsLong(), 1);
    reg::CRegistry& registry = s_target->Registry();
    reg::HKEY drives = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(reg::HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", 0,
                                       nullptr, 0, reg::KEY_ALL_ACCESS, nullptr, &drives, nullptr),
              reg::ERROR_SUCCESS);
    registry.RegSetValueExA(drives, "c:", 0, reg::REG_SZ,
                            reinterpret_cast<const reg::BYTE*>("cdrom"), 6);
    registry.RegCloseKey(drives);
    EXPECT_EQ(type(u"c:").AsLong(), 5); // as chosen in winecfg
    registry.RegDeleteKeyA(reg::HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives");
    EXPECT_TRUE(m_host->RunFunction("Other", vbs::Variant(u"C:\\")).IsEmpty());
}

TEST_F(CHostFilesTest, TheScriptSearchLoopSkipsDotEntries) {
    WriteAll(Path("b.txt"), "x");
    ::mkdir(Path("Sub").c_str(), 0777);
    ::mkdir(Path("Sub/empty").c_str(), 0777);
    std::string code = "Function Run()\n h = FindFileFirst(\"" + Win("*.*") +
                       "\")\n Do\n  more = FindFileNext(h)\n"
                       "  Run = Run & FindFileGetName(h) & \"=\" & FindFileIsFolder(h) & \";\"\n"
                       " Loop While more <> 0\n FindFileClose h\nEnd Function\n";
    ASSERT_TRUE(m_host->CreateEngine(u"vbScript") && m_host->ParseScript(text::Utf8ToUtf16(code)));
    vbs::Variant listed;
    EXPECT_EQ(m_host->CallRoutine(u"Run", {}, &listed), 0u);
    EXPECT_EQ(text::Utf16ToUtf8(listed.AsString().View()), "b.txt=False;Sub=True;");
    EXPECT_EQ(m_host->FindFileFirst(Win("Sub\\empty\\*.*")), -1);
}

TEST_F(CHostFilesTest, HandlesAreNeverReusedUntilReleased) {
    WriteAll(Path("r.txt"), "a\n");
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 0);
    m_host->FindFileClose(0);
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 1);
    EXPECT_EQ(m_host->FindFileIsFolder(0), -1);
    EXPECT_EQ(m_host->FindFileIsFolder(99), -1);
    int32_t txt = m_host->TxtOpen(Win("r.txt"));
    m_host->TxtSetLine(txt, 0, "unsaved");
    m_host->ReleaseScriptHandles();
    m_host->TxtSave(txt);
    EXPECT_EQ(ReadAll(Path("r.txt")), "a\n");
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 0);
    EXPECT_EQ(m_host->TxtOpen(Win("r.txt")), 0);
}

TEST_F(CHostFilesTest, TextRecordsSaveEveryLineWithCrLf) {
    WriteAll(Path("a.txt"), "one\ntwo\r\n\nlast");
    int32_t h = m_host->TxtOpen(Win("a.txt"));
    m_host->TxtInsertLine(h, 4, "new"); // at the count: appended
    m_host->TxtInsertLine(h, 6, "out of range");
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("a.txt")), "one\r\ntwo\r\n\r\nlast\r\nnew\r\n");
    EXPECT_EQ(m_host->TxtFindLine(h, "ONE", false), 0);
    EXPECT_EQ(m_host->TxtFindLine(h, "ONE", true), -1);
    EXPECT_EQ(m_host->TxtFindLine(h, "lastX", false), -1);
}

TEST_F(CHostFilesTest, AFailedSaveKeepsTheFileAndTheRecord) {
    WriteAll(Path("s.txt"), "a\r\n");
    int32_t h = m_host->TxtOpen(Win("s.txt"));
    ::unlink(Path("s.txt").c_str());
    ::mkdir(Path("s.txt").c_str(), 0777); // the path cannot take a file now
    m_host->TxtSetLine(h, 0, "b");
    m_host->TxtSave(h);
    ::rmdir(Path("s.txt").c_str());
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("s.txt")), "b\r\n");
}

} // namespace
} // namespace cva::test
