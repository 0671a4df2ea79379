#pragma once

#include "core/script/HostProxy.h"
#include "platform/target/TargetSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace cva::test {

// One sandbox target per suite (opening one seeds a registry); each test gets a fresh
// host object and its own folder C:\tN on the sandbox's drive.
class CHostFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<CTempDir>();
        // The Trash lands inside the temporary folder, never in the user's own.
        ::setenv("XDG_DATA_HOME", s_dir->File("data").c_str(), 1);
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + s_dir->File("sandbox"), error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_dir.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(s_target);
        m_host = std::make_unique<script::CHost_Proxy>(*s_target, false);
        m_win = "C:\\t" + std::to_string(++s_counter);
        m_root = Host(m_win);
        ::mkdir(m_root.c_str(), 0777);
    }

    static std::string Host(const std::string& windowsPath) { return *s_target->ToHostPath(windowsPath); }
    std::string Win(const std::string& name) const { return m_win + "\\" + name; }
    std::string Path(const std::string& name) const { return m_root + "/" + name; }
    static bool Exists(const std::string& hostPath) {
        struct stat st {};
        return ::lstat(hostPath.c_str(), &st) == 0;
    }

    static inline std::unique_ptr<CTempDir> s_dir;
    static inline std::unique_ptr<target::CTargetSystem> s_target;
    static inline int s_counter = 0;
    std::unique_ptr<script::CHost_Proxy> m_host;
    std::string m_win;  // C:\tN
    std::string m_root; // its host folder
};

} // namespace cva::test
