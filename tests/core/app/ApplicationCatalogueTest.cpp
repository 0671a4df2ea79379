// The main window's logic with the real pages and catalogue: start, moving through the
// tree, applying through a page, and the history that follows.
#include "core/app/ApplicationDlg.h"

#include "core/app/AppTestDoubles.h"
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageList.h"
#include "platform/common/TempFolder.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace cva;
using namespace cva::app;
using testdoubles::CRecordingPrompts;

namespace {

class ApplicationCatalogueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<test::CTempFolder>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + *s_folder / "sandbox", error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_folder.reset();
    }

    void SetUp() override {
        std::filesystem::create_directories(m_temp / "plugins");
        m_settings = std::make_unique<settings::CSettingsStore>(m_temp / "config");
        m_settings->WriteProfileString("Settings", "PluginDir", (m_temp / "plugins").c_str());
        m_settings->WriteProfileString("Settings", "ProfileDir", m_temp.Path().c_str());
        m_settings->WriteProfileInt("Settings", "Option5", 1); // no confirmation question
    }

    void Plugin(const std::string& name, const std::string& category, const std::string& type,
                const std::string& script = "Sub OnInit()\r\nEnd Sub\r\n") {
        std::ofstream(m_temp / ("plugins/" + name), std::ios::binary)
            << "[settings]\r\ncaption=" << name << "\r\ncategory=" << category
            << "\r\nLEVEL=1\r\n[interface]\r\ntype=" << type << "\r\nText0=First\r\n[script]\r\n" << script;
    }

    std::unique_ptr<CApplicationDlg> Start(SSessionRequests requests = {}) {
        auto dlg = std::make_unique<CApplicationDlg>(*s_target, *m_settings, m_prompts, std::move(requests),
                                                     m_temp.Path(), CApplicationDlg::DefaultPageFactory());
        dlg->StartCatalogue();
        return dlg;
    }

    std::string Applied() const {
        std::ifstream in(m_temp / "applied.ini");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::unique_ptr<test::CTempFolder> s_folder;
    static std::unique_ptr<target::CTargetSystem> s_target;

    test::CTempFolder m_temp;
    std::unique_ptr<settings::CSettingsStore> m_settings;
    CRecordingPrompts m_prompts;
};

std::unique_ptr<test::CTempFolder> ApplicationCatalogueTest::s_folder;
std::unique_ptr<target::CTargetSystem> ApplicationCatalogueTest::s_target;

TEST_F(ApplicationCatalogueTest, StartShowsTheStartPageAndPagesWalkTheTree) {
    Plugin("one.cvp", "Sys::Node::One", "check");
    Plugin("two.cvp", "Sys::Node::Two", "check");
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsReady());
    // The first folder's first item is a category node: the start page, no level.
    EXPECT_EQ(dlg->m_nPageIndex, pages::PAGE_MAIN);
    EXPECT_EQ(dlg->Level(), -1);
    EXPECT_EQ(dlg->HeaderText(), kAppTitle);

    dlg->NextPage();
    ASSERT_EQ(dlg->m_nPageIndex, pages::PAGE_CHECK);
    EXPECT_EQ(dlg->m_plugins[static_cast<size_t>(dlg->m_nCurrentPlugin)].path, m_temp / "plugins/one.cvp");
    EXPECT_EQ(dlg->StatusText(), "Sys\\Node\\One : ");
    EXPECT_EQ(dlg->Level(), 1);
    dlg->NextPage();
    dlg->NextPage(); // the end of the tree keeps the selection
    EXPECT_EQ(dlg->StatusText(), "Sys\\Node\\Two : ");
    dlg->PreviousPage();
    EXPECT_EQ(dlg->StatusText(), "Sys\\Node\\One : ");
    EXPECT_FALSE(dlg->Page(pages::PAGE_MAIN)->IsVisible());
    EXPECT_TRUE(dlg->Page(pages::PAGE_CHECK)->IsVisible());
}

TEST_F(ApplicationCatalogueTest, StartNeverOpensAPluginEvenWhenTheFirstItemIsALeaf) {
    Plugin("top.cvp", "Sys::Top", "check", "Sub OnInit()\r\n Err.Raise 5\r\nEnd Sub\r\n");
    auto dlg = Start();
    EXPECT_EQ(dlg->m_nCurrentPlugin, -1);
    EXPECT_EQ(dlg->ScriptErrorCount(), 0);
    EXPECT_TRUE(m_prompts.messages.empty());
    dlg->OpenSelectedItem();
    EXPECT_EQ(dlg->m_nCurrentPlugin, 0);
    EXPECT_EQ(dlg->ScriptErrorCount(), 1);
}

TEST_F(ApplicationCatalogueTest, ApplyOnThePageRunsTheScriptAndRecordsTheHistory) {
    Plugin("one.cvp", "Sys::One", "check",
           "Sub OnInit()\r\nEnd Sub\r\nSub OnApply(b, i)\r\n RegWriteValueS \"HKCU\\Software\\CvaTest\\Flag\", "
           "CStr(IsItemChecked(0))\r\nEnd Sub\r\n");
    auto dlg = Start();
    auto* page = dynamic_cast<pages::CPropertyPageCheck*>(dlg->Page(pages::PAGE_CHECK));
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(dlg->OpenFile("ONE.cvp"), 0);
    ASSERT_TRUE(page->ClickItem(0));
    ASSERT_TRUE(page->ClickApply());
    EXPECT_EQ(dlg->ScriptErrorCount(), 0);
    EXPECT_EQ(Applied().rfind("one.cvp?", 0), 0u) << Applied();
    EXPECT_FALSE(page->IsApplyEnabled());
}

TEST_F(ApplicationCatalogueTest, DeclinedConfirmationCallsNoScript) {
    m_settings->WriteProfileInt("Settings", "Option5", 3);
    Plugin("one.cvp", "Sys::One", "check", "Sub OnInit()\r\nEnd Sub\r\nSub OnApply(b, i)\r\n Err.Raise 5\r\nEnd Sub\r\n");
    auto dlg = Start();
    ASSERT_EQ(dlg->OpenFile("one.cvp"), 0);
    auto* page = dynamic_cast<pages::CPropertyPageCheck*>(dlg->Page(pages::PAGE_CHECK));
    ASSERT_TRUE(page->ClickItem(0));
    m_prompts.answers.push_back(IDNO);
    EXPECT_FALSE(page->ClickApply());
    EXPECT_EQ(dlg->ScriptErrorCount(), 0);
    EXPECT_TRUE(Applied().empty());
    // Yes runs the routine, whose failure is counted; the history is still written.
    m_prompts.answers.push_back(IDYES);
    EXPECT_TRUE(page->ClickApply());
    EXPECT_EQ(dlg->ScriptErrorCount(), 1);
    EXPECT_FALSE(Applied().empty());
}

TEST_F(ApplicationCatalogueTest, ChecklistPluginGivesTheListPageCheckBoxes) {
    Plugin("a.cvp", "Sys::A", "checklist");
    Plugin("b.cvp", "Sys::B", "list");
    auto dlg = Start();
    auto* list = dynamic_cast<pages::CPropertyPageList*>(dlg->Page(pages::PAGE_LIST));
    ASSERT_NE(list, nullptr);
    dlg->OpenFile("a.cvp");
    EXPECT_TRUE(list->HasCheckBoxes());
    dlg->OpenFile("b.cvp");
    EXPECT_FALSE(list->HasCheckBoxes());
}

TEST_F(ApplicationCatalogueTest, MissingFileInvalidatesTheCatalogueCache) {
    Plugin("one.cvp", "Sys::One", "check");
    auto dlg = Start();
    m_settings->WriteProfileInt("Settings", "CacheValid", 1);
    std::filesystem::remove(m_temp / "plugins/one.cvp");
    dlg->OpenEntry(0);
    EXPECT_EQ(m_settings->GetProfileInt("Settings", "CacheValid", 1), 0);
    EXPECT_FALSE(dlg->Catalogue().m_bCacheUsable);
    EXPECT_EQ(dlg->m_nCurrentPlugin, -1);
}

TEST_F(ApplicationCatalogueTest, ViewsRebuildTheCatalogueAndLeaveNoPluginOpen) {
    Plugin("one.cvp", "Sys::One", "check");
    Plugin("two.cvp", "Net::Two", "check");
    auto dlg = Start();
    dlg->OpenFile("two.cvp");
    dlg->ShowView(kViewApplied);
    EXPECT_EQ(dlg->Catalogue().GetFolderCount(), 0);
    EXPECT_EQ(dlg->m_nCurrentPlugin, -1);
    EXPECT_EQ(dlg->m_nPageIndex, pages::PAGE_MAIN);
    dlg->ShowView(kViewAll);
    EXPECT_EQ(dlg->Catalogue().GetFolderCount(), 2);
    ASSERT_EQ(dlg->Search("TWO").size(), 1u);
}

TEST_F(ApplicationCatalogueTest, RequestPaneFollowsTheApplicationCounters) {
    int restarts = 0;
    int logoffs = 1;
    SSessionRequests requests;
    requests.m_restartCount = [&] { return restarts; };
    requests.m_logoffCount = [&] { return logoffs; };
    auto dlg = Start(std::move(requests));
    EXPECT_EQ(dlg->RequestPane(), "LogOff");
    restarts = 1;
    EXPECT_EQ(dlg->RequestPane(), "Restart");
}

} // namespace
