// Keys: handles, enumeration, deletion, renaming, the user hive redirection, read-only
// hives, symbolic links and backups.
#include "HostRegistryFixture.h"

#include "platform/text/Unicode.h"

#include <filesystem>

namespace cva::test {
namespace {

using namespace cva::reg;

std::string Text(const std::string& s) {
    return s + std::string(1, '\0');
}

// --- Handles ------------------------------------------------------------------------------

TEST_F(HostRegistryTest, HandlesCountUpAndAreNeverReused) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "V", REG_SZ, Text("v"));
    EXPECT_EQ(0, m_host->RegOpenKey(TestKey()));
    EXPECT_EQ(1, m_host->RegOpenKey(TestKey()));
    m_host->RegCloseKey(0);
    EXPECT_EQ(0, m_host->RegValCount(0)) << "a closed handle answers neutrally";
    EXPECT_EQ("", m_host->RegEnumValue(0, 0));
    EXPECT_EQ(2, m_host->RegOpenKey(TestKey()));
    EXPECT_EQ(1, m_host->RegValCount(2));
    m_host->RegCloseKey(0);
    m_host->RegCloseKey(-1);
    m_host->RegCloseKey(77);
    EXPECT_EQ(-1, m_host->RegOpenKey(TestKey() + "\\Missing"));
}

TEST_F(HostRegistryTest, ReleaseScriptHandlesClosesKeysAndRestartsNumbering) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "V", REG_SZ, Text("v"));
    size_t before = Registry().OpenHandleCount();
    EXPECT_EQ(0, m_host->RegOpenKey(TestKey()));
    EXPECT_EQ(1, m_host->RegOpenKey(TestKey()));
    EXPECT_EQ(before + 2, Registry().OpenHandleCount());
    m_host->ReleaseScriptHandles();
    EXPECT_EQ(before, Registry().OpenHandleCount());
    EXPECT_EQ("", m_host->RegEnumValue(1, 0)) << "old numbers name nothing";
    EXPECT_EQ(0, m_host->RegOpenKey(TestKey()));
    EXPECT_EQ("V", m_host->RegEnumValue(0, 0));
}

TEST_F(HostRegistryTest, EnumerationThroughAHandle) {
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\Beta", "", REG_SZ, Text("b"));
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\alpha", "", REG_SZ, Text("a"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "", REG_SZ, Text("default"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "null", REG_SZ, Text("named null"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Last", REG_DWORD, std::string(4, '\0'));
    int16_t h = m_host->RegOpenKey(TestKey());
    ASSERT_GE(h, 0);
    EXPECT_EQ(2, m_host->RegKeyCount(h));
    EXPECT_EQ(3, m_host->RegValCount(h));
    EXPECT_EQ("alpha", m_host->RegEnumKey(h, 0));
    EXPECT_EQ("Beta", m_host->RegEnumKey(h, 1));
    EXPECT_EQ("", m_host->RegEnumKey(h, 2));
    EXPECT_EQ("", m_host->RegEnumKey(h, -1));
    EXPECT_EQ("null", m_host->RegEnumValue(h, 0)) << "the default value";
    EXPECT_EQ("null", m_host->RegEnumValue(h, 1)) << "a value really named null";
    EXPECT_EQ("Last", m_host->RegEnumValue(h, 2));
    EXPECT_EQ("", m_host->RegEnumValue(h, 3));
}

TEST_F(HostRegistryTest, OpeningARootWithABackslashCountsItsSubkeys) {
    int16_t h = m_host->RegOpenKey("HKCU\\");
    ASSERT_GE(h, 0);
    DWORD expected = 0;
    Registry().RegQueryInfoKeyA(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &expected, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(expected, 0u);
    EXPECT_EQ(static_cast<int16_t>(expected), m_host->RegKeyCount(h));
    EXPECT_TRUE(m_host->RegKeyExists("HKCU\\"));
}

// --- Deleting keys ------------------------------------------------------------------------

TEST_F(HostRegistryTest, RegDeleteKeyRemovesTheWholeTree) {
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\A\\B\\C", "v", REG_SZ, Text("1"));
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\A\\D", "v", REG_SZ, Text("1"));
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\Sibling", "v", REG_SZ, Text("1"));
    m_host->RegDeleteKey(TestKey() + "\\A");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TestSubKey() + "\\A"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, TestSubKey() + "\\Sibling"));
    EXPECT_FALSE(m_host->RegKeyExists(TestKey() + "\\A"));
}

TEST_F(HostRegistryTest, RegDeleteKeyTakesALinkInsideTheTreeAsALink) {
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\Outside", "v", REG_SZ, Text("kept"));
    auto link = [&](const std::string& at, const std::string& to) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  Registry().RegCreateKeyExA(HKEY_CURRENT_USER, (TestSubKey() + at).c_str(), 0,
                                             nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
        std::u16string target = u"\\REGISTRY\\User\\" + Registry().CurrentUserSid() + u"\\" +
                                text::Utf8ToUtf16(TestSubKey() + to);
        Registry().RegSetValueExW(key, u"SymbolicLinkValue", 0, REG_LINK,
                                  reinterpret_cast<const BYTE*>(target.data()),
                                  static_cast<DWORD>(target.size() * 2));
        Registry().RegCloseKey(key);
    };
    link("\\A\\ToOutside", "\\Outside");
    link("\\A\\Dangling", "\\Missing");
    m_host->RegDeleteKey(TestKey() + "\\A");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TestSubKey() + "\\A"))
        << "a link whose target is missing does not stop the deletion";
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, TestSubKey() + "\\Outside", "v"))
        << "what a link inside the tree points to lies outside it and stays";
}

TEST_F(HostRegistryTest, RegDeleteKeyOfABareRootDeletesNothing) {
    PutValue(HKEY_LOCAL_MACHINE, TestSubKey(), "v", REG_SZ, Text("1"));
    m_host->RegDeleteKey("HKLM\\");
    m_host->RegDeleteKey("HKLM");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, TestSubKey()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft"));
}

// --- Renaming -------------------------------------------------------------------------------

class HostRegistryRenameTest : public HostRegistryTest,
                               public ::testing::WithParamInterface<bool> {};

TEST_P(HostRegistryRenameTest, MovesTheKeyWithItsContent) {
    m_host->m_bPlatformNT = GetParam();
    PutValue(HKEY_CURRENT_USER, "Software\\CvaRenameA\\Sub", "v", REG_SZ, Text("deep"));
    PutValue(HKEY_CURRENT_USER, "Software\\CvaRenameA", "top", REG_DWORD,
             std::string("\x05\0\0\0", 4));
    m_host->RegRenameKey("HKCU", "HKCU\\Software\\CvaRenameA", "Software\\CvaRenameB");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaRenameA"));
    EXPECT_EQ(Text("deep"), GetValue(HKEY_CURRENT_USER, "Software\\CvaRenameB\\Sub", "v")->second);
    EXPECT_EQ(5, m_host->RegReadValueD("HKCU\\Software\\CvaRenameB\\top"));
    m_host->RegDeleteKey("HKCU\\Software\\CvaRenameB");
}

TEST_P(HostRegistryRenameTest, TheLongPrefixIsNotDroppedFromAKeyPath) {
    m_host->m_bPlatformNT = GetParam();
    PutValue(HKEY_CURRENT_USER, "Software\\CvaLongA", "v", REG_SZ, Text("1"));
    m_host->RegRenameKey("HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\Software\\CvaLongA",
                         "Software\\CvaLongB");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaLongA"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaLongB"));
    m_host->RegDeleteKey("HKCU\\Software\\CvaLongA");
    m_host->RegDeleteKey("HKCU\\Software\\CvaLongB");
}

TEST_P(HostRegistryRenameTest, AKeyIsNeverMovedOntoItselfOrBelowItself) {
    m_host->m_bPlatformNT = GetParam();
    PutValue(HKEY_CURRENT_USER, "Software\\CvaSelf\\Child", "v", REG_SZ, Text("kept"));
    m_host->RegRenameKey("HKCU", "Software\\CvaSelf", "software\\cvaself");
    m_host->RegRenameKey("HKCU", "Software\\CvaSelf", "Software\\CvaSelf\\Inner");
    EXPECT_EQ(Text("kept"), GetValue(HKEY_CURRENT_USER, "Software\\CvaSelf\\Child", "v")->second);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaSelf\\Inner"));
    m_host->RegDeleteKey("HKCU\\Software\\CvaSelf");
}

TEST_P(HostRegistryRenameTest, AnUnknownRootOrMissingKeyChangesNothing) {
    m_host->m_bPlatformNT = GetParam();
    PutValue(HKEY_CURRENT_USER, "Software\\CvaStay", "v", REG_SZ, Text("1"));
    m_host->RegRenameKey("HKU", "Software\\CvaStay", "Software\\CvaGone");
    m_host->RegRenameKey("HKCU", "Software\\CvaMissing", "Software\\CvaGone");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaStay"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaGone"));
    m_host->RegDeleteKey("HKCU\\Software\\CvaStay");
}

INSTANTIATE_TEST_SUITE_P(Platforms, HostRegistryRenameTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "NT" : "Win9x"; });

// --- The selected user's hive -------------------------------------------------------------

TEST_F(HostRegistryTest, HkcuGoesToTheMountedUserHiveAskedAtEveryCall) {
    std::string hiveFile =
        s_target->Folder() + "/drive_c/Documents and Settings/Helpdesk/NTUSER.DAT";
    ASSERT_TRUE(std::filesystem::exists(hiveFile));
    ASSERT_EQ(ERROR_SUCCESS, Registry().RegLoadKeyA(HKEY_USERS, "Corvanta", hiveFile.c_str()));
    HKEY hive = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              Registry().RegOpenKeyExA(HKEY_USERS, "Corvanta", 0, KEY_ALL_ACCESS, &hive));

    m_owner.m_hive = hive;
    m_host->RegWriteValueS("HKCU\\Software\\CvaRedirect\\Who", "helpdesk");
    m_host->RegWriteValueS("HKEY_CURRENT_USER\\Software\\CvaRedirect\\Long", "too");
    m_host->RegWriteValueS("HKCR\\CvaRedirect\\Who", "classes");
    EXPECT_EQ(Text("helpdesk"), GetValue(hive, "Software\\CvaRedirect", "Who")->second);
    EXPECT_EQ(Text("too"), GetValue(hive, "Software\\CvaRedirect", "Long")->second);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\CvaRedirect"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CvaRedirect")) << "HKCR is never redirected";
    EXPECT_EQ("helpdesk", m_host->RegReadValueS("HKCU\\Software\\CvaRedirect\\Who"));

    int queries = m_owner.m_hiveQueries;
    m_owner.m_hive = nullptr; // the user went back to their own profile between calls
    EXPECT_EQ("", m_host->RegReadValueS("HKCU\\Software\\CvaRedirect\\Who"));
    EXPECT_GT(m_owner.m_hiveQueries, queries);

    m_host->RegDeleteKey("HKCR\\CvaRedirect");
    Registry().RegCloseKey(hive);
    EXPECT_EQ(ERROR_SUCCESS, Registry().RegUnLoadKeyA(HKEY_USERS, "Corvanta"));
}

// --- A hive the user may only read ---------------------------------------------------------

TEST_F(HostRegistryTest, AReadOnlyHiveIsReadButNeverWritten) {
    std::string hiveFile =
        s_target->Folder() + "/drive_c/Documents and Settings/Administrator/NTUSER.DAT";
    CRegistry::CMountOptions options;
    options.m_readOnly = true;
    options.m_readOnlyReason = "test";
    options.m_allowMissing = false;
    ASSERT_EQ(ERROR_SUCCESS,
              Registry().MountHiveFile(u"User\\S-1-5-21-0-0-0-777", hiveFile, options));
    HKEY probe = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              Registry().RegOpenKeyExA(HKEY_USERS, "S-1-5-21-0-0-0-777", 0, KEY_SET_VALUE, &probe));
    ASSERT_TRUE(KeyExists(HKEY_USERS, "S-1-5-21-0-0-0-777\\Control Panel"));

    const std::string key = "HKAU\\S-1-5-21-0-0-0-777\\Control Panel";
    EXPECT_TRUE(m_host->RegKeyExists(key));
    EXPECT_GE(m_host->RegOpenKey(key), 0);
    EXPECT_EQ(1, m_host->RegValueType(key + "\\Desktop\\Wallpaper")) << "a REG_SZ, read as stored";
    Registry().TakeRefusedChanges();
    m_host->RegWriteValueS(key + "\\CvaWrite", "x");
    EXPECT_EQ(Registry().TakeRefusedChanges(), std::vector<std::string>{"test"})
        << "the refusal is kept with its reason for whoever reports the apply";
    EXPECT_FALSE(GetValue(HKEY_USERS, "S-1-5-21-0-0-0-777\\Control Panel", "CvaWrite"));
    m_host->RegDeleteKey(key);
    EXPECT_TRUE(KeyExists(HKEY_USERS, "S-1-5-21-0-0-0-777\\Control Panel"));
    m_host->RegRenameKey("HKAU", "S-1-5-21-0-0-0-777\\Control Panel", "S-1-5-21-0-0-0-777\\Moved");
    EXPECT_TRUE(KeyExists(HKEY_USERS, "S-1-5-21-0-0-0-777\\Control Panel"));
}

// --- Backups ------------------------------------------------------------------------------

TEST_F(HostRegistryTest, RegBackupKeyWithoutAFolderDoesNothing) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "v", REG_SZ, Text("1"));
    m_host->RegBackupKey(TestKey());
    EXPECT_TRUE(m_host->BackupFolder().empty());
}

TEST_F(HostRegistryTest, RegBackupKeyWritesTheKeyIntoTheBackupFolder) {
    CTempDir dir;
    m_host->SetBackupFolder(dir.File("Backups"));
    PutValue(HKEY_CURRENT_USER, TestSubKey() + "\\Sub", "Path", REG_SZ, Text("C:\\Temp"));
    m_host->RegBackupKey(TestKey());
    m_host->RegBackupKey(TestKey());
    std::string file = dir.File("Backups/" + script::CHost_Proxy::BackupFileName(TestKey()));
    EXPECT_EQ("HKCU Software CvaTest RegBackupKeyWritesTheKeyIntoTheBackupFolder.reg",
              script::CHost_Proxy::BackupFileName(TestKey()));
    std::string text = ReadAll(file);
    std::string header = "[HKEY_CURRENT_USER\\" + TestSubKey() + "]\r\n";
    EXPECT_EQ(0u, text.find("REGEDIT4\r\n\r\n" + header));
    EXPECT_NE(std::string::npos, text.find("\"Path\"=\"C:\\\\Temp\"\r\n"));
    EXPECT_EQ(text.find("REGEDIT4"), text.rfind("REGEDIT4")) << "a second backup appends";
    m_host->RegBackupKey("HKCU\\Software\\CvaNoSuchKey");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Backups/HKCU Software CvaNoSuchKey.reg")));
}

TEST_F(HostRegistryTest, RegBackupKeyOfARedirectedHkcuNamesTheCurrentUser) {
    std::string hiveFile =
        s_target->Folder() + "/drive_c/Documents and Settings/Helpdesk/NTUSER.DAT";
    ASSERT_EQ(ERROR_SUCCESS, Registry().RegLoadKeyA(HKEY_USERS, "Corvanta", hiveFile.c_str()));
    HKEY hive = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              Registry().RegOpenKeyExA(HKEY_USERS, "Corvanta", 0, KEY_ALL_ACCESS, &hive));
    m_owner.m_hive = hive;
    CTempDir dir;
    m_host->SetBackupFolder(dir.Path());
    m_host->RegWriteValueS("HKCU\\Software\\CvaBackup\\Who", "helpdesk");
    m_host->RegBackupKey("HKCU\\Software\\CvaBackup");
    std::string text = ReadAll(dir.File("HKCU Software CvaBackup.reg"));
    EXPECT_NE(std::string::npos,
              text.find("[HKEY_CURRENT_USER\\Software\\CvaBackup]\r\n\"Who\"=\"helpdesk\""));
    m_owner.m_hive = nullptr;
    Registry().RegCloseKey(hive);
    EXPECT_EQ(ERROR_SUCCESS, Registry().RegUnLoadKeyA(HKEY_USERS, "Corvanta"));
}

// --- Through a script ---------------------------------------------------------------------

TEST_F(HostRegistryTest, ScriptsCallTheFunctionsByNameInAnyCase) {
    ASSERT_TRUE(m_host->CreateEngine(u"vbScript"));
    std::u16string key = text::Utf8ToUtf16(TestKey());
    ASSERT_TRUE(m_host->ParseScript(u"Function Run()\n"
                                    u"  RegWriteValueS \"" +
                                    key +
                                    u"\\A\", \"one\"\n"
                                    u"  ScriptHost.RegWriteValueD \"" +
                                    key +
                                    u"\\B\", 2\n"
                                    u"  v = \"three\"\n"
                                    u"  RegWriteValue \"" +
                                    key +
                                    u"\\C\", v, 1\n"
                                    u"  h = regopenkey(\"" +
                                    key +
                                    u"\")\n"
                                    u"  s = \"\"\n"
                                    u"  i = 0\n"
                                    u"  Do\n"
                                    u"    n = RegEnumValue(h, i)\n"
                                    u"    If n = \"\" Then Exit Do\n"
                                    u"    s = s & n & \"=\" & RegReadValue(\"" +
                                    key +
                                    u"\\\" & n) & \";\"\n"
                                    u"    i = i + 1\n"
                                    u"  Loop\n"
                                    u"  RegCloseKey h\n"
                                    u"  Run = s & h\n"
                                    u"End Function\n"));
    vbs::Variant result;
    EXPECT_EQ(script::S_OK, m_host->CallRoutine(u"Run", {}, &result));
    EXPECT_EQ(u"A=one;B=2;C=three;0", result.AsString().View());
}

TEST_F(HostRegistryTest, AHandleKeptAcrossAPageChangeNamesNothing) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "V", REG_SZ, Text("v"));
    ASSERT_TRUE(m_host->CreateEngine(u"vbScript"));
    std::u16string key = text::Utf8ToUtf16(TestKey());
    ASSERT_TRUE(m_host->ParseScript(
        u"Dim g\n"
        u"Sub OpenIt()\n g = RegOpenKey(\"" +
        key +
        u"\")\nEnd Sub\n"
        u"Function Count()\n Count = RegValCount(g) & \"/\" & g\nEnd Function\n"));
    vbs::Variant result;
    m_host->CallRoutine(u"OpenIt");
    m_host->CallRoutine(u"OpenIt");
    ASSERT_EQ(script::S_OK, m_host->CallRoutine(u"Count", {}, &result));
    EXPECT_EQ(u"1/1", result.AsString().View());
    m_host->ReleaseScriptHandles();
    m_host->CallRoutine(u"Count", {}, &result);
    EXPECT_EQ(u"0/1", result.AsString().View());
    m_host->CallRoutine(u"OpenIt");
    m_host->CallRoutine(u"Count", {}, &result);
    EXPECT_EQ(u"1/0", result.AsString().View());
}

} // namespace
} // namespace cva::test
