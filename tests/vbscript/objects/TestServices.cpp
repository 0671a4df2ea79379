#include "TestServices.h"

#include "platform/text/Unicode.h"
#include "vbscript/objects/WshShell.h"

#include <fstream>
#include <iterator>
#include <random>

namespace cva::vbs::test {

namespace fs = std::filesystem;

CTestServices::CTestServices()
{
    std::random_device rd;
    m_root = fs::temp_directory_path() / ("cva-objects-" + std::to_string(rd()));
    fs::create_directories(m_root / "work");
    fs::create_directories(m_root / "Windows" / "Temp");
    m_env[u"PROCESS"][u"WINDIR"] = u"C:\\Windows";
    m_env[u"PROCESS"][u"TEMP"] = u"C:\\Windows\\Temp";
    m_env[u"SYSTEM"][u"OS"] = u"Windows_NT";
}

CTestServices::~CTestServices()
{
    std::error_code ec;
    // Undo read-only bits tests set so the folder can go.
    for (fs::recursive_directory_iterator it(m_root, ec), end; !ec && it != end; it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(m_root, ec);
}

void CTestServices::MakeFile(const std::string& relative, const std::string& bytes)
{
    fs::path p = m_root / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string CTestServices::ReadBytes(const std::string& relative) const
{
    std::ifstream in(m_root / relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool CTestServices::Exists(const std::string& relative) const
{
    return fs::exists(m_root / relative);
}

std::optional<std::string> CTestServices::MapPath(std::u16string_view windowsPath)
{
    if (windowsPath.size() < 2 || text::ToUpper(windowsPath[0]) != u'C' || windowsPath[1] != u':')
        return std::nullopt;
    fs::path p = m_root;
    std::u16string_view rest = windowsPath.substr(2);
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && (rest[i] == u'\\' || rest[i] == u'/'))
            ++i;
        size_t start = i;
        while (i < rest.size() && rest[i] != u'\\' && rest[i] != u'/')
            ++i;
        if (i == start)
            break;
        std::u16string part(rest.substr(start, i - start));
        // Reuse an existing entry's spelling when only the case differs.
        std::string name = text::Utf16ToUtf8(part);
        std::error_code ec;
        for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
            std::string existing = it->path().filename().string();
            if (text::EqualsNoCaseUtf8(existing, name)) {
                name = existing;
                break;
            }
        }
        p /= name;
    }
    return p.string();
}

std::u16string CTestServices::SystemFolder(int32_t which)
{
    switch (which) {
    case 0: return u"C:\\Windows";
    case 1: return u"C:\\Windows\\System32";
    case 2: return u"C:\\Windows\\Temp";
    default: return {};
    }
}

std::u16string CTestServices::SpecialFolder(std::u16string_view name)
{
    if (text::EqualsNoCase(name, u"Desktop"))
        return u"C:\\Users\\Test\\Desktop";
    return {};
}

Status CTestServices::RegRead(std::u16string_view name, Variant& out)
{
    auto it = registry.find(text::ToUpper(name));
    if (it == registry.end())
        return ShellRegistryError(ShellRegistryFailure::Read, name);
    out = it->second.second;
    return Status::Ok();
}

Status CTestServices::RegWrite(std::u16string_view name, const Variant& value,
                               std::u16string_view type)
{
    registry[text::ToUpper(name)] = {std::u16string(type), value};
    return Status::Ok();
}

Status CTestServices::RegDelete(std::u16string_view name)
{
    if (registry.erase(text::ToUpper(name)) == 0)
        return ShellRegistryError(ShellRegistryFailure::Delete, name);
    return Status::Ok();
}

std::u16string CTestServices::ExpandEnvironmentStrings(std::u16string_view text)
{
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find(u'%', i);
        size_t close = open == std::u16string_view::npos ? open : text.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, open - i);
        std::u16string name = text::ToUpper(text.substr(open + 1, close - open - 1));
        auto v = m_env[u"PROCESS"].find(name);
        if (v != m_env[u"PROCESS"].end()) {
            out += v->second;
            i = close + 1;
        } else {
            out += u'%';
            i = open + 1;
        }
    }
    return out;
}

std::optional<std::u16string> CTestServices::GetEnvironmentVariable(std::u16string_view scope,
                                                                    std::u16string_view name)
{
    auto& vars = m_env[text::ToUpper(scope)];
    auto it = vars.find(text::ToUpper(name));
    if (it == vars.end())
        return std::nullopt;
    return it->second;
}

Status CTestServices::SetEnvironmentVariable(std::u16string_view scope, std::u16string_view name,
                                             std::u16string_view value)
{
    m_env[text::ToUpper(scope)][text::ToUpper(name)] = value;
    return Status::Ok();
}

Status CTestServices::RemoveEnvironmentVariable(std::u16string_view scope, std::u16string_view name)
{
    m_env[text::ToUpper(scope)].erase(text::ToUpper(name));
    return Status::Ok();
}

std::vector<std::u16string> CTestServices::EnvironmentStrings(std::u16string_view scope)
{
    std::vector<std::u16string> out;
    for (const auto& [name, value] : m_env[text::ToUpper(scope)])
        out.push_back(name + u"=" + value);
    return out;
}

Status CTestServices::Run(std::u16string_view commandLine, int32_t, bool wait, int32_t& exitCode)
{
    lastRun = commandLine;
    exitCode = wait ? 3 : 0;
    return Status::Ok();
}

namespace {

class CFinishedOnClose : public IScriptProcess {
public:
    explicit CFinishedOnClose(std::string& input) : m_input(input) {}
    bool HasExited() override { return m_closed; }
    int32_t ExitCode() override { return m_closed ? 5 : 0; }
    int32_t ProcessId() override { return 42; }
    void Terminate() override { m_closed = true; }
    bool ReadAll(bool errors, std::string& text) override
    {
        text = errors ? "" : "out\r\n";
        return true;
    }
    bool WriteInput(std::string_view bytes) override
    {
        m_input += bytes;
        return true;
    }
    void CloseInput() override { m_closed = true; }

private:
    std::string& m_input;
    bool m_closed = false;
};

} // namespace

Status CTestServices::Exec(std::u16string_view commandLine, std::unique_ptr<IScriptProcess>& process)
{
    lastRun = commandLine;
    process = std::make_unique<CFinishedOnClose>(execInput);
    return Status::Ok();
}

int32_t CTestServices::MessageBox(std::u16string_view text, int32_t, std::u16string_view, int32_t)
{
    lastPrompt = text;
    return 6;
}

} // namespace cva::vbs::test
