// The main window keeps one page object per kind: a plugin opened after another of the
// same kind must show and apply only its own items, whatever the previous script did.
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMulti.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using PageReuse = PluginOnTarget;

TEST_F(PageReuse, CheckPageShowsOnlyTheItemsOfTheNextPlugin) {
    auto& explorer = Open("explorer_files.cvp").PageAs<pages::CPropertyPageCheck>();
    ASSERT_TRUE(explorer.ClickItem(2));
    auto* page = &explorer;

    auto& paging = Open("memory_paging.cvp").PageAs<pages::CPropertyPageCheck>();
    ASSERT_EQ(&paging, page);
    pages::SPageSnapshot snapshot = paging.Snapshot();
    EXPECT_TRUE(snapshot.m_items[1].m_visible);
    EXPECT_FALSE(snapshot.m_items[2].m_visible);
    EXPECT_EQ(snapshot.m_items[2].m_checked, 0); // the explorer plugin's tick is gone
    EXPECT_FALSE(paging.IsApplyEnabled());
    EXPECT_FALSE(paging.ClickItem(2));
    ASSERT_TRUE(paging.ClickItem(1));
    ASSERT_TRUE(paging.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kMemory, "DisablePagingExecutive"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "ShowSuperHidden"), 0u);
}

TEST_F(PageReuse, ItemsDisabledByOneScriptAreEnabledForTheNext) {
    auto& ie = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
    ASSERT_FALSE(ie.Snapshot().m_items[1].m_enabled); // the built-in limits are on
    auto* page = &ie;

    auto& shutdown = Open("shutdown_timeouts.cvp").PageAs<pages::CPropertyPageMulti>();
    ASSERT_EQ(&shutdown, page);
    pages::SPageSnapshot snapshot = shutdown.Snapshot();
    EXPECT_EQ(snapshot.m_items[1].m_kind, "spin");
    EXPECT_TRUE(snapshot.m_items[1].m_enabled);
    EXPECT_EQ(snapshot.m_items[2].m_kind, "slider");
    EXPECT_EQ(snapshot.m_items[1].m_min, 1000);
    EXPECT_EQ(shutdown.GetItemText(1), "20000");
    ASSERT_TRUE(shutdown.EditText(1, "8000"));
    ASSERT_TRUE(shutdown.ClickApply());
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "WaitToKillAppTimeout"), "8000");
}

TEST_F(PageReuse, ListLosesTheRowsAndCheckBoxesOfTheChecklist) {
    auto& autorun = Open("autorun_drives.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(autorun.GetItemCount(), 8);
    ASSERT_TRUE(autorun.SelectRow(3));
    auto* page = &autorun;

    auto& startup = Open("startup_run.cvp").PageAs<pages::CPropertyPageList>();
    ASSERT_EQ(&startup, page);
    EXPECT_FALSE(startup.HasCheckBoxes());
    ASSERT_EQ(startup.GetItemCount(), 1);
    EXPECT_EQ(startup.GetItemText(0), "ctfmon.exe");
    EXPECT_EQ(startup.SelectedRow(), -1);
    // Remove with the checklist's selection gone asks for a row instead of removing one.
    ASSERT_TRUE(startup.ClickButton(0));
    EXPECT_EQ(m_plugin->Prompts().m_messages.size(), 1u);
    EXPECT_TRUE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
}
