#include "core/app/UserProfiles.h"
#include "core/app/ApplicationDlg.h"

#include "core/app/AppTestDoubles.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "support/WindowsDisk.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace cva;
using namespace cva::app;
using testdoubles::CRecordingPage;
using testdoubles::CRecordingPrompts;
using testdoubles::CRecordingView;

namespace {

constexpr const char* kUsers = "C:\\Documents and Settings\\";

class UserProfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_settings = std::make_unique<settings::CSettingsStore>(m_temp / "config");
        m_target = OpenTarget();
    }

    std::unique_ptr<target::CTargetSystem> OpenTarget() {
        std::string error;
        auto target = target::CTargetSystem::Open("sandbox:" + m_temp / "box", error);
        EXPECT_TRUE(target) << error;
        return target;
    }
    std::unique_ptr<CApplicationDlg> MakeDialog(target::CTargetSystem& target) {
        auto dlg = std::make_unique<CApplicationDlg>(
            target, *m_settings, m_prompts, SSessionRequests{}, m_temp.Path(),
            [](int index) { return std::make_unique<CRecordingPage>(index); });
        dlg->SetView(&m_view);
        dlg->BuildProfileList();
        return dlg;
    }
    void Choose(CApplicationDlg& dlg, const std::string& name) {
        dlg.m_nProfile = FindProfile(dlg.m_arrProfiles, name);
        dlg.LoadSettings();
    }
    static bool IsLoaded(target::CTargetSystem& target) {
        reg::HKEY key = nullptr;
        if (target.Registry().RegOpenKeyExA(reg::HKEY_USERS, kUserHiveMount, 0, reg::KEY_READ,
                                            &key) != reg::ERROR_SUCCESS)
            return false;
        target.Registry().RegCloseKey(key);
        return true;
    }
    std::string HiveFile(const std::string& user) const {
        return *files::ReadWholeFile(
            m_temp / ("box/drive_c/Documents and Settings/" + user + "/NTUSER.DAT"));
    }
    std::string Pane(const std::string& user) const {
        return "Profile: " + m_target->ComputerName() + "\\" + user;
    }

    test::CTempFolder m_temp;
    std::unique_ptr<settings::CSettingsStore> m_settings;
    std::unique_ptr<target::CTargetSystem> m_target;
    CRecordingPrompts m_prompts;
    CRecordingView m_view;
};

TEST_F(UserProfilesTest, SandboxListsItsOtherUsersOnceAndNoSystemProfile) {
    const std::string me = m_target->UserName();
    // LocalService has "Flags" 0 like a user; the system profile (0xc) does not.
    EXPECT_EQ(MakeDialog(*m_target)->m_arrProfiles,
              (std::vector<std::string>{me, std::string(kUsers) + "LocalService",
                                        std::string(kUsers) + "Helpdesk",
                                        std::string(kUsers) + "Administrator"}));
    // The running user's profile named in other case, and a profile without "Flags",
    // are left out.
    reg::CRegistry& registry = m_target->Registry();
    const std::string list = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    reg::HKEY key = nullptr;
    ASSERT_EQ(registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE,
                                     (list + "S-1-5-21-0-0-0-1000").c_str(), 0, reg::KEY_ALL_ACCESS,
                                     &key),
              reg::ERROR_SUCCESS);
    const std::string upper = std::string(kUsers) + text::ToUpperUtf8(me);
    registry.RegSetValueExA(key, "ProfileImagePath", 0, reg::REG_SZ,
                            reinterpret_cast<const reg::BYTE*>(upper.c_str()),
                            static_cast<reg::DWORD>(upper.size() + 1));
    registry.RegCloseKey(key);
    ASSERT_EQ(registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, (list + "S-1-5-19").c_str(), 0,
                                     reg::KEY_ALL_ACCESS, &key),
              reg::ERROR_SUCCESS);
    registry.RegDeleteValueA(key, "Flags");
    registry.RegCloseKey(key);
    EXPECT_EQ(MakeDialog(*m_target)->m_arrProfiles,
              (std::vector<std::string>{me, std::string(kUsers) + "Helpdesk",
                                        std::string(kUsers) + "Administrator"}));
}

TEST_F(UserProfilesTest, WinePrefixHasOnlyTheRunningUser) {
    const std::string prefix = m_temp / "prefix";
    test::MakeWineShapedPrefix(prefix);
    // The profile entry Wine makes for the Unix login.
    std::ofstream(prefix + "/system.reg", std::ios::app)
        << "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList] 1700000000\n"
           "\"ProfilesDirectory\"=str(2):\"C:\\\\users\"\n\n"
           "[Software\\\\Microsoft\\\\Windows "
           "NT\\\\CurrentVersion\\\\ProfileList\\\\S-1-5-21-0-0-0-1000] 1700000000\n"
           "\"Flags\"=dword:00000000\n\"ProfileImagePath\"=\"C:\\\\users\\\\"
        << m_target->UserName() << "\"\n";
    std::string error;
    auto wine = target::CTargetSystem::Open("wine:" + prefix, error);
    ASSERT_TRUE(wine) << error;
    EXPECT_EQ(ReadProfileList(*wine, wine->UserName()), std::vector<std::string>{wine->UserName()});
    EXPECT_EQ(ReadProfileList(*wine, "other"),
              (std::vector<std::string>{"other", "C:\\users\\" + wine->UserName()}));
}

TEST_F(UserProfilesTest, ChosenUserTakesEveryHkcuPathUntilTheRunningUserIsChosenAgain) {
    auto dlg = MakeDialog(*m_target);
    EXPECT_EQ(m_view.profile, Pane(m_target->UserName()));
    Choose(*dlg, "helpdesk");
    ASSERT_NE(dlg->m_hUserHive, nullptr);
    EXPECT_EQ(m_view.profile, Pane("Helpdesk"));

    // A page's routine writes through the host; its end saves the user's own file.
    const std::string plugin = m_temp / "p.cvp";
    std::ofstream(plugin)
        << "[settings]\r\ncaption=T::P\r\n[interface]\r\ntype=check\r\n[script]\r\n"
           "Sub OnInit\r\n  RegWriteValueS \"HKCU\\Software\\CvaProfile\\v\", \"x\"\r\n"
           "  RegWriteValueS \"HKEY_CURRENT_USER\\Software\\CvaProfile\\w\", \"y\"\r\n"
           "End Sub\r\n";
    dlg->m_plugins.push_back({plugin, 0, 0});
    ASSERT_TRUE(dlg->LoadPlugin(0));
    EXPECT_NE(HiveFile("Helpdesk").find("[Software\\\\CvaProfile]"), std::string::npos);
    EXPECT_NE(HiveFile("Helpdesk").find("\"w\"=\"y\""), std::string::npos);
    EXPECT_EQ(files::ReadWholeFile(m_temp / "box/user.reg")->find("CvaProfile"), std::string::npos);

    Choose(*dlg, m_target->UserName());
    EXPECT_EQ(dlg->m_hUserHive, nullptr);
    EXPECT_FALSE(IsLoaded(*m_target));
    EXPECT_EQ(m_view.profile, Pane(m_target->UserName()));
    // A profile whose hive cannot be loaded gives way to the running user, silently.
    Choose(*dlg, "LocalService");
    EXPECT_EQ(dlg->m_nProfile, 0);
    EXPECT_EQ(dlg->ProfileLoadError(), reg::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(m_view.profile, Pane(m_target->UserName()));
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(UserProfilesTest, OptionsOkLoadsTheChosenUserAndOpensTheOpenPageAgainForThem) {
    auto dlg = MakeDialog(*m_target);
    const std::string plugin = m_temp / "p.cvp";
    std::ofstream(plugin)
        << "[settings]\r\ncaption=T::P\r\n[interface]\r\ntype=check\r\n[script]\r\n"
           "Sub OnInit\r\n  RegWriteValueS \"HKCU\\Software\\CvaOpened\\v\", \"x\"\r\nEnd Sub\r\n";
    dlg->m_plugins.push_back({plugin, 0, 0});
    ASSERT_TRUE(dlg->LoadPlugin(0));
    ASSERT_EQ(HiveFile("Helpdesk").find("CvaOpened"), std::string::npos);

    dlg->OnOptionsOk(FindProfile(dlg->m_arrProfiles, "Helpdesk"));
    EXPECT_NE(HiveFile("Helpdesk").find("CvaOpened"), std::string::npos);
    EXPECT_EQ(m_view.profile, Pane("Helpdesk"));
    // "My Computer" keeps the chosen user.
    dlg->OnOptionsOk(std::nullopt);
    EXPECT_EQ(m_view.profile, Pane("Helpdesk"));
    EXPECT_NE(dlg->m_hUserHive, nullptr);
}

TEST_F(UserProfilesTest, AnOfflineDiskOffersItsOtherUsersAndLoadsTheirWindowsHive) {
    if (test::WindowsHives().empty())
        GTEST_SKIP() << "the Windows hives are not beside the source tree";
    const std::string disk = m_temp / "disk";
    ASSERT_TRUE(test::MakeWindowsDisk(disk));
    std::filesystem::create_directories(disk + "/users/Bob");
    std::filesystem::copy_file(test::WindowsHives() + "/NTUSER.DAT",
                               disk + "/users/Bob/NTUSER.DAT");
    std::string error;
    auto open = [&](const std::string& profile) {
        auto target = target::CTargetSystem::Open(
            target::CRegistrySpec{target::TargetKind::Offline, disk, profile}, error);
        EXPECT_TRUE(target) << error;
        return target;
    };
    {
        auto target = open("");
        reg::HKEY key = nullptr;
        target->Registry().RegCreateKeyExA(
            reg::HKEY_LOCAL_MACHINE,
            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1002", 0,
            nullptr, 0, reg::KEY_ALL_ACCESS, nullptr, &key, nullptr);
        const std::string path = "%SystemDrive%\\Users\\Bob";
        target->Registry().RegSetValueExA(key, "ProfileImagePath", 0, reg::REG_EXPAND_SZ,
                                          reinterpret_cast<const reg::BYTE*>(path.c_str()),
                                          static_cast<reg::DWORD>(path.size() + 1));
        target->Registry().RegCloseKey(key);
        ASSERT_TRUE(target->SaveChanges(&error)) << error;
    }
    auto target = open("");
    auto dlg = MakeDialog(*target);
    // Entry 0 is the user whose hive is HKCU; the disk's ProfileList has no "Flags".
    EXPECT_EQ(dlg->m_arrProfiles, (std::vector<std::string>{"tester", "C:\\Users\\Bob"}));
    Choose(*dlg, "bob");
    ASSERT_NE(dlg->m_hUserHive, nullptr);
    ASSERT_EQ(target->Registry().RegSetValueExA(dlg->m_hUserHive, "CvaBob", 0, reg::REG_SZ,
                                                reinterpret_cast<const reg::BYTE*>("1"), 2),
              reg::ERROR_SUCCESS);
    Choose(*dlg, "tester");
    EXPECT_FALSE(IsLoaded(*target));
    dlg.reset();
    target.reset();
    auto hasValue = [](target::CTargetSystem& system) {
        return system.Registry().RegQueryValueExA(reg::HKEY_CURRENT_USER, "CvaBob", nullptr,
                                                  nullptr, nullptr, nullptr) == reg::ERROR_SUCCESS;
    };
    EXPECT_TRUE(hasValue(*open("Bob")));
    EXPECT_FALSE(hasValue(*open("tester")));
}

TEST_F(UserProfilesTest, AHiveThatCannotBeSavedIsReportedAndStaysLoadedWithItsChanges) {
    auto dlg = MakeDialog(*m_target);
    Choose(*dlg, "Administrator");
    reg::CRegistry& registry = m_target->Registry();
    ASSERT_EQ(registry.RegSetValueExA(dlg->m_hUserHive, "kept", 0, reg::REG_SZ,
                                      reinterpret_cast<const reg::BYTE*>("1"), 2),
              reg::ERROR_SUCCESS);
    registry.SetSaveGuard([] { return std::string("held"); });
    Choose(*dlg, m_target->UserName());
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text, " failed with error 5: Access is denied.");
    EXPECT_EQ(m_prompts.messages[0].caption, "Error");
    EXPECT_TRUE(IsLoaded(*m_target));

    registry.SetSaveGuard({});
    dlg->LoadSettings();
    EXPECT_FALSE(IsLoaded(*m_target));
    EXPECT_NE(HiveFile("Administrator").find("\"kept\"=\"1\""), std::string::npos);
}

TEST_F(UserProfilesTest, AHiveLeftLoadedByARunThatEndedIsUnloadedAtTheNextStart) {
    {
        auto dlg = MakeDialog(*m_target);
        Choose(*dlg, "Helpdesk");
        // While that run lives, nobody else can load under its name.
        auto other = OpenTarget();
        EXPECT_FALSE(IsLoaded(*other));
        EXPECT_EQ(other->Registry().RegLoadKeyA(reg::HKEY_USERS, kUserHiveMount,
                                                (m_temp / "box/user.reg").c_str()),
                  reg::ERROR_ALREADY_EXISTS);
        // The run ends without unloading.
        dlg.reset();
        m_target.reset();
    }
    m_target = OpenTarget();
    EXPECT_TRUE(IsLoaded(*m_target));
    auto dlg = MakeDialog(*m_target);
    EXPECT_FALSE(IsLoaded(*m_target));
    EXPECT_FALSE(IsLoaded(*OpenTarget()));
}

} // namespace
