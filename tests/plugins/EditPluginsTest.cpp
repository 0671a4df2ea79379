// The edit-field plugins: menu show delay and automatic logon.
#include "core/pages/PropertyPageEdit.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using MenuDelayPlugin = PluginOnTarget;
using AutoLogonPlugin = PluginOnTarget;

TEST_F(MenuDelayPlugin, DelayIsStoredAsTextAndAnEmptyFieldMeansTheDefault) {
    auto& page = Open("menu_delay.cvp").PageAs<pages::CPropertyPageEdit>();
    EXPECT_EQ(page.GetItemText(0), "400");
    ASSERT_TRUE(page.EditText(0, "0050"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "MenuShowDelay"), "50");
    EXPECT_EQ(page.GetItemText(0), "50"); // the field shows what was stored
    EXPECT_EQ(m_plugin->Logoffs(), 1);

    ASSERT_TRUE(page.EditText(0, ""));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "MenuShowDelay"), "400");
    EXPECT_EQ(m_plugin->Prompts().m_messages.size(), 0u);
}

TEST_F(MenuDelayPlugin, DelayAboveTheLimitIsRefusedWithAMessage) {
    auto& page = Open("menu_delay.cvp").PageAs<pages::CPropertyPageEdit>();
    ASSERT_TRUE(page.EditText(0, "99999"));
    ASSERT_TRUE(page.ClickApply());
    ASSERT_EQ(m_plugin->Prompts().m_messages.size(), 1u);
    EXPECT_EQ(m_plugin->Prompts().m_messages[0].m_style, app::MB_OK | app::MB_ICONEXCLAMATION);
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, kDesktop, "MenuShowDelay"), "400");
    EXPECT_EQ(m_plugin->Logoffs(), 0);
}

TEST_F(MenuDelayPlugin, FieldTakesDigitsOnly) {
    auto& page = Open("menu_delay.cvp").PageAs<pages::CPropertyPageEdit>();
    EXPECT_FALSE(page.EditText(0, "-5"));
    EXPECT_FALSE(page.EditText(0, "1e3"));
    EXPECT_EQ(page.GetItemText(0), "400");
}

TEST_F(AutoLogonPlugin, KeepsAPasswordValueWhileOnAndRemovesItWhenOff) {
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    EXPECT_EQ(page.GetItemText(0), ""); // off in a fresh Windows
    EXPECT_EQ(page.GetItemText(2), m_target->ComputerName());
    ASSERT_TRUE(page.EditText(0, "Helpdesk"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon"), "1");
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"), "Helpdesk");
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultPassword"), ""); // present, empty
    EXPECT_EQ(m_plugin->Restarts(), 1);

    ASSERT_TRUE(page.EditText(0, ""));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon"), "0");
    EXPECT_FALSE(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultPassword"));
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"), "Helpdesk");
    EXPECT_EQ(m_plugin->Restarts(), 2);
}

TEST_F(AutoLogonPlugin, ReopenedPageShowsTheStoredUserAndPassword) {
    {
        auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
        ASSERT_TRUE(page.EditText(0, "Helpdesk"));
        ASSERT_TRUE(page.EditText(1, "s3cr\xC3\xA9t")); // UTF-8 survives the round trip
        ASSERT_TRUE(page.ClickApply());
    }
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    EXPECT_EQ(page.GetItemText(0), "Helpdesk");
    EXPECT_EQ(page.GetItemText(1), "s3cr\xC3\xA9t");
    // Applying the page unchanged asks for no restart.
    ASSERT_TRUE(page.EditText(2, page.GetItemText(2)));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(m_plugin->Restarts(), 0);
}

// Scripts cannot read data longer than 260 bytes; a passphrase that long must neither be
// wiped by an unrelated change nor survive turning automatic logon off.
class AutoLogonWithALongPassword : public PluginOnTarget {
protected:
    void SetUp() override {
        PluginOnTarget::SetUp();
        SetText("AutoAdminLogon", "1");
        SetText("DefaultUserName", "Helpdesk");
        SetText("DefaultPassword", m_password);
    }
    void SetText(const char* name, const std::string& text) {
        reg::HKEY key = nullptr;
        auto& registry = m_target->Registry();
        ASSERT_EQ(registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, kWinlogon, 0, reg::KEY_ALL_ACCESS, &key),
                  reg::ERROR_SUCCESS);
        registry.RegSetValueExA(key, name, 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>(text.c_str()),
                                static_cast<reg::DWORD>(text.size() + 1));
        registry.RegCloseKey(key);
    }
    // The stored password, whatever its length; std::nullopt without the value.
    std::optional<std::string> StoredPassword() {
        reg::HKEY key = nullptr;
        auto& registry = m_target->Registry();
        if (registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, kWinlogon, 0, reg::KEY_READ, &key) != reg::ERROR_SUCCESS)
            return std::nullopt;
        std::string data(1024, '\0');
        reg::DWORD size = static_cast<reg::DWORD>(data.size());
        reg::LSTATUS rc = registry.RegQueryValueExA(key, "DefaultPassword", nullptr, nullptr,
                                                    reinterpret_cast<reg::BYTE*>(data.data()), &size);
        registry.RegCloseKey(key);
        if (rc != reg::ERROR_SUCCESS) return std::nullopt;
        data.resize(size > 0 ? size - 1 : 0);
        return data;
    }

    const std::string m_password = std::string(300, 'p');
};

TEST_F(AutoLogonWithALongPassword, IsKeptWhenOnlyTheUserChanges) {
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    EXPECT_EQ(page.GetItemText(0), "Helpdesk");
    ASSERT_TRUE(page.EditText(0, "Support"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"), "Support");
    EXPECT_EQ(StoredPassword(), m_password);
    EXPECT_EQ(m_plugin->Restarts(), 1);
}

TEST_F(AutoLogonWithALongPassword, IsReplacedByOneTheUserTypes) {
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    ASSERT_TRUE(page.EditText(1, "short"));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(StoredPassword(), "short");
}

TEST_F(AutoLogonWithALongPassword, IsRemovedWhenAutomaticLogonIsTurnedOff) {
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    ASSERT_TRUE(page.EditText(0, ""));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon"), "0");
    EXPECT_EQ(StoredPassword(), std::nullopt);
}

TEST_F(AutoLogonWithALongPassword, UnchangedPageAsksForNoRestart) {
    auto& page = Open("autologon.cvp").PageAs<pages::CPropertyPageEdit>();
    ASSERT_TRUE(page.EditText(2, page.GetItemText(2)));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(StoredPassword(), m_password);
    EXPECT_EQ(m_plugin->Restarts(), 0);
}
