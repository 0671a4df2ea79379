// Per-user plugins run for another user of the computer: the main window mounts that
// user's hive, and every HKCU path of the script goes there.
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageList.h"
#include "plugins/PluginFixture.h"

#include <filesystem>

using namespace cva;
using namespace cva::test;

namespace {

class OtherUser : public PluginOnTarget {
protected:
    void SetUp() override {
        PluginOnTarget::SetUp();
        ASSERT_TRUE(std::filesystem::exists(HiveFile()));
        ASSERT_TRUE(Mount());
        m_userHive = m_hive;
    }
    void TearDown() override {
        PluginOnTarget::TearDown();
        Unmount();
    }
    std::string HiveFile() const {
        return m_target->Folder() + "/drive_c/Documents and Settings/Helpdesk/NTUSER.DAT";
    }
    bool Mount() {
        auto& registry = m_target->Registry();
        return registry.RegLoadKeyA(reg::HKEY_USERS, "Corvanta", HiveFile().c_str()) == reg::ERROR_SUCCESS &&
               registry.RegOpenKeyExA(reg::HKEY_USERS, "Corvanta", 0, reg::KEY_ALL_ACCESS, &m_hive) ==
                   reg::ERROR_SUCCESS;
    }
    void Unmount() {
        if (!m_hive) return;
        m_target->Registry().RegCloseKey(m_hive);
        m_hive = nullptr;
        EXPECT_EQ(m_target->Registry().RegUnLoadKeyA(reg::HKEY_USERS, "Corvanta"), reg::ERROR_SUCCESS);
    }

    reg::HKEY m_hive = nullptr;
};

} // namespace

TEST_F(OtherUser, ExplorerSettingsGoToTheMountedHiveOnly) {
    auto& page = Open("explorer_files.cvp").PageAs<pages::CPropertyPageCheck>();
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(m_hive, kAdvanced, "HideFileExt"), 0u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 1u);
}

TEST_F(OtherUser, ChangesAreInTheUsersHiveFileAfterItIsUnmounted) {
    auto& page = Open("menu_delay.cvp").PageAs<pages::CPropertyPageEdit>();
    ASSERT_TRUE(page.EditText(0, "120"));
    ASSERT_TRUE(page.ClickApply());
    ClosePlugin();
    Unmount();
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "MenuShowDelay"), "400");

    ASSERT_TRUE(Mount());
    EXPECT_EQ(String(m_hive, kDesktop, "MenuShowDelay"), "120");
}

TEST_F(OtherUser, StartupListShowsAndRemovesTheUsersOwnEntries) {
    SetDword(m_hive, kRun, "HelpdeskTool", 1);
    auto& page = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(page.GetItemCount(), 2);
    int row = page.GetItemText(0) == "HelpdeskTool" ? 0 : 1;
    ASSERT_EQ(page.GetItemText(row), "HelpdeskTool");
    ASSERT_TRUE(page.SelectRow(row));
    ASSERT_TRUE(page.ClickButton(0));
    EXPECT_FALSE(Dword(m_hive, kRun, "HelpdeskTool"));
    EXPECT_EQ(page.GetItemCount(), 1);
}
