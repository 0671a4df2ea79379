// The html guide: its "cva:N" links switch between the parts, and the state part reads
// the settings the other plugins change.
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageHtml.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using GuidePlugin = PluginOnTarget;

namespace {

bool Shows(pages::CPropertyPageHtml& page, const char* text) { return page.Html().find(text) != std::string::npos; }

} // namespace

TEST_F(GuidePlugin, OpensOnTheOverviewWithLinksToEveryPart) {
    auto& page = Open("catalogue_guide.cvp").PageAs<pages::CPropertyPageHtml>();
    EXPECT_TRUE(Shows(page, "The pages of this catalogue"));
    for (const char* link : {"\"cva:1\"", "\"cva:2\"", "\"cva:3\"", "\"cva:4\""}) EXPECT_TRUE(Shows(page, link)) << link;
}

TEST_F(GuidePlugin, LinksSwitchBetweenItsParts) {
    auto& page = Open("catalogue_guide.cvp").PageAs<pages::CPropertyPageHtml>();
    ASSERT_TRUE(page.FollowLink("cva:3"));
    EXPECT_TRUE(Shows(page, "Memory dump after a stop error: small"));
    EXPECT_TRUE(Shows(page, "Programs started at log-on: 1 for this user, 0 for all users"));
    EXPECT_TRUE(Shows(page, "Automatic logon: no"));
    ASSERT_TRUE(page.FollowLink("cva:2"));
    EXPECT_TRUE(Shows(page, "Risk levels"));
    ASSERT_TRUE(page.FollowLink("CVA:4")); // the scheme is matched without regard to case
    EXPECT_TRUE(Shows(page, "When changes take effect"));
    EXPECT_FALSE(page.FollowLink("https://example.org/")); // left to the view
    EXPECT_EQ(m_plugin->Calls("OnApply"), 3);
}

TEST_F(GuidePlugin, StatePartReflectsChangesMadeByOtherPlugins) {
    {
        auto& explorer = Open("explorer_files.cvp").PageAs<pages::CPropertyPageCheck>();
        ASSERT_TRUE(explorer.ClickItem(0));
        ASSERT_TRUE(explorer.ClickApply());
    }
    auto& page = Open("catalogue_guide.cvp").PageAs<pages::CPropertyPageHtml>();
    ASSERT_TRUE(page.FollowLink("cva:3"));
    EXPECT_TRUE(Shows(page, "File extensions shown: yes"));
    EXPECT_TRUE(Shows(page, "Hidden files shown: no"));
}

TEST_F(GuidePlugin, CountsTheStartUpProgramsTheStartUpPageLists) {
    reg::HKEY key = nullptr;
    auto& registry = m_target->Registry();
    ASSERT_EQ(registry.RegOpenKeyExA(reg::HKEY_CURRENT_USER, kRun, 0, reg::KEY_ALL_ACCESS, &key), reg::ERROR_SUCCESS);
    // Windows does not start the unnamed default value; a value named "null" it does.
    registry.RegSetValueExA(key, "", 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>("x.exe"), 6);
    registry.RegCloseKey(key);
    SetDword(reg::HKEY_LOCAL_MACHINE, kRun, "null", 1);

    auto& page = Open("catalogue_guide.cvp").PageAs<pages::CPropertyPageHtml>();
    ASSERT_TRUE(page.FollowLink("cva:3"));
    EXPECT_TRUE(Shows(page, "Programs started at log-on: 1 for this user, 1 for all users")) << page.Html();
}
