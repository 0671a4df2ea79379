// No writer loses another's changes: the window's logic applying a page and cva-reg
// adding values write the same sandbox at the same time, and every write of both is
// there at the end.
#include "core/app/AppTestDoubles.h"
#include "core/app/ApplicationDlg.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/TargetSystem.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace cva::test {

namespace {

// How long both write; CVA_STRESS_SECONDS makes it longer (a minute finds rarer races).
std::chrono::seconds Duration() {
    const char* text = std::getenv("CVA_STRESS_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 20);
}

constexpr const char* kPlugin =
    "[settings]\r\ncaption=Tests::Stress\r\n[interface]\r\ntype=check\r\nText0=Write\r\n[script]\r\n"
    "Dim n\r\n"
    "Sub OnApply(a, b)\r\n"
    " n = n + 1\r\n"
    " RegWriteValS \"HKEY_CURRENT_USER\\Software\\Stress\", \"W\" & n, \"window\"\r\n"
    "End Sub\r\n";

TEST(ConcurrentWriters, TheWindowAndCvaRegWritingOnePrefixLoseNothing) {
    CTempDir dir;
    const std::string sandbox = dir.File("sandbox");
    std::string error;
    auto target = target::CTargetSystem::Open("sandbox:" + sandbox, error);
    ASSERT_TRUE(target) << error;
    settings::CSettingsStore store(dir.File("config"));
    testdoubles::CRecordingPrompts prompts;
    app::CApplicationDlg dlg(*target, store, prompts, app::SSessionRequests{}, dir.Path(),
                             app::CApplicationDlg::DefaultPageFactory());
    WriteAll(dir.File("stress.cvp"), kPlugin);
    dlg.m_plugins.push_back({dir.File("stress.cvp"), 0, 0});
    dlg.m_nCurrentPlugin = -1;
    ASSERT_TRUE(dlg.LoadPlugin(0, &error)) << error;

    const auto end = std::chrono::steady_clock::now() + Duration();
    std::atomic<int> regWrites{0};
    std::atomic<int> regFailures{0};
    std::thread other([&] {
        const std::string prefix = IsolatedCommand(dir, CVA_REG_PROGRAM) +
                                   " --target " + ShellQuote("sandbox:" + sandbox) +
                                   " add 'HKCU\\Software\\Stress' /v R";
        while (std::chrono::steady_clock::now() < end) {
            const int next = regWrites + 1;
            const std::string command = prefix + std::to_string(next) + " /d reg /f >/dev/null 2>&1";
            const int status = std::system(command.c_str());
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) ++regWrites;
            else ++regFailures;
        }
    });
    int windowWrites = 0;
    while (std::chrono::steady_clock::now() < end) {
        dlg.CallRoutine("OnApply", {0, 0});
        ASSERT_EQ(dlg.WriteFailure(), "") << "after " << windowWrites << " applies";
        ++windowWrites;
    }
    other.join();
    std::printf("%d applies in the window and %d cva-reg adds in %lld seconds\n", windowWrites, regWrites.load(),
                static_cast<long long>(Duration().count()));
    EXPECT_EQ(regFailures, 0);
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    ASSERT_GT(regWrites, 5);
    ASSERT_GT(windowWrites, 5);

    // Read from the files as they are now, by a fresh reader.
    auto fresh = target::CTargetSystem::Open("sandbox:" + sandbox, error);
    ASSERT_TRUE(fresh) << error;
    target::CTargetRegistryReader registry(fresh->Registry());
    int missing = 0;
    for (int i = 1; i <= windowWrites; ++i)
        if (registry.ReadString(reg::HKEY_CURRENT_USER, "Software\\Stress", ("W" + std::to_string(i)).c_str()) !=
            "window")
            ++missing;
    for (int i = 1; i <= regWrites; ++i)
        if (registry.ReadString(reg::HKEY_CURRENT_USER, "Software\\Stress", ("R" + std::to_string(i)).c_str()) !=
            "reg")
            ++missing;
    EXPECT_EQ(missing, 0) << "of " << windowWrites << " window and " << regWrites << " cva-reg writes";
}

} // namespace

} // namespace cva::test
