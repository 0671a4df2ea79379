#include "core/script/HostProxy.h"

#include "core/app/AppTestDoubles.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"
#include "platform/registry/Registry.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace cva;
using namespace cva::script;
using testdoubles::CRecordingPrompts;

namespace {

// The engine side of the host: parsing, calling routines, the error messages and the
// saving of changed hives.
class HostScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_temp = std::make_unique<test::CTempFolder>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + *s_temp / "sandbox", error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_temp.reset();
    }

    void SetUp() override {
        m_target = s_target.get();
        m_host = std::make_unique<CHost_Proxy>(*m_target, true);
        m_host->SetMainWindow(&m_owner);
        ASSERT_TRUE(m_host->CreateEngine(u"VBSCRIPT"));
    }

    bool Parse(const std::string& text) { return m_host->ParseScript(text::Utf8ToUtf16(text)); }
    const std::vector<CRecordingPrompts::SMessage>& Messages() { return m_owner.prompts.messages; }

    static std::unique_ptr<test::CTempFolder> s_temp;
    static std::unique_ptr<target::CTargetSystem> s_target;
    target::CTargetSystem* m_target = nullptr;
    testdoubles::CRecordingOwner m_owner;
    std::unique_ptr<CHost_Proxy> m_host;
};

std::unique_ptr<test::CTempFolder> HostScriptTest::s_temp;
std::unique_ptr<target::CTargetSystem> HostScriptTest::s_target;

TEST_F(HostScriptTest, OnlyVbScriptMakesAnEngine) {
    EXPECT_FALSE(m_host->CreateEngine(u"JScript"));
    EXPECT_FALSE(m_host->HasEngine());
    EXPECT_FALSE(Parse("x = 1\n"));
    EXPECT_EQ(m_host->CallRoutine(u"OnInit"), E_FAIL);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HostScriptTest, MissingRoutineIsUnknownNameAndSilent) {
    ASSERT_TRUE(Parse("Sub OnInit\nEnd Sub\n"));
    EXPECT_EQ(m_host->CallRoutine(u"OnApply"), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(m_host->CallRoutine(u""), E_FAIL);
    EXPECT_EQ(m_host->CallRoutine(u"oninit"), S_OK);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HostScriptTest, RunTimeErrorInACalledHelperShowsTheHelpersLine) {
    ASSERT_TRUE(Parse("Sub Helper\n"
                      " Dim a(1)\n"
                      " a(5) = 1\n"
                      "End Sub\n"
                      "Sub OnApply(x, y)\n"
                      " Helper\n"
                      "End Sub\n"));
    vbs::Variant args[] = {vbs::Variant(int32_t{1}), vbs::Variant(int32_t{2})};
    EXPECT_EQ(m_host->CallRoutine(u"OnApply", args), 0x800A0009u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text,
              "Subscript out of range\nSrc: VBScript runtime error\nLine:2 Error:9 Scode:800a0009");
    EXPECT_EQ(Messages()[0].caption, "Corvanta");
}

TEST_F(HostScriptTest, ErrorInTopLevelCodeFailsTheParseOnce) {
    EXPECT_FALSE(Parse("Dim x\nx = 1 / 0\n"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].text.find("Line:1 Error:11 Scode:800a000b"), std::string::npos)
        << Messages()[0].text;
}

TEST_F(HostScriptTest, StatusCodeIsLowerCaseHexWithoutPadding) {
    vbs::ScriptErrorInfo error;
    error.description = u"D\u00E9";
    error.source = u"S";
    error.line = 7;
    error.number = 0x1ABCD;
    error.statusCode = 0x800A0ABCu;
    EXPECT_EQ(CActiveScriptHost::FormatScriptError(error),
              "D\xC3\xA9\nSrc: S\nLine:7 Error:43981 Scode:800a0abc");
    error.statusCode = 0x1F;
    EXPECT_NE(CActiveScriptHost::FormatScriptError(error).find("Scode:1f"), std::string::npos);
}

TEST_F(HostScriptTest, ObjectErrorsKeepTheirOwnStatusCode) {
    ASSERT_TRUE(Parse("Sub OnInit\n Err.Raise vbObjectError + 5, \"Mine\", \"Broken\"\nEnd Sub\n"));
    m_host->CallRoutine(u"OnInit");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Broken\nSrc: Mine\nLine:1 Error:5 Scode:80040005");
}

TEST_F(HostScriptTest, ChangedHivesReachTheDiskAfterEveryRoutine) {
    ASSERT_TRUE(Parse("Sub OnApply(a, b)\nEnd Sub\nSub Fails\n Err.Raise 5\nEnd Sub\n"));
    auto setValue = [&](const char* name) {
        reg::HKEY key = nullptr;
        ASSERT_EQ(m_target->Registry().RegCreateKeyExA(reg::HKEY_CURRENT_USER,
                                                       "Software\\HostSaveTest", 0, nullptr, 0,
                                                       reg::KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  reg::ERROR_SUCCESS);
        const char data[] = "v";
        m_target->Registry().RegSetValueExA(key, name, 0, reg::REG_SZ,
                                            reinterpret_cast<const reg::BYTE*>(data), sizeof data);
        m_target->Registry().RegCloseKey(key);
    };
    auto userHive = [&] { return files::ReadWholeFile(*s_temp / "sandbox/user.reg").value_or(""); };

    setValue("AfterApply");
    vbs::Variant args[] = {vbs::Variant(int32_t{0}), vbs::Variant(int32_t{0})};
    m_host->CallRoutine(u"OnApply", args);
    EXPECT_NE(userHive().find("AfterApply"), std::string::npos);

    setValue("AfterFailure");
    EXPECT_NE(m_host->CallRoutine(u"Fails"), S_OK);
    EXPECT_NE(userHive().find("AfterFailure"), std::string::npos);
}

TEST_F(HostScriptTest, HiveThatCannotBeSavedIsReportedOnce) {
    test::CTempFolder own;
    std::string error;
    auto target = target::CTargetSystem::Open("sandbox:" + own / "sandbox", error);
    ASSERT_TRUE(target) << error;
    CHost_Proxy host(*target, true);
    host.SetMainWindow(&m_owner);
    ASSERT_TRUE(host.CreateEngine(u"vbScript"));
    ASSERT_TRUE(host.ParseScript(u"Sub OnApply(a, b)\nEnd Sub\n"));
    // A folder where the hive file was: the new file cannot be renamed over it.
    std::filesystem::remove(own / "sandbox/user.reg");
    std::filesystem::create_directory(own / "sandbox/user.reg");
    reg::HKEY key = nullptr;
    ASSERT_EQ(target->Registry().RegCreateKeyExA(reg::HKEY_CURRENT_USER, "Software\\Lost", 0,
                                                 nullptr, 0, reg::KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr),
              reg::ERROR_SUCCESS);
    target->Registry().RegCloseKey(key);
    vbs::Variant args[] = {vbs::Variant(int32_t{0}), vbs::Variant(int32_t{0})};
    host.CallRoutine(u"OnApply", args);
    host.CallRoutine(u"OnApply", args);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text.rfind("The changes to the registry could not be saved.\n", 0), 0u);
    EXPECT_EQ(Messages()[0].style & app::MB_ICONMASK, app::MB_ICONERROR);
}

} // namespace
