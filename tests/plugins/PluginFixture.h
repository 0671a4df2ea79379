#pragma once

#include "plugins/OpenedPlugin.h"
#include "platform/target/TargetRegistryReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace cva::test {

// Registry places the shipped plugins work on.
inline constexpr const char* kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char* kInternet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const char* kDesktop = "Control Panel\\Desktop";
inline constexpr const char* kControl = "SYSTEM\\ControlSet001\\Control";
inline constexpr const char* kCrash = "SYSTEM\\ControlSet001\\Control\\CrashControl";
inline constexpr const char* kMemory = "SYSTEM\\ControlSet001\\Control\\Session Manager\\Memory Management";
inline constexpr const char* kFileSystem = "SYSTEM\\ControlSet001\\Control\\FileSystem";

// A fresh Windows XP sandbox per test, and one plugin opened on it at a time. Values
// are read back through the target's registry, as Windows would find them.
class PluginOnTarget : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_target = target::CTargetSystem::Open("sandbox:" + m_dir.Path(), error);
        ASSERT_TRUE(m_target) << error;
    }
    void TearDown() override { ClosePlugin(); }

    // Opens a shipped plugin the way the main window does: the previous plugin is closed
    // first, and the new one gets the page object its kind used before, if any.
    COpenedPlugin& Open(const char* fileName) {
        ClosePlugin();
        std::optional<plugin::SPageType> type = plugin::MatchPageType(
            plugin::CPluginFile::Load(ShippedPlugin(fileName)).value_or(plugin::CPluginFile()).GetString(
                "interface", "type", "none"));
        std::unique_ptr<pages::CPropertyPageBase> page;
        if (type) page = std::move(m_pages[static_cast<size_t>(type->m_pageIndex)]);
        m_plugin = std::make_unique<COpenedPlugin>(*m_target, ShippedPlugin(fileName), std::move(page),
                                                    m_userHive);
        EXPECT_TRUE(m_plugin->Opened()) << m_plugin->Failures();
        return *m_plugin;
    }
    void ClosePlugin() {
        if (!m_plugin) return;
        EXPECT_EQ(m_plugin->Failures(), "");
        std::unique_ptr<pages::CPropertyPageBase> page = m_plugin->ReleasePage();
        m_plugin.reset();
        if (page) m_pages[static_cast<size_t>(page->PageIndex())] = std::move(page);
    }

    std::optional<uint32_t> Dword(reg::HKEY root, const char* key, const char* name) {
        return target::CTargetRegistryReader(m_target->Registry()).ReadDword(root, key, name);
    }
    std::optional<std::string> String(reg::HKEY root, const char* key, const char* name) {
        return target::CTargetRegistryReader(m_target->Registry()).ReadString(root, key, name);
    }
    void SetDword(reg::HKEY root, const char* key, const char* name, uint32_t value) {
        reg::HKEY handle = nullptr;
        auto& registry = m_target->Registry();
        ASSERT_EQ(registry.RegCreateKeyExA(root, key, 0, nullptr, 0, reg::KEY_ALL_ACCESS, nullptr, &handle, nullptr),
                  reg::ERROR_SUCCESS);
        registry.RegSetValueExA(handle, name, 0, reg::REG_DWORD, reinterpret_cast<const reg::BYTE*>(&value), 4);
        registry.RegCloseKey(handle);
    }

    CTempDir m_dir;
    std::unique_ptr<target::CTargetSystem> m_target;
    std::unique_ptr<COpenedPlugin> m_plugin;
    std::array<std::unique_ptr<pages::CPropertyPageBase>, pages::PAGE_COUNT> m_pages;
    reg::HKEY m_userHive = nullptr; // HKCU of the plugins opened next
};

} // namespace cva::test
