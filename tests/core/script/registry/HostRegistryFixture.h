#pragma once

#include "core/app/UserPrompts.h"
#include "core/script/HostOwner.h"
#include "core/script/HostProxy.h"
#include "platform/target/TargetSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace cva::test {

// Answers every prompt with its default and records nothing: the registry functions
// never ask the user anything.
class CSilentPrompts : public app::IUserPrompts {
public:
    int MessageBox(const std::string&, const std::string&, unsigned int) override {
        ++m_messages;
        return app::IDOK;
    }
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFile(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    int m_messages = 0;
};

// The main window as the host sees it: no page, and the mounted hive of the user whose
// settings are edited, which a test sets and clears between calls.
class COwnerDouble : public script::IHostOwner {
public:
    pages::CPropertyPageBase* CurrentPage() override { return nullptr; }
    reg::HKEY UserHive() override {
        ++m_hiveQueries;
        return m_hive;
    }
    app::IUserPrompts& Prompts() override { return m_prompts; }
    void PostQuit() override {}
    void AddRestartRequest() override {}
    void AddLogoffRequest() override {}

    reg::HKEY m_hive = nullptr;
    int m_hiveQueries = 0;
    CSilentPrompts m_prompts;
};

// One sandbox target for the whole suite (creating one takes a while); every test gets a
// fresh host object and works below a key of its own.
class HostRegistryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    reg::CRegistry& Registry() { return s_target->Registry(); }
    // "HKCU\Software\CvaTest\<test name>" (below HKCU, or below the root given).
    std::string TestKey(const std::string& root = "HKCU") const;
    // The same path without the root name.
    std::string TestSubKey() const;
    // Sets a value directly through the registry, bypassing the host.
    void PutValue(reg::HKEY root, const std::string& subKey, const std::string& name,
                  reg::DWORD type, const std::string& data);
    // Reads a value directly; nullopt when missing.
    std::optional<std::pair<reg::DWORD, std::string>>
    GetValue(reg::HKEY root, const std::string& subKey, const std::string& name);
    bool KeyExists(reg::HKEY root, const std::string& subKey);

    static std::unique_ptr<CTempDir> s_dir;
    static std::unique_ptr<target::CTargetSystem> s_target;
    std::unique_ptr<script::CHost_Proxy> m_host;
    COwnerDouble m_owner;
};

} // namespace cva::test
