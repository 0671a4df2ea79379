// The visual effects page: each "cva:N" link switches one effect and the page shows the
// new state at once.
#include "core/pages/PropertyPageHtml.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using VisualEffectsPlugin = PluginOnTarget;

TEST_F(VisualEffectsPlugin, LinksSwitchEachEffectAndTheTextFollows) {
    auto& page = Open("visual_effects.cvp").PageAs<pages::CPropertyPageHtml>();
    EXPECT_NE(page.Html().find("screen fonts: <b><font color=\"DarkGreen\">on"), std::string::npos) << page.Html();
    ASSERT_TRUE(page.FollowLink("cva:2"));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "FontSmoothing"), "0");
    EXPECT_NE(page.Html().find("screen fonts: <b><font color=\"Maroon\">off"), std::string::npos) << page.Html();
    ASSERT_TRUE(page.FollowLink("cva:2"));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "FontSmoothing"), "2");
    ASSERT_TRUE(page.FollowLink("cva:1"));
    ASSERT_TRUE(page.FollowLink("cva:3"));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "DragFullWindows"), "0");
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", "MinAnimate"), "0");
    EXPECT_EQ(m_plugin->Logoffs(), 0);
}
