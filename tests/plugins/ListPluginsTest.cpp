// The list plugins: AutoRun by drive type (rows with check boxes) and the programs
// started at log-on (rows with Remove and Refresh buttons).
#include "core/pages/PropertyPageList.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using AutoRunPlugin = PluginOnTarget;
using StartupPlugin = PluginOnTarget;

namespace {

std::string Cell(const pages::SPageSnapshot& snapshot, size_t row, size_t column) {
    if (row >= snapshot.m_rows.size() || column >= snapshot.m_rows[row].m_columns.size()) return "(none)";
    return snapshot.m_rows[row].m_columns[column];
}

} // namespace

TEST_F(AutoRunPlugin, RowsFollowTheMaskAndBothPolicyValuesAreUpdated) {
    auto& page = Open("autorun_drives.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(page.GetItemCount(), 8);
    ASSERT_TRUE(page.HasCheckBoxes());
    // 0x91: unknown type (bit 0), network (bit 4), reserved type (bit 7).
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page.IsItemChecked(i), i == 0 || i == 4 || i == 7 ? 1 : 0) << i;
    EXPECT_EQ(Cell(page.Snapshot(), 5, 1), "0x20");
    // Nothing to apply until a row changes.
    EXPECT_FALSE(page.ClickApply());

    ASSERT_TRUE(page.ToggleRowCheck(2));
    ASSERT_TRUE(page.ToggleRowCheck(5));
    ASSERT_TRUE(page.SelectRow(5));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
    EXPECT_EQ(m_plugin->Restarts(), 1); // the computer-wide policy is read at start-up
    EXPECT_EQ(m_plugin->Logoffs(), 0);
}

TEST_F(AutoRunPlugin, KeepsBitsBeyondTheDriveTypes) {
    SetDword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun", 0x01000091);
    auto& page = Open("autorun_drives.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_TRUE(page.ToggleRowCheck(0));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"), 0x01000090u);
}

TEST_F(AutoRunPlugin, UserValueAloneAsksForALogOffOnly) {
    reg::HKEY key = nullptr;
    ASSERT_EQ(m_target->Registry().RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, kPolicies, 0, reg::KEY_ALL_ACCESS, &key),
              reg::ERROR_SUCCESS);
    m_target->Registry().RegDeleteValueA(key, "NoDriveTypeAutoRun");
    m_target->Registry().RegCloseKey(key);
    SetDword(reg::HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun", 0x95);

    auto& page = Open("autorun_drives.cvp").PageAs<pages::CPropertyPageList>();
    EXPECT_EQ(page.IsItemChecked(2), 1); // read from the user's value
    ASSERT_TRUE(page.CheckAll());
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun"), 0xFFu);
    EXPECT_FALSE(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"));
    EXPECT_EQ(m_plugin->Logoffs(), 1);
    EXPECT_EQ(m_plugin->Restarts(), 0);
}

TEST_F(StartupPlugin, ListsTheRunEntriesOfUserAndComputer) {
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    EXPECT_FALSE(page.HasCheckBoxes());
    ASSERT_EQ(page.GetItemCount(), 1); // a fresh XP starts ctfmon for the user, nothing for all users
    pages::SPageSnapshot snapshot = page.Snapshot();
    EXPECT_EQ(Cell(snapshot, 0, 0), "ctfmon.exe");
    EXPECT_EQ(Cell(snapshot, 0, 1), "user");
    EXPECT_EQ(Cell(snapshot, 0, 2), "C:\\WINDOWS\\system32\\ctfmon.exe");
    EXPECT_EQ(snapshot.m_buttons[0].m_caption, "Remove");
    EXPECT_EQ(snapshot.m_buttons[1].m_caption, "Refresh");
}

TEST_F(StartupPlugin, RemovesOnlyAConfirmedEntry) {
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    auto& prompts = m_plugin->Prompts();
    ASSERT_TRUE(page.SelectRow(0));
    prompts.m_answer = app::IDNO;
    ASSERT_TRUE(page.ClickButton(0));
    ASSERT_EQ(prompts.m_messages.size(), 1u);
    EXPECT_EQ(prompts.m_messages[0].m_style, app::MB_YESNO | app::MB_ICONQUESTION);
    EXPECT_NE(prompts.m_messages[0].m_text.find("\"ctfmon.exe\""), std::string::npos);
    EXPECT_TRUE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(page.GetItemCount(), 1);

    prompts.m_answer = app::IDYES;
    ASSERT_TRUE(page.ClickButton(0));
    EXPECT_FALSE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(page.GetItemCount(), 0);
    EXPECT_EQ(page.SelectedRow(), -1);
}

TEST_F(StartupPlugin, RemoveWithoutASelectionAsksForOne) {
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    std::string before = RegistrySnapshot(*m_target);
    ASSERT_TRUE(page.ClickButton(0));
    ASSERT_EQ(m_plugin->Prompts().m_messages.size(), 1u);
    EXPECT_EQ(m_plugin->Prompts().m_messages[0].m_style, app::MB_OK | app::MB_ICONINFORMATION);
    EXPECT_EQ(ChangedLines(before, RegistrySnapshot(*m_target)), "");
}

TEST_F(StartupPlugin, RefreshShowsEntriesAddedMeanwhileAndRemovesTheRightOne) {
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    {
        reg::HKEY key = nullptr;
        auto& registry = m_target->Registry();
        ASSERT_EQ(registry.RegCreateKeyExA(reg::HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, reg::KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr),
                  reg::ERROR_SUCCESS);
        const char command[] = "C:\\Tools\\agent.exe /tray";
        registry.RegSetValueExA(key, "Agent", 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>(command),
                                sizeof command);
        registry.RegCloseKey(key);
    }
    ASSERT_TRUE(page.ClickButton(1));
    ASSERT_EQ(page.GetItemCount(), 2);
    pages::SPageSnapshot snapshot = page.Snapshot();
    EXPECT_EQ(Cell(snapshot, 1, 0), "Agent");
    EXPECT_EQ(Cell(snapshot, 1, 1), "all users");
    EXPECT_EQ(Cell(snapshot, 1, 2), "C:\\Tools\\agent.exe /tray");

    ASSERT_TRUE(page.SelectRow(1));
    ASSERT_TRUE(page.ClickButton(0));
    EXPECT_FALSE(String(reg::HKEY_LOCAL_MACHINE, kRun, "Agent"));
    EXPECT_TRUE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(page.GetItemCount(), 1);
}

TEST_F(AutoRunPlugin, KeepsTheTopBitOfTheValue) {
    SetDword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun", 0x80000091u);
    auto& page = Open("autorun_drives.cvp").PageAs<pages::CPropertyPageList>();
    EXPECT_EQ(page.IsItemChecked(0), 1);
    ASSERT_TRUE(page.ToggleRowCheck(5));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"), 0x800000B1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun"), 0x800000B1u);
}

TEST_F(StartupPlugin, NonAsciiEntriesAreListedAndRemoved) {
    const std::string name = "\xC3\x9C" "berwachung";               // "Überwachung"
    const std::string command = "C:\\Programme\\\xC3\x9C" "ber.exe"; // "C:\Programme\Über.exe"
    {
        reg::HKEY key = nullptr;
        auto& registry = m_target->Registry();
        ASSERT_EQ(registry.RegOpenKeyExA(reg::HKEY_CURRENT_USER, kRun, 0, reg::KEY_ALL_ACCESS, &key),
                  reg::ERROR_SUCCESS);
        registry.RegSetValueExA(key, name.c_str(), 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>(command.c_str()),
                                static_cast<reg::DWORD>(command.size() + 1));
        // The unnamed default value is no start-up entry: Windows does not run it.
        registry.RegSetValueExA(key, "", 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>("x.exe"), 6);
        registry.RegCloseKey(key);
    }
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(page.GetItemCount(), 2);
    int row = page.GetItemText(0) == name ? 0 : 1;
    EXPECT_EQ(page.GetItemText(row), name);
    EXPECT_EQ(Cell(page.Snapshot(), static_cast<size_t>(row), 2), command);
    ASSERT_TRUE(page.SelectRow(row));
    ASSERT_TRUE(page.ClickButton(0));
    EXPECT_FALSE(String(reg::HKEY_CURRENT_USER, kRun, name.c_str()));
    EXPECT_TRUE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(page.GetItemCount(), 1);
}

TEST_F(StartupPlugin, EntryWithABackslashInItsNameIsLeftAlone) {
    SetDword(reg::HKEY_CURRENT_USER, kRun, "Tools\\Agent", 1);
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(page.GetItemCount(), 2);
    int row = page.GetItemText(0) == "Tools\\Agent" ? 0 : 1;
    ASSERT_TRUE(page.SelectRow(row));
    ASSERT_TRUE(page.ClickButton(0));
    ASSERT_EQ(m_plugin->Prompts().m_messages.size(), 1u);
    EXPECT_EQ(m_plugin->Prompts().m_messages[0].m_style, app::MB_OK | app::MB_ICONEXCLAMATION);
    EXPECT_TRUE(Dword(reg::HKEY_CURRENT_USER, kRun, "Tools\\Agent"));
    EXPECT_EQ(page.GetItemCount(), 2);
}
