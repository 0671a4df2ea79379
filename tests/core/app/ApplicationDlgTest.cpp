#include "core/app/ApplicationDlg.h"

#include "core/app/AppCore.h"
#include "core/app/AppTestDoubles.h"
#include "platform/common/TempFolder.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace cva;
using namespace cva::app;
using testdoubles::CRecordingPage;
using testdoubles::CRecordingPrompts;
using testdoubles::CRecordingView;

namespace {

class ApplicationDlgTest : public ::testing::Test {
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
        m_settings = std::make_unique<settings::CSettingsStore>(m_temp / "config");
        m_dlg = MakeDialog();
    }

    std::unique_ptr<CApplicationDlg> MakeDialog() {
        auto dlg =
            std::make_unique<CApplicationDlg>(*s_target, *m_settings, m_prompts, SSessionRequests{},
                                              m_temp.Path(), [this](int index) {
                                                  auto page =
                                                      std::make_unique<CRecordingPage>(index);
                                                  m_pages[index] = page.get();
                                                  return page;
                                              });
        dlg->SetView(&m_view);
        return dlg;
    }

    // Writes a plugin file, appends it to the catalogue and opens it the way a tree
    // selection does.
    void Open(const std::string& bytes, const std::string& name = "test.cvp") {
        std::string path = m_temp / name;
        std::ofstream(path, std::ios::binary) << bytes;
        m_dlg->m_plugins.push_back({path, 0, 0});
        m_dlg->m_nPluginKind = KIND_NONE;
        m_dlg->m_nCurrentPlugin = -1;
        m_dlg->LoadPlugin(static_cast<int>(m_dlg->m_plugins.size()) - 1);
    }

    static std::string Plugin(const std::string& type, const std::string& script,
                              const std::string& settings = {}) {
        return "[settings]\r\ncaption=Tests::Page\r\n" + settings + "[interface]\r\ntype=" + type +
               "\r\n[script]\r\n" + script;
    }

    CRecordingPage& Page(int index) { return *m_pages.at(index); }


    static std::unique_ptr<test::CTempFolder> s_folder;
    static std::unique_ptr<target::CTargetSystem> s_target;

    test::CTempFolder m_temp;
    std::unique_ptr<settings::CSettingsStore> m_settings;
    CRecordingPrompts m_prompts;
    CRecordingView m_view;
    std::map<int, CRecordingPage*> m_pages;
    std::unique_ptr<CApplicationDlg> m_dlg;
};

std::unique_ptr<test::CTempFolder> ApplicationDlgTest::s_folder;
std::unique_ptr<target::CTargetSystem> ApplicationDlgTest::s_target;

// --- Opening a plugin -------------------------------------------------------------------

TEST_F(ApplicationDlgTest, ProfilePaneNamesTheComputerAndTheRunningUser) {
    EXPECT_EQ(m_view.profile,
              "Profile: " + s_target->ComputerName().substr(0, 15) + "\\" + s_target->UserName());
    EXPECT_FALSE(s_target->ComputerName().empty());
}

TEST_F(ApplicationDlgTest, CheckPluginShowsItsPageAndRunsOnInit) {
    Open(Plugin("check", "Sub OnInit\r\n  SetItemText 0, \"from script\"\r\nEnd Sub\r\n",
                "LEVEL=2\r\n"));
    EXPECT_EQ(m_dlg->m_nPageIndex, 1);
    EXPECT_EQ(m_dlg->m_nPluginKind, KIND_CHECK);
    EXPECT_EQ(m_dlg->m_nCurrentPlugin, 0);
    EXPECT_EQ(m_view.header, "Tests > Page");
    EXPECT_EQ(m_view.level, 2);
    EXPECT_EQ(m_view.statusTexts, (std::vector<std::string>{"Loading...", "Ready"}));
    EXPECT_EQ(Page(1).texts[0], "from script");
    EXPECT_EQ(Page(1).loadItemsCalls, 1);
    EXPECT_EQ(Page(1).afterInitCalls, 1);
    EXPECT_EQ(Page(1).PluginFile(), m_temp / "test.cvp");
    EXPECT_TRUE(m_prompts.messages.empty());
    ASSERT_EQ(m_dlg->RecentList().GetCount(), 1);
    EXPECT_EQ(m_dlg->RecentList().GetAt(0), "test.cvp");
    EXPECT_TRUE(m_view.alerts.empty());
}

TEST_F(ApplicationDlgTest, OpeningAPageShowsWhatAnotherProgramWroteMeanwhile) {
    {
        reg::CRegistry other;
        ASSERT_EQ(other.MountHiveFile(std::u16string(u"User\\") + reg::CRegistry::kDefaultUserSid,
                                      *s_folder / "sandbox/user.reg", {}),
                  reg::ERROR_SUCCESS);
        reg::HKEY key = nullptr;
        ASSERT_EQ(other.RegCreateKeyExA(reg::HKEY_CURRENT_USER, "Software\\CvaOther", 0, nullptr, 0,
                                        reg::KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  reg::ERROR_SUCCESS);
        other.RegSetValueExA(key, "v", 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>("fresh"), 6);
        other.RegCloseKey(key);
        ASSERT_EQ(other.SaveDirtyHives(), reg::ERROR_SUCCESS);
    }
    Open(Plugin("check", "Sub OnInit\r\n  SetItemText 0, RegReadValueS(\"HKCU\\Software\\CvaOther\\v\")\r\n"
                         "End Sub\r\n"));
    EXPECT_EQ(Page(1).texts[0], "fresh");
}

TEST_F(ApplicationDlgTest, TypeNamesChooseThePageAndTheListCheckBoxes) {
    Open(Plugin("checklist", ""));
    EXPECT_EQ(m_dlg->m_nPageIndex, 4);
    EXPECT_EQ(m_dlg->m_nPluginKind, KIND_CHECKLIST);
    EXPECT_EQ(m_view.listCheckBoxes, std::optional<bool>(true));
    Open(Plugin("LIST", ""));
    EXPECT_EQ(m_dlg->m_nPluginKind, KIND_LIST);
    EXPECT_EQ(m_view.listCheckBoxes, std::optional<bool>(false));
    Open(Plugin("Checkbox", ""));
    EXPECT_EQ(m_dlg->m_nPageIndex, 1);
    EXPECT_EQ(m_dlg->m_nPluginKind, KIND_CHECK);
}

TEST_F(ApplicationDlgTest, UnknownTypeShowsTheStartPageWithoutScript) {
    Open("[settings]\r\ncaption=Shown::Never\r\nLEVEL=4\r\n#=text\r\n[interface]\r\ntype="
         "wizard\r\n[script]\r\n"
         "Sub OnInit\r\n Msg \"ran\", 0\r\nEnd Sub\r\n");
    EXPECT_EQ(m_dlg->m_nPageIndex, 0);
    EXPECT_EQ(m_dlg->m_nCurrentPlugin, -1);
    EXPECT_EQ(m_view.header, "Corvanta");
    EXPECT_EQ(m_view.level, 1);
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_TRUE(m_view.alerts.empty());
    EXPECT_EQ(Page(0).loadItemsCalls, 0);
    EXPECT_EQ(m_dlg->RecentList().GetCount(), 0);
}

TEST_F(ApplicationDlgTest, MissingFileInvalidatesTheCache) {
    m_settings->WriteProfileInt("Settings", "CacheValid", 1);
    m_dlg->m_plugins.push_back({m_temp / "gone.cvp", 0, 0});
    m_dlg->LoadPlugin(0);
    EXPECT_EQ(m_settings->GetProfileInt("Settings", "CacheValid", 7), 0u);
    EXPECT_FALSE(m_dlg->m_catalogue.m_bCacheUsable);
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text.rfind("Unable to open plugin ", 0), 0u);
    EXPECT_EQ(m_prompts.messages[0].style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(m_prompts.messages[0].caption, "Corvanta");
    EXPECT_TRUE(m_view.statusTexts.empty());
    EXPECT_EQ(m_dlg->Host(), nullptr);
}

TEST_F(ApplicationDlgTest, FileThatIsNoPluginIsRefusedWithItsReason) {
    Open(Plugin("check", "Sub OnInit\r\nEnd Sub\r\n"), "good.cvp");
    std::filesystem::create_directory(m_temp / "folder.cvp");
    m_dlg->m_plugins.push_back({m_temp / "folder.cvp", 0, 0});
    std::string why;
    EXPECT_FALSE(m_dlg->LoadPlugin(1, &why));
    EXPECT_EQ(why, "the file cannot be read");
    Open("[interface]\r\ntype=check\r\n[script]\r\nSub OnInit\r\n Msg \"ran\", 0\r\nEnd Sub\r\n");
    ASSERT_EQ(m_prompts.messages.size(), 2u);
    EXPECT_EQ(m_prompts.messages[1].text,
              "Unable to open plugin " + m_temp / "test.cvp" + ": the file has no [settings] section.");
    EXPECT_EQ(m_prompts.messages[1].style & MB_ICONMASK, MB_ICONERROR);
    // The page of the plugin open before stays as it was.
    EXPECT_EQ(m_dlg->m_nPageIndex, 1);
    EXPECT_EQ(Page(1).loadItemsCalls, 1);
    EXPECT_EQ(m_view.statusTexts, (std::vector<std::string>{"Loading...", "Ready"}));

    // Named on the command line, it leaves the catalogue empty, and says why.
    m_dlg->StartCatalogue(m_temp / "test.cvp");
    EXPECT_EQ(m_prompts.messages.size(), 3u);
    EXPECT_EQ(m_dlg->Catalogue().GetFolderCount(), 0);
}

// --- Description and script text --------------------------------------------------------

TEST_F(ApplicationDlgTest, DescriptionLinesJoinAndEveryBreakKindBreaks) {
    Open("[settings]\r\n#=\"One\r\n#=Two\\r\\nThree\\nFour<br>Five\"\r\n[interface]\r\ntype="
         "edit\r\n");
    EXPECT_EQ(Page(2).Description(), "\"OneTwo\r\nThree\r\nFour\r\nFive");
    EXPECT_EQ(Page(2).afterInitCalls, 0) << "no script, no start routine";
    EXPECT_EQ(m_dlg->RecentList().GetCount(), 0);
}

TEST_F(ApplicationDlgTest, BlockCommentInsideALineJoinsItsParts) {
    Open(Plugin(
        "radio",
        "Sub OnInit\r\n SetItemText 1, \"a\" /* gone\r\n still gone */ & \"b\"\r\nEnd Sub\r\n"
        "/* unterminated stays"));
    ASSERT_EQ(m_prompts.messages.size(), 1u) << "the unterminated comment is a syntax error";
    EXPECT_EQ(Page(3).texts.count(1), 0u);
    Open(Plugin(
        "radio",
        "Sub OnInit\r\n SetItemText 1, \"a\" /* gone\r\n still gone */ & \"b\"\r\nEnd Sub\r\n"));
    EXPECT_EQ(Page(3).texts[1], "ab");
}

namespace {
std::string Scramble(std::string_view plain) {
    std::string out;
    for (char c : plain) {
        auto b = static_cast<uint8_t>(c);
        out += static_cast<char>(static_cast<uint8_t>(~static_cast<uint8_t>((b >> 2) | (b << 6))));
    }
    return out;
}
} // namespace

TEST_F(ApplicationDlgTest, EncryptedScriptRuns) {
    std::string script = Scramble("Sub OnInit") + "\r\n" + Scramble("SetItemText 2, \"secret\"") +
                         "\xFF" + Scramble(" & \"cut\"") + "\r\n" + Scramble("End Sub") + "\r\n";
    Open(Plugin("multi", script, "Encrypted=1\r\n"));
    EXPECT_TRUE(m_prompts.messages.empty()) << m_prompts.messages[0].text;
    EXPECT_EQ(Page(5).texts[2], "secret");
}

TEST_F(ApplicationDlgTest, OptionExplicitIsOnUnlessSwitchedOff) {
    const std::string script =
        "Sub OnInit\r\n undeclared = 5\r\n SetItemText 0, undeclared\r\nEnd Sub\r\n";
    Open(Plugin("html", script));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_NE(m_prompts.messages[0].text.find("Variable is undefined"), std::string::npos);
    Open(Plugin("html", script, "OPTIONEXPLICIT=0\r\n"));
    EXPECT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(Page(6).texts[0], "5");
}

TEST_F(ApplicationDlgTest, ExportLineEnablesExport) {
    Open(Plugin("check", "", "[EXPORT]\r\nKey0=HKCU\\Software\r\n"));
    EXPECT_TRUE(m_dlg->m_bHasExport);
    Open(Plugin("check", ""));
    EXPECT_FALSE(m_dlg->m_bHasExport);
}

// --- Script errors ----------------------------------------------------------------------

TEST_F(ApplicationDlgTest, SyntaxErrorNamesTheLineOfThePluginFile) {
    // The script's first line is the file's sixth; the prelude in front does not count.
    Open(Plugin("check", "Sub OnInit(\r\nEnd Sub\r\n"));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    const std::string& text = m_prompts.messages[0].text;
    EXPECT_NE(text.find("\nSrc: VBScript compilation error\nLine:6 Error:"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Scode:800a03"), std::string::npos) << text;
    EXPECT_EQ(m_prompts.messages[0].style, MB_OK | MB_SETFOREGROUND);
    EXPECT_EQ(Page(1).afterInitCalls, 1) << "the page goes on after a failed parse";

    Open(Plugin("check", "Sub OnInit(\r\nEnd Sub\r\n", "OPTIONEXPLICIT=0\r\n"));
    ASSERT_EQ(m_prompts.messages.size(), 2u);
    EXPECT_NE(m_prompts.messages[1].text.find("Line:7 "), std::string::npos)
        << m_prompts.messages[1].text;
}

TEST_F(ApplicationDlgTest, RunTimeErrorInOnInitIsShownOnceWithItsLine) {
    // Lines the reader drops (a "//" line) or joins (a block comment) still count.
    Open(Plugin("check", "Dim x\r\n// note\r\nSub OnInit /* two\r\nlines */\r\n x = 1\r\n x = x + \"a\"\r\n "
                         "SetItemText 0, \"after\"\r\nEnd Sub\r\n"));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text,
              "Type mismatch\nSrc: VBScript runtime error\nLine:11 Error:13 "
              "Scode:800a000d")
        << m_prompts.messages[0].text;
    EXPECT_EQ(Page(1).texts.count(0), 0u);
}

// --- Expert warning ---------------------------------------------------------------------

TEST_F(ApplicationDlgTest, ExpertWarningNamesTheRisk) {
    const std::string script = "Sub OnInit\r\nEnd Sub\r\n";
    Open(Plugin("check", script, "LEVEL=4\r\n"));
    ASSERT_EQ(m_view.alerts.size(), 1u);
    EXPECT_EQ(m_view.alerts[0].first, "Alert");
    EXPECT_EQ(m_view.alerts[0].second,
              "Incorrect use of this tweak page can be fatal for your system, and is "
              "recommended for experts only !");
    Open(Plugin("check", script, "LEVEL=3\r\nWarning=Back up first.\r\n"));
    ASSERT_EQ(m_view.alerts.size(), 2u);
    EXPECT_EQ(m_view.alerts[1].second,
              "Back up first.\nIncorrect use of this tweak page can be dangerous for your "
              "system, and is recommended for experts only !");
    Open(Plugin("check", script, "LEVEL=3\r\nWarning=\r\n"));
    ASSERT_EQ(m_view.alerts.size(), 3u);
    EXPECT_EQ(m_view.alerts[2].second.front(), 'I');
    Open(Plugin("check", script, "LEVEL=2\r\n"));
    EXPECT_EQ(m_view.alerts.size(), 3u);
}

TEST_F(ApplicationDlgTest, ExpertWarningFollowsOption5Bit0) {
    const std::string script = "Sub OnInit\r\nEnd Sub\r\n";
    m_settings->WriteProfileInt("settings", "Option5", 2);
    Open(Plugin("check", script, "LEVEL=4\r\n"));
    EXPECT_TRUE(m_view.alerts.empty());
    m_settings->WriteProfileInt("Settings", "Option5", 1);
    Open(Plugin("check", script, "LEVEL=4\r\n"));
    EXPECT_EQ(m_view.alerts.size(), 1u);
    Open(Plugin("check", "", "LEVEL=4\r\n"));
    EXPECT_EQ(m_view.alerts.size(), 1u) << "no script, no warning";
}

// --- Pages, handles and the host's owner ------------------------------------------------

TEST_F(ApplicationDlgTest, DisabledPageIsEnabledWhenAnotherPluginOpens) {
    Open(Plugin("edit", "Sub OnInit\r\n DisableWindow\r\nEnd Sub\r\n"));
    EXPECT_FALSE(Page(2).IsWindowEnabled());
    EXPECT_FALSE(Page(2).ControlsEnabled());
    Open(Plugin("edit", ""));
    EXPECT_TRUE(Page(2).IsWindowEnabled());
    EXPECT_TRUE(Page(2).ControlsEnabled());
}

TEST_F(ApplicationDlgTest, SecondPluginGetsAFreshEngine) {
    Open(Plugin("check", "Dim kept\r\nSub OnInit\r\n kept = \"first\"\r\nEnd Sub\r\n"));
    Open(Plugin("check",
                "Dim kept\r\nSub OnInit\r\n SetItemText 0, \"[\" & kept & \"]\"\r\nEnd Sub\r\n"));
    EXPECT_EQ(Page(1).texts[0], "[]");
}

TEST_F(ApplicationDlgTest, ClosingScriptStillReachesItsPage) {
    Open(Plugin("check", "Class Watcher\r\n Sub Class_Terminate\r\n  SetItemText 0, \"closed\"\r\n End Sub\r\n"
                         "End Class\r\nDim w\r\nSet w = New Watcher\r\n"));
    EXPECT_TRUE(Page(1).texts.empty());
    Open(Plugin("check", ""));
    EXPECT_EQ(Page(1).texts[0], "closed");
}

TEST_F(ApplicationDlgTest, RestartTwiceCountsTwiceInTheApplication) {
    CAppCore::COptions options;
    options.m_lockFolder = m_temp.Path();
    options.m_programFolder = m_temp.Path();
    CAppCore core(*m_settings, options);
    m_dlg.reset();
    m_dlg = std::make_unique<CApplicationDlg>(*s_target, *m_settings, m_prompts,
                                              SSessionRequests::FromCore(core), m_temp.Path());
    Open(Plugin("check", "Sub OnInit\r\n Restart\r\n Restart\r\n Logoff\r\nEnd Sub\r\n"));
    EXPECT_EQ(core.m_nRestartRequests, 2);
    EXPECT_EQ(core.m_nLogoffRequests, 1);
}

TEST_F(ApplicationDlgTest, QuitAppLetsTheRoutineFinish) {
    Open(Plugin("check",
                "Sub OnApply(a, b)\r\n QuitApp\r\n SetItemText 0, \"finished\"\r\nEnd Sub\r\n"));
    EXPECT_FALSE(m_dlg->IsQuitPosted());
    vbs::Variant args[] = {vbs::Variant(int32_t{0}), vbs::Variant(int32_t{0})};
    m_dlg->Host()->CallRoutine(u"OnApply", args);
    EXPECT_TRUE(m_dlg->IsQuitPosted());
    EXPECT_EQ(m_view.quitRequests, 1);
    EXPECT_EQ(Page(1).texts[0], "finished");
}

TEST_F(ApplicationDlgTest, RecentListKeepsTenNewestFirst) {
    for (int i = 0; i < 12; ++i)
        Open(Plugin("check", "Sub OnInit\r\nEnd Sub\r\n"), "p" + std::to_string(i) + ".cvp");
    ASSERT_EQ(m_dlg->RecentList().GetCount(), 10);
    EXPECT_EQ(m_dlg->RecentList().GetAt(0), "p11.cvp");
}

} // namespace
