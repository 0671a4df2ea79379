// The mixed-item plugins: Internet Explorer connection limits (a box that switches two
// spin fields through OnEvent) and the shut-down waiting times (box, spins, slider).
#include "core/pages/PropertyPageMulti.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using IeConnectionsPlugin = PluginOnTarget;
using ShutdownPlugin = PluginOnTarget;

namespace {

bool Enabled(pages::CPropertyPageMulti& page, int index) {
    return page.Snapshot().m_items.at(static_cast<size_t>(index)).m_enabled;
}

} // namespace

TEST_F(IeConnectionsPlugin, LimitsAreAbsentByDefaultAndRemovedAgainForTheBuiltInLimits) {
    auto& page = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
    EXPECT_EQ(page.IsItemChecked(0), 1);
    EXPECT_EQ(page.GetItemText(1), "2");
    EXPECT_EQ(page.GetItemText(2), "4");
    EXPECT_FALSE(Enabled(page, 1));
    EXPECT_FALSE(Enabled(page, 2));

    ASSERT_TRUE(page.ClickItem(0));
    EXPECT_TRUE(Enabled(page, 1));
    ASSERT_TRUE(page.EditText(1, "8"));
    ASSERT_TRUE(page.EditText(2, "16"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPerServer"), 8u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPer1_0Server"), 16u);

    ASSERT_TRUE(page.ClickItem(0));
    EXPECT_EQ(page.GetItemText(1), "2"); // the fields show the built-in limits again
    EXPECT_EQ(page.GetItemText(2), "4");
    ASSERT_TRUE(page.ClickApply());
    EXPECT_FALSE(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPerServer"));
    EXPECT_FALSE(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPer1_0Server"));
}

TEST_F(IeConnectionsPlugin, EventChangingTheFieldsIsReportedOnce) {
    auto& page = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.EditText(1, "8"));
    const int before = m_plugin->Calls("OnEvent");
    // Turning the built-in limits on rewrites both fields from inside OnEvent; those
    // changes must not raise OnEvent again.
    ASSERT_TRUE(page.ClickItem(0));
    EXPECT_EQ(m_plugin->Calls("OnEvent"), before + 1);
    EXPECT_EQ(page.GetItemText(1), "2");
    EXPECT_FALSE(Enabled(page, 1));
}

TEST_F(IeConnectionsPlugin, ReopenedPageShowsTheStoredLimits) {
    {
        auto& page = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
        ASSERT_TRUE(page.ClickItem(0));
        ASSERT_TRUE(page.SpinStep(1, 3));
        ASSERT_TRUE(page.ClickApply());
    }
    auto& page = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
    EXPECT_EQ(page.IsItemChecked(0), 0);
    EXPECT_EQ(page.GetItemText(1), "5");
    EXPECT_EQ(page.GetItemText(2), "4");
    EXPECT_TRUE(Enabled(page, 1));
}

TEST_F(ShutdownPlugin, TimesAreTextAndTheServiceTimeAsksForARestart) {
    auto& page = Open("shutdown_timeouts.cvp").PageAs<pages::CPropertyPageMulti>();
    EXPECT_EQ(page.IsItemChecked(0), 0);
    EXPECT_EQ(page.GetItemText(1), "20000");
    EXPECT_EQ(page.GetItemText(2), "5000");
    EXPECT_EQ(page.GetItemText(3), "20000");
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.EditText(1, "4000"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "AutoEndTasks"), "1");
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "WaitToKillAppTimeout"), "4000");
    EXPECT_EQ(m_plugin->Logoffs(), 1);
    EXPECT_EQ(m_plugin->Restarts(), 0);

    ASSERT_TRUE(page.EditText(3, "5000"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kControl, "WaitToKillServiceTimeout"), "5000");
    EXPECT_EQ(m_plugin->Restarts(), 1);
    EXPECT_EQ(m_plugin->Logoffs(), 1);
}

TEST_F(ShutdownPlugin, SliderAndSpinValuesStayWithinTheirRanges) {
    auto& page = Open("shutdown_timeouts.cvp").PageAs<pages::CPropertyPageMulti>();
    ASSERT_TRUE(page.MoveSlider(2, 50000));
    ASSERT_TRUE(page.ReleaseSlider(2));
    ASSERT_TRUE(page.EditText(1, "500"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "HungAppTimeout"), "20000");
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "WaitToKillAppTimeout"), "1000");
}

TEST_F(IeConnectionsPlugin, EmptiedFieldStandsForTheBuiltInLimit) {
    auto& page = Open("ie_connections.cvp").PageAs<pages::CPropertyPageMulti>();
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.EditText(1, ""));
    ASSERT_TRUE(page.EditText(2, "9"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPerServer"), 2u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPer1_0Server"), 9u);
}

TEST_F(ShutdownPlugin, EmptiedFieldLeavesItsValueAlone) {
    auto& page = Open("shutdown_timeouts.cvp").PageAs<pages::CPropertyPageMulti>();
    std::string before = RegistrySnapshot(*m_target);
    ASSERT_TRUE(page.EditText(3, ""));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(ChangedLines(before, RegistrySnapshot(*m_target)), "");
    EXPECT_EQ(m_plugin->Restarts(), 0);
    EXPECT_EQ(m_plugin->Logoffs(), 0);
}
