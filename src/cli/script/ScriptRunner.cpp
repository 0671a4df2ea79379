#include "cli/script/ScriptRunner.h"

#include "platform/text/Unicode.h"
#include "vbscript/Engine.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace cva::cli {

using namespace cva::vbs;

namespace {

class CErrorSite final : public IScriptSite {
public:
    void OnScriptError(const ScriptErrorInfo& error) override
    {
        if (!m_has) {
            m_has = true;
            m_error = error;
        }
    }
    bool m_has = false;
    ScriptErrorInfo m_error;
};

} // namespace

std::u16string DecodeScriptText(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        return out;
    }
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.remove_prefix(3);
    return text::Utf8ToUtf16(bytes);
}

std::optional<std::chrono::milliseconds> ParseTimeout(std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    const double seconds = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end || !(seconds >= 0) || seconds > 1e9)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
}

int RunScriptText(const std::string& scriptPath, std::u16string_view text,
                  const std::vector<std::string>& arguments, const ScriptOutput& output,
                  IScriptServices* services, std::chrono::milliseconds timeout)
{
    CScriptEngine engine;
    CErrorSite site;
    engine.SetSite(&site);
    engine.SetServices(services);
    bool timedOut = false;
    if (timeout > std::chrono::milliseconds::zero())
        engine.SetHeartbeat([&](std::chrono::milliseconds running) {
            if (running < timeout || timedOut)
                return;
            timedOut = true;
            engine.Interrupt();
        });
    std::error_code ec;
    std::string fullName = std::filesystem::absolute(scriptPath, ec).string();
    if (ec)
        fullName = scriptPath;
    auto wscript = MakeObject<CWScriptObject>(engine, output, fullName, arguments);
    engine.AddNamedItem(u"WScript", ObjectRef(wscript), false);
    engine.ParseScript(text);
    int rc = 0;
    if (wscript->QuitRequested()) {
        rc = wscript->QuitCode();
    } else if (site.m_has) {
        const ScriptErrorInfo& e = site.m_error;
        char pos[64];
        std::snprintf(pos, sizeof pos, "(%u, %u) ", e.line + 1, e.column + 1);
        output.err(scriptPath + pos + text::Utf16ToUtf8(e.source) + ": " +
                   text::Utf16ToUtf8(e.description) + "\n");
        if (timedOut) {
            char why[96];
            std::snprintf(why, sizeof why, "cvascript: the script ran longer than %g seconds (--timeout)\n",
                          static_cast<double>(timeout.count()) / 1000);
            output.err(why);
        }
        rc = 1;
    }
    engine.Close();
    wscript->Detach();
    return rc;
}

} // namespace cva::cli
