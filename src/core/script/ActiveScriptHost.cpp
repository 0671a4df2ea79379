#include "core/script/ActiveScriptHost.h"

#include "core/script/HostProxy.h"
#include "platform/text/Unicode.h"

#include <cstdio>
#include <functional>

namespace cva::script {

namespace {
constexpr char16_t kItemName[] = u"ScriptHost";
}

CActiveScriptHost::CActiveScriptHost() = default;

CActiveScriptHost::~CActiveScriptHost() { CloseEngine(); }

bool CActiveScriptHost::CreateEngine(std::u16string_view language) {
    CloseEngine();
    if (!text::EqualsNoCase(language, u"vbscript")) return false;
    m_pScript = std::make_unique<vbs::CScriptEngine>();
    m_pScript->SetSite(this);
    m_pScript->SetHeartbeat([this](std::chrono::milliseconds running) { ScriptRunning(running); });
    if (vbs::IScriptServices* services = ScriptServices()) m_pScript->SetServices(services);
    m_namedItems[kItemName] = &HostItem();
    m_pScript->AddHostItem(kItemName, HostFunctionTable(), HostItem());
    return true;
}

namespace {
// Counts a script call for as long as it runs and tells the host when the outermost one
// has returned.
class CRunningCall {
public:
    CRunningCall(int& running, std::function<void()> ended) : m_running(running), m_ended(std::move(ended)) {
        ++m_running;
    }
    ~CRunningCall() {
        if (--m_running == 0) m_ended();
    }
    CRunningCall(const CRunningCall&) = delete;
    CRunningCall& operator=(const CRunningCall&) = delete;

private:
    int& m_running;
    std::function<void()> m_ended;
};
} // namespace

bool CActiveScriptHost::ParseScript(std::u16string_view text) {
    if (!m_pScript) return false;
    CRunningCall running(m_nRunning, [this] { ScriptEnded(); });
    BeforeScriptCall();
    bool ok = m_pScript->ParseScript(text);
    AfterScriptCall();
    return ok;
}

uint32_t CActiveScriptHost::CallRoutine(std::u16string_view name, std::span<const vbs::Variant> args,
                                        vbs::Variant* result) {
    if (!m_pScript || name.empty()) return E_FAIL;
    CRunningCall running(m_nRunning, [this] { ScriptEnded(); });
    BeforeScriptCall();
    vbs::CallOutcome outcome = m_pScript->CallRoutine(name, args, result);
    if (outcome.status == vbs::CallStatus::UnknownName) return DISP_E_UNKNOWNNAME;
    AfterScriptCall();
    return outcome.status == vbs::CallStatus::Ok ? S_OK : outcome.statusCode;
}

void CActiveScriptHost::SetSourceLines(uint32_t firstLine, std::vector<uint32_t> fileLines) {
    m_firstSourceLine = firstLine;
    m_sourceLines = std::move(fileLines);
}

void CActiveScriptHost::CloseEngine() {
    m_sourceLines.clear();
    if (!m_pScript) return;
    m_pScript->Close();
    m_pScript.reset();
}

void CActiveScriptHost::Interrupt() {
    if (m_pScript) m_pScript->Interrupt();
}

std::string CActiveScriptHost::FormatScriptError(const vbs::ScriptErrorInfo& error) {
    std::string description = text::Utf16ToUtf8(error.description);
    std::string source = text::Utf16ToUtf8(error.source);
    // An error raised with a full status code (vbObjectError + n, or an object's own
    // failure) carries that code itself; only VBScript's own numbers live in 0x800A.
    const uint32_t statusCode = error.number < 0 ? static_cast<uint32_t>(error.number) : error.statusCode;
    const char* format = "%s\nSrc: %s\nLine:%d Error:%d Scode:%x";
    const int line = static_cast<int>(error.line);
    const int code = static_cast<int>(error.number & 0xFFFF);
    int size = std::snprintf(nullptr, 0, format, description.c_str(), source.c_str(), line, code, statusCode);
    if (size < 0) return description;
    std::string message(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(message.data(), message.size(), format, description.c_str(), source.c_str(), line, code, statusCode);
    message.pop_back();
    return message;
}

void CActiveScriptHost::OnScriptError(const vbs::ScriptErrorInfo& error) {
    vbs::ScriptErrorInfo shown = error;
    if (error.line >= m_firstSourceLine && error.line - m_firstSourceLine < m_sourceLines.size())
        shown.line = m_sourceLines[error.line - m_firstSourceLine];
    ShowScriptError(FormatScriptError(shown));
}

} // namespace cva::script
