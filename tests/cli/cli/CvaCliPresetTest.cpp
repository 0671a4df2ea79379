// Presets through the built cva-cli: saved from the history, applied to several sandboxes
// in one run, with a summary per target and the failures counted.
#include "support/ShellCommand.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using cva::test::CTempDir;
using cva::test::IsolatedCommand;
using cva::test::RunShell;
using cva::test::SCommandResult;
using cva::test::ShellQuote;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

class CvaCliPreset : public ::testing::Test {
protected:
    SCommandResult Exec(const std::string& program, const std::vector<std::string>& args) {
        std::string cmd = IsolatedCommand(m_dir, program);
        for (const auto& a : args) cmd += " " + ShellQuote(a);
        return RunShell(cmd, m_dir.File("command"));
    }
    std::string Box(const std::string& name) const { return "sandbox:" + m_dir.File(name); }
    SCommandResult Cli(const std::vector<std::string>& targets, std::vector<std::string> args) {
        std::vector<std::string> all = {"--plugins", CVA_PLUGIN_FOLDER};
        for (const std::string& t : targets) all.insert(all.end(), {"--target", Box(t)});
        all.insert(all.end(), args.begin(), args.end());
        return Exec(CVA_CLI_PROGRAM, all);
    }
    std::string Query(const std::string& box, const std::string& key, const std::string& value) {
        SCommandResult r = Exec(CVA_REG_PROGRAM, {"--target", Box(box), "query", key, "/v", value});
        return r.m_status == 0 ? r.m_out : "(missing)";
    }

    CTempDir m_dir;
};

constexpr const char* kDesktop = "HKCU\\Control Panel\\Desktop";
constexpr const char* kAdvanced = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

TEST_F(CvaCliPreset, SavedFromTheHistoryItAppliesToSeveralTargetsInOneRun) {
    ASSERT_EQ(Cli({"a"}, {"apply", "menu_delay.cvp", "--text", "0=123", "--yes"}).m_status, 0);
    ASSERT_EQ(Cli({"a"}, {"apply", "explorer_files.cvp", "--check", "0=1", "--yes"}).m_status, 0);
    const std::string file = m_dir.File("office.preset");
    SCommandResult r = Cli({}, {"preset", "save", file});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("saved 2 plugins to "), std::string::npos) << r.m_out;
    const std::string saved = ReadAll(file);
    EXPECT_EQ(saved.rfind("corvanta-preset 1\n# Saved by cva-cli", 0), 0u) << saved;
    // Oldest first, each with the page's state at Apply.
    const size_t menu = saved.find("plugin \"menu_delay.cvp\"\n    text 0 \"123\"\n");
    const size_t files = saved.find("plugin \"explorer_files.cvp\"\n    check 0 1\n");
    EXPECT_NE(menu, std::string::npos) << saved;
    EXPECT_NE(files, std::string::npos) << saved;
    EXPECT_LT(menu, files);
    EXPECT_EQ(Cli({}, {"preset", "save", file}).m_status, 2); // not replaced without --force
    EXPECT_EQ(ReadAll(file), saved);

    // An undone apply is not saved.
    ASSERT_EQ(Cli({"a"}, {"undo"}).m_status, 0);
    r = Cli({}, {"preset", "save", file, "--force"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("explorer_files.cvp is left out: its applies were undone"), std::string::npos) << r.m_out;
    EXPECT_EQ(ReadAll(file).find("plugin \"explorer_files.cvp\""), std::string::npos);
    EXPECT_NE(ReadAll(file).find("plugin \"menu_delay.cvp\""), std::string::npos);
    WriteAll(file, saved);

    // The dry run lists what the apply then makes, and changes and records nothing.
    const std::string history = Cli({}, {"history"}).m_out;
    r = Cli({"b"}, {"preset", "apply", file, "--dry-run"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("Dry run: nothing was changed; what the preset would do:\n" + Box("b") +
                           ": 2 plugins would be applied, 2 changes, 0 failures\n  menu_delay.cvp: would be applied, "
                           "1 change\n    value HKEY_USERS\\"),
              std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find("\"MenuShowDelay\": REG_SZ \"400\" -> REG_SZ \"123\"\n"), std::string::npos) << r.m_out;
    EXPECT_EQ(Query("b", kDesktop, "MenuShowDelay").find("123"), std::string::npos);
    EXPECT_EQ(Cli({}, {"history"}).m_out, history);
    EXPECT_EQ(Cli({}, {"preset", "save", file, "--dry-run"}).m_status, 2);

    r = Cli({"b", "c"}, {"--json", "preset", "apply", file});
    ASSERT_EQ(r.m_status, 0) << r.m_err << r.m_out;
    for (const char* box : {"b", "c"}) {
        EXPECT_NE(r.m_out.find("{\"target\":\"" + Box(box) + "\",\"error\":null,\"plugins\":[{\"plugin\":"
                               "\"menu_delay.cvp\",\"status\":0,\"applied\":true,\"changes\":1,\"diff\":[{\"kind\":\"value\""),
                  std::string::npos) << r.m_out;
        EXPECT_NE(Query(box, kDesktop, "MenuShowDelay").find("123"), std::string::npos) << box;
        EXPECT_NE(Query(box, kAdvanced, "HideFileExt").find("0x0"), std::string::npos) << box;
    }
    EXPECT_NE(r.m_out.find("\"failures\":0}\n"), std::string::npos) << r.m_out;

    // Again: the pages already show what the preset asks for.
    r = Cli({"b", "c"}, {"preset", "apply", file});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    // The edit page applies the same text again, which changes nothing.
    EXPECT_NE(r.m_out.find(Box("c") + ": 1 plugin applied, 0 changes, 0 failures\n  menu_delay.cvp: applied, 0 changes\n"
                                      "  explorer_files.cvp: nothing to apply\n"),
              std::string::npos) << r.m_out;

}

TEST_F(CvaCliPreset, FailuresAreCountedPerTargetAndTheOthersGoOn) {
    const std::string file = m_dir.File("mixed.preset");
    WriteAll(file, "corvanta-preset 1\n# one plugin missing, one page that lacks the item\n"
                   "plugin \"no_such_plugin.cvp\"\n"
                   "plugin \"explorer_files.cvp\"\n  check 40 1\n"
                   "plugin \"menu_delay\"\n  text 0 \"222\"\n");
    SCommandResult r = Exec(CVA_CLI_PROGRAM, {"--plugins", CVA_PLUGIN_FOLDER, "--target", "offline:" + m_dir.File("nodisk"),
                                       "--target", Box("a"), "preset", "apply", file});
    EXPECT_EQ(r.m_status, 4) << r.m_out << r.m_err;
    EXPECT_NE(r.m_out.find("offline:" + m_dir.File("nodisk") + ": 0 plugins applied, 0 changes, 1 failure\n  failed: "
                           "the target cannot be opened"),
              std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find(Box("a") + ": 1 plugin applied, 1 change, 2 failures\n"
                           "  no_such_plugin.cvp: failed (status 2)\n    plugin not found"),
              std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find("  explorer_files.cvp: failed (status 3)\n    check 40 1: the check page has no such item"),
              std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find("  menu_delay.cvp: applied, 1 change\n"), std::string::npos) << r.m_out;
    EXPECT_NE(Query("a", kDesktop, "MenuShowDelay").find("222"), std::string::npos);

    WriteAll(file, "corvanta-preset 1\nplugin a.cvp\n  press 1\n");
    r = Cli({"a"}, {"preset", "apply", file});
    EXPECT_EQ(r.m_status, 2);
    EXPECT_NE(r.m_err.find("mixed.preset: line 3: not an action: press 1"), std::string::npos) << r.m_err;
}

} // namespace
