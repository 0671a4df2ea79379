// A Windows partition that is not running, as the offline target opens it.
#include "platform/target/TargetSystem.h"

#include "platform/common/TempFolder.h"
#include "platform/target/TargetRegistryReader.h"
#include "support/WindowsDisk.h"

#include <gtest/gtest.h>

using namespace cva;
using namespace cva::target;

namespace {

std::string Read(CTargetSystem& target, reg::HKEY root, const char* key, const char* name) {
    return CTargetRegistryReader(target.Registry()).ReadString(root, key, name).value_or("(none)");
}

} // namespace

TEST(OfflineTarget, ReadsTheDiskAsItsWindowsWould) {
    if (test::WindowsHives().empty())
        GTEST_SKIP() << "the Windows hives are not beside the source tree";
    test::CTempFolder temp;
    ASSERT_TRUE(test::MakeWindowsDisk(temp.Path()));
    std::string error;
    auto target = CTargetSystem::Open("offline:" + temp.Path(), error);
    ASSERT_TRUE(target) << error;

    // Only S-1-5-21 accounts are users' profiles; their folders are found whatever the case.
    ASSERT_EQ(target->OfflineProfiles().size(), 1u);
    EXPECT_EQ(target->OfflineProfiles()[0].m_name, "tester");
    EXPECT_TRUE(target->OfflineProfiles()[0].m_hasHive);
    EXPECT_EQ(target->UserName(), "tester");
    EXPECT_EQ(target->Environment().Get("USERPROFILE").value_or(""), "C:\\Users\\tester");
    EXPECT_EQ(target->ComputerName(), "WKS-WIN732BITA"); // through CurrentControlSet
    EXPECT_EQ(target->Version().m_major, 10u);
    EXPECT_EQ(target->Version().m_build, 19045u);
    EXPECT_EQ(target->ToHostPath("C:\\Windows\\System32\\config\\SAM").value_or(""),
              temp / "WINDOWS/system32/Config/SAM");

    // HKCR: the user's classes before the machine's.
    EXPECT_EQ(Read(*target, reg::HKEY_CLASSES_ROOT, ".machineonly", ""), "machine");
    EXPECT_NE(Read(*target, reg::HKEY_CLASSES_ROOT, ".3g2", ""), "machine");
    reg::HKEY classes = nullptr; // HKCU\Software\Classes is the user's classes hive
    EXPECT_EQ(target->Registry().RegOpenKeyExW(reg::HKEY_CURRENT_USER,
                                               u"Software\\Classes\\.3g2\\OpenWithProgids", 0,
                                               reg::KEY_READ, &classes),
              reg::ERROR_SUCCESS);
    target->Registry().RegCloseKey(classes);
    EXPECT_TRUE(target->Registry().IsReadOnly(reg::HKEY_LOCAL_MACHINE) == false);
    reg::HKEY sam = nullptr;
    ASSERT_EQ(
        target->Registry().RegOpenKeyExW(reg::HKEY_LOCAL_MACHINE, u"SAM", 0, reg::KEY_READ, &sam),
        reg::ERROR_SUCCESS);
    EXPECT_TRUE(target->Registry().IsReadOnly(sam));
    target->Registry().RegCloseKey(sam);

    // "Restart" is recorded, never carried out.
    std::string recorded;
    target->SetRecorder([&](const std::string& entry) { recorded += entry; });
    EXPECT_TRUE(target->Restart());
    EXPECT_NE(recorded.find("Restart of Windows requested"), std::string::npos);

    CRegistrySpec spec{TargetKind::Offline, temp.Path(), "nobody"};
    EXPECT_FALSE(CTargetSystem::Open(spec, error));
    EXPECT_NE(error.find("its profiles: tester"), std::string::npos) << error;
}
