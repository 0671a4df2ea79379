#include "core/script/HostProxy.h"

#include "core/app/AppTestDoubles.h"
#include "platform/common/TempFolder.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <gtest/gtest.h>

#include <memory>

using namespace cva;
using namespace cva::script;
using testdoubles::CRecordingPage;
using testdoubles::CRecordingPrompts;

namespace {

class HostSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<test::CTempFolder>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + *s_folder / "sandbox", error);
        ASSERT_TRUE(s_target) << error;
        // Nothing a test starts may reach the desktop.
        s_target->SetLaunchers({"/bin/true", "/bin/true"}, "/bin/true");
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_folder.reset();
    }

    void SetUp() override {
        m_host = std::make_unique<CHost_Proxy>(*s_target, true);
        m_host->SetMainWindow(&m_owner);
        ASSERT_TRUE(m_host->CreateEngine(u"vbScript"));
        m_owner.page = &m_page;
    }

    // Runs the body as a function and gives its value as text.
    std::string Eval(const std::string& expression) {
        std::string script =
            "Function Probe\r\n Probe = CStr(" + expression + ")\r\nEnd Function\r\n";
        if (!m_host->ParseScript(text::Utf8ToUtf16(script))) return "<parse error>";
        vbs::Variant result;
        if (m_host->CallRoutine(u"Probe", {}, &result) != S_OK) return "<error>";
        return text::Utf16ToUtf8(result.AsString().View());
    }
    uint32_t Run(const std::string& statements) {
        std::string script = "Sub Probe\r\n" + statements + "\r\nEnd Sub\r\n";
        if (!m_host->ParseScript(text::Utf8ToUtf16(script))) return E_FAIL;
        return m_host->CallRoutine(u"Probe");
    }

    static std::unique_ptr<test::CTempFolder> s_folder;
    static std::unique_ptr<target::CTargetSystem> s_target;
    testdoubles::CRecordingOwner m_owner;
    CRecordingPage m_page{1};
    std::unique_ptr<CHost_Proxy> m_host;
};

std::unique_ptr<test::CTempFolder> HostSystemTest::s_folder;
std::unique_ptr<target::CTargetSystem> HostSystemTest::s_target;

// --- Item functions ---------------------------------------------------------------------

TEST_F(HostSystemTest, ItemCallsReachTheCurrentPageUnchanged) {
    ASSERT_EQ(Run("SetItemText 3, \"t\"\r\nSetItemTextEx 1, 2, \"sub\"\r\nCheckItem 4, True\r\n"
                  "EnableItem 5, False\r\nSetItemData 6, 70000\r\nSetCurSel 7, -2"),
              S_OK);
    EXPECT_EQ(m_page.texts[3], "t");
    EXPECT_EQ((m_page.subTexts[{1, 2}]), "sub");
    EXPECT_NE(m_page.checks[4], 0);
    EXPECT_EQ(m_page.enabled[5], 0);
    EXPECT_EQ(m_page.datas[6], 70000);
    EXPECT_EQ(m_page.selections[7], -2);
    m_page.itemCount = 9;
    EXPECT_EQ(Eval("GetItemText(3) & GetItemTextEx(1, 2) & GetItemData(6) & GetCurSel(7) & "
                   "GetItemCount()"),
              "tsub70000-29");
    EXPECT_EQ(Eval("ScriptHost.getitemtext(3)"), "t");
}

TEST_F(HostSystemTest, IsItemCheckedIsTrueForAnyNonZeroAnswer) {
    m_page.checks[0] = 0;
    m_page.checks[1] = -1;
    m_page.checks[2] = 5;
    EXPECT_EQ(Eval("IsItemChecked(0) & IsItemChecked(1) & IsItemChecked(2)"), "FalseTrueTrue");
}

TEST_F(HostSystemTest, WithoutAPageItemCallsGiveTheirNeutralAnswers) {
    m_owner.page = nullptr;
    EXPECT_EQ(Run("SetItemText 0, \"x\"\r\nCheckItem 0, 1\r\nDisableWindow"), S_OK);
    EXPECT_EQ(Eval("IsItemChecked(0) & \"|\" & GetCurSel(0) & \"|\" & GetItemCount() & \"|\" & "
                   "GetItemData(0) & "
                   "\"|\" & GetItemText(0) & GetItemTextEx(0, 0)"),
              "True|-1|0|0|");
    m_host->SetMainWindow(nullptr);
    EXPECT_EQ(Eval("IsItemChecked(0) & GetCurSel(0)"), "True-1");
}

TEST_F(HostSystemTest, DisableWindowTurnsOffControlsAndWindow) {
    ASSERT_EQ(Run("DisableWindow"), S_OK);
    EXPECT_FALSE(m_page.ControlsEnabled());
    EXPECT_FALSE(m_page.IsWindowEnabled());
}

// --- Dialogs ----------------------------------------------------------------------------

TEST_F(HostSystemTest, MsgShowsTheStyleAndReturnsTheButton) {
    m_owner.prompts.answers = {6, 7};
    EXPECT_EQ(Eval("Msg(\"Apply now?\", &h24) & Msg(\"Again\", 4 + 32)"), "67");
    ASSERT_EQ(m_owner.prompts.messages.size(), 2u);
    EXPECT_EQ(m_owner.prompts.messages[0].text, "Apply now?");
    EXPECT_EQ(m_owner.prompts.messages[0].caption, "Corvanta");
    EXPECT_EQ(m_owner.prompts.messages[0].style, 0x24u);
}

TEST_F(HostSystemTest, MsgStyleAbove32767IsAnOverflowBeforeAnythingIsShown) {
    EXPECT_NE(Run("Msg \"never\", 40000"), S_OK);
    ASSERT_EQ(m_owner.prompts.messages.size(), 1u);
    EXPECT_EQ(m_owner.prompts.messages[0].text.find("never"), std::string::npos);
    EXPECT_NE(m_owner.prompts.messages[0].text.find("Error:6 "), std::string::npos);
}

TEST_F(HostSystemTest, InputBox1ReturnsLineOneOrEmptyWhenCancelled) {
    m_owner.prompts.inputAnswers = {std::nullopt, app::SInputBoxResult{"typed", ""}};
    EXPECT_EQ(Eval("\"[\" & InputBox1(\"Title\", \"Say\", \"Name:\", \"def\", 3) & \"]\""), "[]");
    ASSERT_EQ(m_owner.prompts.inputRequests.size(), 1u);
    const app::SInputBoxRequest& request = m_owner.prompts.inputRequests[0];
    EXPECT_EQ(request.m_caption, "Title");
    EXPECT_EQ(request.m_description, "Say");
    EXPECT_EQ(request.m_label1, "Name:");
    EXPECT_EQ(request.m_text1, "def");
    EXPECT_TRUE(request.m_label2.empty());
    EXPECT_FALSE(request.m_allowEmpty1);
    EXPECT_EQ(request.m_browse1, app::EInputBrowse::None);
    EXPECT_EQ(Eval("InputBox1(\"T\", \"D\", \"L\", \"def\", 0)"), "typed");
}

// --- Programs, objects and the session --------------------------------------------------

TEST_F(HostSystemTest, ExeAlwaysAnswersZero) {
    EXPECT_EQ(Eval("Exe(\"open\", \"C:\\nothing\\here.exe\", \"/x\") & Exe(\"open\", "
                   "\"notepad.exe\", \"\")"),
              "00");
}

TEST_F(HostSystemTest, CreateActiveXAnswersNothing) {
    EXPECT_EQ(Eval("CreateActiveX(\"Scripting.FileSystemObject\") Is Nothing"), "True");
    EXPECT_EQ(Eval("CreateActiveX(\"No.Such.Thing\") Is Nothing"), "True");
}

TEST_F(HostSystemTest, RestartAndLogoffCountEachCall) {
    ASSERT_EQ(Run("Restart\r\nRestart\r\nLogoff\r\nNotifySettingChange 0\r\nNotifySettingChange 1"),
              S_OK);
    EXPECT_EQ(m_owner.restarts, 2);
    EXPECT_EQ(m_owner.logoffs, 1);
    EXPECT_EQ(m_owner.quits, 0);
}

TEST_F(HostSystemTest, QuitAppPostsTheQuitAndTheRoutineGoesOn) {
    ASSERT_EQ(Run("QuitApp\r\nSetItemText 0, \"after\""), S_OK);
    EXPECT_EQ(m_owner.quits, 1);
    EXPECT_EQ(m_page.texts[0], "after");
}

TEST_F(HostSystemTest, GetWinVerMapsVersionCodesToScriptNumbers) {
    const int expected[] = {0, 0, 1, 3, 5, 2, 4, 6, 7, 8};
    for (int code = 0; code < 10; ++code) {
        m_host->m_nWindowsVersion = code;
        EXPECT_EQ(m_host->GetWinVer(), expected[code]) << code;
    }
    m_host->m_nWindowsVersion = 42;
    EXPECT_EQ(m_host->GetWinVer(), 0);
    m_host->m_nWindowsVersion = s_target->WindowsVersionCode();
    EXPECT_EQ(Eval("GetWinVer()"), "6");
}

} // namespace
