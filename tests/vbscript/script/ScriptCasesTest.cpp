// Runs every script of tests/vbscript/cases/<topic>/NAME.vbs in-process with a WScript
// object whose Echo is captured, and compares the output (with a script error printed
// the way cvascript prints it) to NAME.out next to the script.
#include "cli/script/ScriptRunner.h"
#include "platform/text/Unicode.h"
#include "vbscript/ScriptServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ScriptCase {
    std::string topic;
    std::string name;
    fs::path script;
    fs::path expected;
};

std::vector<ScriptCase> FindCases()
{
    std::vector<ScriptCase> cases;
    fs::path root(CVA_VBS_CASES_DIR);
    std::error_code ec;
    for (const auto& topic : fs::directory_iterator(root, ec)) {
        if (!topic.is_directory())
            continue;
        for (const auto& file : fs::directory_iterator(topic.path())) {
            if (file.path().extension() != ".vbs")
                continue;
            fs::path out = file.path();
            out.replace_extension(".out");
            cases.push_back({topic.path().filename().string(), file.path().stem().string(), file.path(), out});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const ScriptCase& a, const ScriptCase& b) { return a.script < b.script; });
    return cases;
}

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void PrintTo(const ScriptCase& c, std::ostream* os)
{
    *os << c.topic << "/" << c.name;
}

// Prompts show their text in the output, as cvascript prints them, and answer with the
// default; nothing else touches the machine.
class CPromptServices : public cva::vbs::IScriptServices {
public:
    explicit CPromptServices(std::string& out) : m_out(out) {}
    int32_t MessageBox(std::u16string_view text, int32_t flags, std::u16string_view title,
                       int32_t seconds) override
    {
        m_out += cva::text::Utf16ToUtf8(text) + "\n";
        return IScriptServices::MessageBox(text, flags, title, seconds);
    }
    std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view def) override
    {
        m_out += cva::text::Utf16ToUtf8(prompt) + "\n";
        return IScriptServices::InputBox(prompt, title, def);
    }

private:
    std::string& m_out;
};

class ScriptCaseTest : public ::testing::TestWithParam<ScriptCase> {
};

TEST_P(ScriptCaseTest, OutputMatches)
{
    const ScriptCase& c = GetParam();
    ASSERT_TRUE(fs::exists(c.expected)) << "missing " << c.expected;
    std::string captured;
    cva::cli::ScriptOutput output;
    output.out = [&](std::string_view s) { captured += s; };
    output.err = [&](std::string_view s) { captured += s; };
    CPromptServices services(captured);
    std::string text = ReadFile(c.script);
    int rc = cva::cli::RunScriptText(c.script.filename().string(), cva::cli::DecodeScriptText(text),
                                     {"first", "second"}, output, &services);
    std::string expected = ReadFile(c.expected);
    expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
    EXPECT_EQ(captured, expected) << c.script;
    (void)rc;
}

std::string CaseName(const ::testing::TestParamInfo<ScriptCase>& info)
{
    std::string n = info.param.topic + "_" + info.param.name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCaseTest, ::testing::ValuesIn(FindCases()), CaseName);

} // namespace
