// Every shipped plugin, whatever its page: a well-formed file, a script that compiles
// behind the prelude, and pages that read the fresh Windows XP sandbox without touching it.
#include "plugins/PluginRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace cva;
using namespace cva::test;

namespace {

class PluginCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<CTempDir>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + s_dir->Path(), error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_dir.reset();
    }
    static std::unique_ptr<CTempDir> s_dir;
    static std::unique_ptr<target::CTargetSystem> s_target;
};
std::unique_ptr<CTempDir> PluginCatalogue::s_dir;
std::unique_ptr<target::CTargetSystem> PluginCatalogue::s_target;

// The lines that differ between two snapshots, so a failure names the changed values.
std::string ChangedLines(const std::string& before, const std::string& after) {
    auto lines = [](const std::string& text) {
        std::multiset<std::string> out;
        size_t pos = 0;
        for (size_t end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1)
            out.insert(text.substr(pos, end - pos));
        return out;
    };
    std::multiset<std::string> a = lines(before), b = lines(after);
    std::string diff;
    for (const auto& line : a)
        if (!b.count(line)) diff += "- " + line + "\n";
    for (const auto& line : b)
        if (!a.count(line)) diff += "+ " + line + "\n";
    return diff;
}

std::string Name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The arguments each page passes to OnApply when the user applies without a selection.
std::pair<int, int> ApplyArgs(const std::string& type) {
    if (type == "check") return {124, 0};
    if (type == "list" || type == "checklist") return {0, -1};
    return {0, 0};
}

} // namespace

TEST_F(PluginCatalogue, CoversEveryPageKind) {
    std::set<std::string> kinds;
    for (const auto& path : ShippedPlugins()) kinds.insert(ReadPlugin(path).Key("interface", "type"));
    for (const char* kind : {"check", "radio", "edit", "list", "checklist", "multi", "html"})
        EXPECT_TRUE(kinds.count(kind)) << kind;
}

TEST_F(PluginCatalogue, SettingsPlaceEachPluginInTheCatalogue) {
    for (const auto& path : ShippedPlugins()) {
        SCOPED_TRACE(Name(path));
        SPluginText plugin = ReadPlugin(path);
        std::string category = plugin.Key("settings", "category");
        // Outlook-bar folder, at least one tree node, the entry itself.
        size_t first = category.find("::");
        ASSERT_NE(first, std::string::npos);
        EXPECT_NE(category.find("::", first + 2), std::string::npos);
        int level = plugin.IntKey("settings", "LEVEL", -1);
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 4);
        if (level >= 3) {
            EXPECT_NE(plugin.Key("settings", "Warning"), "none");
        }
        EXPECT_NE(plugin.Key("settings", "caption"), "none");
        EXPECT_FALSE(plugin.m_description.empty());
    }
}

TEST_F(PluginCatalogue, ScriptsCompileAndDefineTheirRoutines) {
    for (const auto& path : ShippedPlugins()) {
        SCOPED_TRACE(Name(path));
        SPluginText plugin = ReadPlugin(path);
        // A "/*" left in the text would survive comment removal and break the script.
        EXPECT_EQ(plugin.m_script.find("/*"), std::string::npos);
        CPluginRun run(*s_target, plugin);
        EXPECT_TRUE(run.Parse());
        EXPECT_TRUE(run.HasRoutine(u"OnInit"));
        EXPECT_TRUE(run.HasRoutine(u"OnApply"));
        EXPECT_TRUE(run.Errors().empty()) << run.Errors().front();
    }
}

TEST_F(PluginCatalogue, ApplyingAnUntouchedPageChangesNothing) {
    for (const auto& path : ShippedPlugins()) {
        SCOPED_TRACE(Name(path));
        SPluginText plugin = ReadPlugin(path);
        std::string before = RegistrySnapshot(*s_target);
        CPluginRun run(*s_target, plugin);
        ASSERT_TRUE(run.Parse());
        ASSERT_TRUE(run.Init()) << (run.Errors().empty() ? "" : run.Errors().front());
        auto [a, b] = ApplyArgs(plugin.Key("interface", "type"));
        if (plugin.Key("interface", "type") == "list") a = 1; // the list's Refresh button
        ASSERT_TRUE(run.Apply(a, b)) << (run.Errors().empty() ? "" : run.Errors().front());
        std::string after = RegistrySnapshot(*s_target);
        EXPECT_TRUE(after == before) << ChangedLines(before, after);
        EXPECT_EQ(run.Restarts(), 0);
        EXPECT_EQ(run.Logoffs(), 0);
        EXPECT_EQ(run.Messages(), 0);
    }
}
