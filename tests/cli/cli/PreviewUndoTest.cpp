// Three applies on fresh targets (a value deleted, a key made, files changed), each
// first as a dry run: the dry run leaves every file as it was and lists exactly what the
// apply then journals, and undoing the three in reverse order brings everything back.
#include "core/journal/JournalDiff.h"
#include "plugins/FreshTargets.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace cva::test {
namespace {

namespace fs = std::filesystem;

using Stamps = std::map<std::string, std::pair<fs::file_time_type, uintmax_t>>;

Stamps StampsBelow(const std::string& folder) {
    Stamps stamps;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::error_code e;
        if (it->is_regular_file(e)) stamps[it->path().string()] = {it->last_write_time(e), it->file_size(e)};
    }
    return stamps;
}

// An export with each key's values in name order: a save may list them in another
// order, which changes no key or value.
std::string Normalised(const std::string& exported) {
    std::string text;
    for (char c : exported)
        if (c != '\0' && c != '\r') text += c;
    for (size_t at; (at = text.find("\\\n  ")) != std::string::npos;) text.erase(at, 4);
    std::string out;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\n\n", start);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> lines;
        for (size_t line = start; line < end;) {
            const size_t nl = std::min(text.find('\n', line), end);
            lines.push_back(text.substr(line, nl - line));
            line = nl + 1;
        }
        if (!lines.empty()) std::sort(lines.begin() + 1, lines.end());
        for (const std::string& line : lines) out += line + "\n";
        out += "\n";
        start = end + 2;
    }
    return out;
}

class PreviewUndo : public ::testing::TestWithParam<EFreshTarget> {
protected:
    static void SetUpTestSuite() { SetTemplateSources(CVA_CLI_PROGRAM, CVA_REG_PROGRAM, CVA_WINE_PREFIX_CACHE); }
    CTempDir m_dir;
};

TEST_P(PreviewUndo, DryRunsChangeNothingListWhatApplyDoesAndUndosPutItAllBack) {
    if (GetParam() == EFreshTarget::Wine && !WineInstalled()) GTEST_SKIP() << "Wine is not installed";
    CFreshTarget target(m_dir.Path(), GetParam());
    const std::string mine = m_dir.File("mine");
    fs::create_directories(mine);
    auto plugin = [&](const std::string& name, const std::string& script) {
        WriteAll(mine + "/" + name, "[settings]\r\ncategory=Test::" + name +
                                        "\r\n[interface]\r\ntype=check\r\nText0=One\r\n[script]\r\nSub OnApply(a, b)\r\n" +
                                        script + "End Sub\r\n");
    };
    plugin("delval.cvp", "  RegDeleteVal \"HKCU\\Software\\PreviewTest\\Old\"\r\n");
    plugin("newkey.cvp", "  RegWriteValS \"HKCU\\Software\\PreviewTest\\New\\Deep\", \"Made\", \"yes\"\r\n"
                         "  RegWriteValueD \"HKLM\\Software\\PreviewTest\\Count\", 3\r\n");
    plugin("files.cvp", "  Dim h\r\n  h = TxtOpen(\"C:\\preview.txt\")\r\n  TxtSetLine h, 0, \"changed\"\r\n  TxtSave h\r\n"
                        "  IniWriteString \"S\", \"K\", \"v\", \"C:\\preview.ini\"\r\n"
                        "  If IniReadString(\"S\", \"K\", \"C:\\preview.ini\") <> \"v\" Then Err.Raise 5\r\n"
                        "  FileDelete \"C:\\gone.txt\"\r\n"
                        "  FileSetAttribute \"C:\\preview.txt\", \"R+\"\r\n");
    const std::string drive = target.Folder() + "/drive_c/";
    const std::string data = target.Folder() + "/../data";
    WriteAll(drive + "preview.txt", "first\r\nsecond\r\n");
    WriteAll(drive + "gone.txt", "bye");
    ASSERT_EQ(target.Run(CVA_REG_PROGRAM, {"add", "HKCU\\Software\\PreviewTest", "/v", "Old", "/d", "keep", "/f"})
                  .m_status, 0);
    const std::vector<std::string> roots = {"HKCU\\Software", "HKLM\\Software"};
    auto exports = [&](const std::string& tag) {
        std::string all;
        for (size_t i = 0; i < roots.size(); ++i) {
            const std::string file = m_dir.File(tag + std::to_string(i) + ".reg");
            EXPECT_EQ(target.Run(CVA_REG_PROGRAM, {"export", roots[i], file, "/y"}).m_status, 0);
            all += Normalised(ReadAll(file));
        }
        return all;
    };
    const std::string before = exports("before");
    // The first start makes the profile folder's own lists; what follows must leave it be.
    ASSERT_EQ(target.Run(CVA_CLI_PROGRAM, {"--plugins", mine, "list"}).m_status, 0);

    for (const char* name : {"delval.cvp", "newkey.cvp", "files.cvp"}) {
        SCOPED_TRACE(name);
        const Stamps stamps = StampsBelow(target.Folder()), dataStamps = StampsBelow(data);
        SCommandResult r = target.Run(CVA_CLI_PROGRAM, {"--plugins", mine, "apply", name, "--check", "0=1",
                                                         "--dry-run", "--json"});
        ASSERT_EQ(r.m_status, 0) << r.m_err;
        EXPECT_EQ(StampsBelow(target.Folder()), stamps);
        EXPECT_EQ(StampsBelow(data), dataStamps) << "no history, journal or log";
        const size_t at = r.m_out.find("\"changes\":");
        ASSERT_NE(at, std::string::npos) << r.m_out;
        const std::string previewed = r.m_out.substr(at + 10, r.m_out.rfind('}') - at - 10);
        EXPECT_NE(previewed, "[]");
        EXPECT_EQ(previewed.find("\"attributes\":\"R\"") != std::string::npos, std::string(name) == "files.cvp");

        r = target.Run(CVA_CLI_PROGRAM, {"--plugins", mine, "apply", name, "--check", "0=1", "--yes"});
        ASSERT_EQ(r.m_status, 0) << r.m_err;
        std::string newest;
        for (const auto& entry : fs::directory_iterator(data + "/Meridot/Corvanta/journal"))
            newest = std::max(newest, entry.path().string());
        auto journaled = journal::ParseJournalEntry(ReadAll(newest));
        ASSERT_TRUE(journaled);
        EXPECT_EQ(journal::DiffToJson(journal::DiffOf(*journaled)), previewed);
    }
    EXPECT_NE(exports("applied"), before);
    // Applied again, the first plugin has nothing left to do; a dry run is for apply only.
    SCommandResult again = target.Run(CVA_CLI_PROGRAM, {"--plugins", mine, "apply", "delval.cvp", "--check", "0=1",
                                                         "--dry-run"});
    EXPECT_EQ(again.m_status, 0) << again.m_err;
    EXPECT_NE(again.m_out.find("\ndry run: No changes\n"), std::string::npos) << again.m_out;
    EXPECT_EQ(target.Run(CVA_CLI_PROGRAM, {"undo", "--dry-run"}).m_status, 2);
    EXPECT_EQ(ReadAll(drive + "preview.txt"), "changed\r\nsecond\r\n");
    EXPECT_FALSE(fs::exists(drive + "gone.txt"));

    for (int i = 0; i < 3; ++i) {
        const SCommandResult r = target.Run(CVA_CLI_PROGRAM, {"undo"});
        ASSERT_EQ(r.m_status, 0) << i << r.m_err;
    }
    EXPECT_EQ(exports("undone"), before);
    EXPECT_EQ(ReadAll(drive + "preview.txt"), "first\r\nsecond\r\n");
    EXPECT_EQ(ReadAll(drive + "gone.txt"), "bye");
    EXPECT_FALSE(fs::exists(drive + "preview.ini"));
}

INSTANTIATE_TEST_SUITE_P(Targets, PreviewUndo, ::testing::Values(EFreshTarget::Sandbox, EFreshTarget::Wine),
                         [](const auto& info) { return info.param == EFreshTarget::Wine ? "Wine" : "Sandbox"; });

} // namespace
} // namespace cva::test
