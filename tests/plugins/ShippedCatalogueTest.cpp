// The shipped catalogue as users meet it, through the programs themselves: every plugin
// opens without a script error on a fresh sandbox and on a fresh Wine prefix wherever the
// catalogue shows it (each as made, or set to the Windows version the plugin is for), and
// has an Export section and rows in tests/plugins/expectations.
// Each row, applied with cva-cli on a fresh target, leaves its type and data in the
// registry as cva-reg and, where Wine is installed, Wine's own reg read it; the page
// opened afterwards shows what was applied.
#include "plugins/FreshTargets.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace cva::test;

namespace {

namespace fs = std::filesystem;

// One line of an expectation table.
struct SRow {
    std::string m_where; // file:line, for messages
    std::string m_plugin, m_target, m_actions, m_key, m_value, m_type, m_data;
};

// The pieces between separators, without carriage returns.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == separator) pieces.emplace_back();
        else if (c != '\r') pieces.back() += c;
    }
    return pieces;
}

std::vector<SRow> ReadRows(std::vector<std::string>& malformed) {
    std::vector<SRow> rows;
    std::vector<fs::path> tables;
    for (const auto& entry : fs::directory_iterator(CVA_EXPECTATIONS_DIR))
        if (entry.path().extension() == ".tsv") tables.push_back(entry.path());
    std::sort(tables.begin(), tables.end());
    for (const fs::path& table : tables) {
        std::ifstream in(table);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string where = table.filename().string() + ":" + std::to_string(number);
            if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
            std::vector<std::string> f = Split(line, '\t');
            if (f.size() != 7 || f[0].empty() || f[3].empty() || f[4].empty()) {
                malformed.push_back(where + ": not 7 tab-separated fields: " + line);
                continue;
            }
            rows.push_back({where, f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
        }
    }
    return rows;
}

std::vector<std::string> ShippedPluginNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(CVA_PLUGIN_DIR))
        if (entry.path().extension() == ".cvp") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A plugin that writes nothing (the guide) has nothing to export; every other one must
// name what it writes.
bool HasExportSectionOrWritesNothing(const std::string& plugin) {
    std::ifstream in(std::string(CVA_PLUGIN_DIR) + "/" + plugin);
    bool writes = false;
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::tolower(c); });
        if (line == "[export]") return true;
        writes = writes || line.find("regwrite") != std::string::npos || line.find("regdelete") != std::string::npos ||
                 line.find("iniwrite") != std::string::npos;
    }
    return !writes;
}

// Actions as the shell would split them: blanks separate, double quotes group.
std::vector<std::string> SplitActions(const std::string& actions) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, any = false;
    for (char c : actions) {
        if (c == '"') quoted = !quoted, any = true;
        else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else current += c, any = true;
    }
    if (any) args.push_back(current);
    return args;
}

// Data as the registry tools print it; numbers and bytes are compared by value, so a
// table may write 0x0000012C or 0a 0b for what they print as 0x12c and 0A0B.
bool SameData(const std::string& type, const std::string& printed, const std::string& expected) {
    if (type == "REG_DWORD" || type == "REG_QWORD") {
        char* end1 = nullptr;
        char* end2 = nullptr;
        const unsigned long long a = std::strtoull(printed.c_str(), &end1, 0);
        const unsigned long long b = std::strtoull(expected.c_str(), &end2, 0);
        return *end1 == '\0' && *end2 == '\0' && !printed.empty() && !expected.empty() && a == b;
    }
    if (type == "REG_BINARY") {
        auto bytes = [](const std::string& text) {
            std::string hex;
            for (char c : text)
                if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::toupper(c));
            return hex;
        };
        return bytes(printed) == bytes(expected);
    }
    return printed == expected;
}

// What a query printed about the row's value: empty when the output does not hold it,
// else "" on a match or what it holds instead.
std::string CheckQuery(const SRow& row, const std::string& output) {
    const std::string name = row.m_value == "@" ? "(Default)" : row.m_value;
    const std::string head = "    " + name + "    ";
    for (const std::string& line : Split(output, '\n')) {
        if (line.rfind(head, 0) != 0) continue;
        if (row.m_type == "absent") return "the value exists: " + line;
        const std::string rest = line.substr(head.size());
        const size_t gap = rest.find("    ");
        const std::string type = rest.substr(0, gap);
        const std::string data = gap == std::string::npos ? std::string() : rest.substr(gap + 4);
        if (type == row.m_type && SameData(type, data, row.m_data)) return {};
        return "found " + type + " " + data + ", expected " + row.m_type + " " + row.m_data;
    }
    return row.m_type == "absent" ? std::string() : "the value is missing, expected " + row.m_type + " " + row.m_data;
}

// The page's items and rows as the text report prints them, without the row selection.
std::string PageState(const std::string& report) {
    std::string state;
    for (std::string line : Split(report, '\n')) {
        if (line.rfind("item ", 0) != 0 && line.rfind("row ", 0) != 0) continue;
        const size_t selected = line.rfind(" (selected)");
        if (selected != std::string::npos && selected + 11 == line.size()) line.erase(selected);
        state += line + "\n";
    }
    return state;
}

std::string WineQueryLine(const SRow& row) {
    std::string line = "reg query \"" + row.m_key + "\" " + (row.m_value == "@" ? "/ve" : "/v \"" + row.m_value + "\"");
    std::string escaped;
    for (char c : line) escaped += c == '%' ? std::string("%%") : std::string(1, c);
    return escaped;
}

class ShippedCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetTemplateSources(CVA_CLI_PROGRAM, CVA_REG_PROGRAM, CVA_WINE_PREFIX_CACHE); }

    static const char* KindName(EFreshTarget kind) { return kind == EFreshTarget::Wine ? "wine" : "sandbox"; }

    static SCommandResult Cli(const CFreshTarget& target, std::vector<std::string> args) {
        args.insert(args.begin(), {"--plugins", CVA_PLUGIN_DIR});
        return target.Run(CVA_CLI_PROGRAM, args);
    }

    static constexpr EWindowsAs kVersions[] = {EWindowsAs::AsMade, EWindowsAs::Xp, EWindowsAs::Vista};
    using SShown = std::array<std::set<std::string>, 3>;

    // The plugins the catalogue shows on fresh targets of that kind, in kVersions' order.
    SShown Shown(EFreshTarget kind) {
        SShown shown;
        for (size_t v = 0; v < shown.size(); ++v) {
            CFreshTarget target(m_dir.Path(), kind, kVersions[v]);
            const SCommandResult r = Cli(target, {"list", "--json"});
            EXPECT_EQ(r.m_status, 0) << r.m_err;
            const std::string field = "\"plugin\":\"";
            for (size_t at = r.m_out.find(field); at != std::string::npos; at = r.m_out.find(field, at + 1)) {
                const size_t from = at + field.size();
                shown[v].insert(r.m_out.substr(from, r.m_out.find('"', from) - from));
            }
        }
        return shown;
    }
    // A plugin opens on the first target that shows it, or on the one as made when none
    // does (the apply then says why).
    static EWindowsAs VersionFor(const SShown& shown, const std::string& plugin) {
        for (size_t v = 0; v < shown.size(); ++v)
            if (shown[v].count(plugin)) return kVersions[v];
        return EWindowsAs::AsMade;
    }
    static const char* VersionName(EWindowsAs version) {
        return version == EWindowsAs::Xp ? ", set to XP" : version == EWindowsAs::Vista ? ", set to Vista" : "";
    }

    // Every row for targets of `kind`, applied once per plugin and actions on a fresh one.
    void CheckRows(EFreshTarget kind) {
        std::vector<std::string> malformed;
        std::map<std::pair<std::string, std::string>, std::vector<SRow>> groups;
        for (const SRow& row : ReadRows(malformed))
            if (row.m_target == KindName(kind) || row.m_target == "both")
                groups[{row.m_plugin, row.m_actions}].push_back(row);
        std::vector<const std::vector<SRow>*> jobs;
        for (const auto& [key, rows] : groups) jobs.push_back(&rows);
        const bool realWine = kind == EFreshTarget::Wine && WineInstalled();
        const auto shown = Shown(kind); // also makes the templates before the threads start
        RunInParallel(jobs.size(), [&](size_t i) {
            CheckGroup(*jobs[i], kind, VersionFor(shown, jobs[i]->front().m_plugin), realWine);
        });
    }

    void CheckGroup(const std::vector<SRow>& rows, EFreshTarget kind, EWindowsAs version, bool realWine) {
        const SRow& first = rows.front();
        const std::string what = first.m_where + " " + first.m_plugin + " [" + KindName(kind) +
                                 VersionName(version) + "] " + first.m_actions;
        CFreshTarget target(m_dir.Path(), kind, version);
        std::vector<std::string> args{"apply", first.m_plugin};
        for (const std::string& arg : SplitActions(first.m_actions)) args.push_back(arg);
        args.push_back("--yes");
        const SCommandResult applied = Cli(target, args);
        if (applied.m_status != 0) {
            ADD_FAILURE() << what << ": apply ended with " << applied.m_status << ": " << applied.m_err;
            return;
        }
        for (const SRow& row : rows) {
            std::vector<std::string> query{"query", row.m_key};
            if (row.m_value == "@") query.push_back("/ve");
            else query.insert(query.end(), {"/v", row.m_value});
            const SCommandResult r = target.Run(CVA_REG_PROGRAM, query);
            const std::string problem = CheckQuery(row, r.m_status == 0 ? r.m_out : std::string());
            EXPECT_EQ(problem, "") << what << ": cva-reg, " << row.m_where << " " << row.m_key << " " << row.m_value;
        }
        const SCommandResult shown = Cli(target, {"show", first.m_plugin});
        EXPECT_EQ(shown.m_status, 0) << what << ": show: " << shown.m_err;
        EXPECT_EQ(PageState(shown.m_out), PageState(applied.m_out)) << what << ": the page opened again";
        if (!realWine) return;

        std::vector<std::string> batch{"@echo off"};
        for (size_t i = 0; i < rows.size(); ++i) {
            batch.push_back("echo ==" + std::to_string(i) + "==");
            batch.push_back(WineQueryLine(rows[i]));
        }
        batch.push_back("echo ==" + std::to_string(rows.size()) + "==");
        const SCommandResult wine = target.RunWineBatch(batch);
        const std::string& out = wine.m_out;
        for (size_t i = 0; i < rows.size(); ++i) {
            const size_t from = out.find("==" + std::to_string(i) + "==");
            const size_t to = out.find("==" + std::to_string(i + 1) + "==");
            ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << what << ": wine cmd ended with " << wine.m_status << ", printed " << out << wine.m_err;
            EXPECT_EQ(CheckQuery(rows[i], out.substr(from, to - from)), "")
                << what << ": wine reg, " << rows[i].m_where << " " << rows[i].m_key << " " << rows[i].m_value;
        }
    }

    CTempDir m_dir;
};

TEST_F(ShippedCatalogue, EveryPluginHasAnExportSectionAndExpectationRows) {
    std::vector<std::string> malformed;
    const std::vector<SRow> rows = ReadRows(malformed);
    for (const std::string& line : malformed) ADD_FAILURE() << line;
    const std::vector<std::string> plugins = ShippedPluginNames();
    std::set<std::string> covered;
    for (const SRow& row : rows) {
        covered.insert(row.m_plugin);
        EXPECT_TRUE(std::binary_search(plugins.begin(), plugins.end(), row.m_plugin)) << row.m_where << ": no such plugin";
        EXPECT_TRUE(row.m_target == "sandbox" || row.m_target == "wine" || row.m_target == "both") << row.m_where;
        EXPECT_TRUE(row.m_type == "absent" || row.m_type.rfind("REG_", 0) == 0) << row.m_where << ": " << row.m_type;
    }
    for (const std::string& plugin : plugins) {
        EXPECT_TRUE(HasExportSectionOrWritesNothing(plugin)) << plugin << " has no [Export] section";
        EXPECT_TRUE(covered.count(plugin)) << plugin << " has no row in " << CVA_EXPECTATIONS_DIR;
    }
}

TEST_F(ShippedCatalogue, EveryPluginOpensWhereTheCatalogueShowsIt) {
    std::set<std::string> anywhere;
    for (EFreshTarget kind : {EFreshTarget::Sandbox, EFreshTarget::Wine}) {
        const SShown shown = Shown(kind);
        std::set<std::string> any;
        for (const auto& names : shown) any.insert(names.begin(), names.end());
        anywhere.insert(any.begin(), any.end());
        const std::vector<std::string> opened(any.begin(), any.end());
        RunInParallel(opened.size(), [&](size_t i) {
            const EWindowsAs version = VersionFor(shown, opened[i]);
            CFreshTarget target(m_dir.Path(), kind, version);
            const SCommandResult r = Cli(target, {"show", opened[i]});
            EXPECT_EQ(r.m_status, 0) << opened[i] << " [" << KindName(kind) << VersionName(version) << "]: " << r.m_err;
        });
    }
    for (const std::string& plugin : ShippedPluginNames())
        EXPECT_TRUE(anywhere.count(plugin)) << plugin << " is shown on no sandbox and no Wine prefix";
}

TEST_F(ShippedCatalogue, RowsHoldOnAFreshSandbox) { CheckRows(EFreshTarget::Sandbox); }

TEST_F(ShippedCatalogue, RowsHoldOnAFreshWinePrefix) { CheckRows(EFreshTarget::Wine); }

} // namespace
