#include "cli/script/HostServices.h"

#include "platform/text/Unicode.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cva::cli {

using namespace cva::vbs;

std::optional<std::string> CHostServices::MapPath(std::u16string_view windowsPath)
{
    std::string p = text::Utf16ToUtf8(windowsPath);
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':')
        p = p.substr(2).empty() ? std::string("/") : p.substr(2);
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

std::u16string CHostServices::WindowsPath(std::string_view hostPath)
{
    return text::Utf8ToUtf16(hostPath);
}

std::u16string CHostServices::CurrentDirectory()
{
    std::error_code ec;
    return text::Utf8ToUtf16(std::filesystem::current_path(ec).string());
}

void CHostServices::SetCurrentDirectory(std::u16string_view windowsPath)
{
    if (auto p = MapPath(windowsPath)) {
        std::error_code ec;
        std::filesystem::current_path(*p, ec);
    }
}

std::u16string CHostServices::SpecialFolder(std::u16string_view name)
{
    const char* home = std::getenv("HOME");
    std::string h = home ? home : "/";
    if (text::EqualsNoCase(name, u"Desktop"))
        return text::Utf8ToUtf16(h + "/Desktop");
    if (text::EqualsNoCase(name, u"MyDocuments"))
        return text::Utf8ToUtf16(h + "/Documents");
    return {};
}

std::u16string CHostServices::SystemFolder(int32_t which)
{
    if (which == 2) {
        const char* tmp = std::getenv("TMPDIR");
        return text::Utf8ToUtf16(tmp ? tmp : "/tmp");
    }
    return {};
}

std::u16string CHostServices::ExpandEnvironmentStrings(std::u16string_view textIn)
{
    std::u16string out;
    size_t i = 0;
    while (i < textIn.size()) {
        if (textIn[i] == u'%') {
            size_t end = textIn.find(u'%', i + 1);
            if (end != std::u16string_view::npos && end > i + 1) {
                std::string name = text::Utf16ToUtf8(textIn.substr(i + 1, end - i - 1));
                if (const char* v = std::getenv(name.c_str())) {
                    out += text::Utf8ToUtf16(v);
                    i = end + 1;
                    continue;
                }
            }
        }
        out.push_back(textIn[i++]);
    }
    return out;
}

std::optional<std::u16string> CHostServices::GetEnvironmentVariable(std::u16string_view, std::u16string_view name)
{
    std::string n = text::Utf16ToUtf8(name);
    if (const char* v = std::getenv(n.c_str()))
        return text::Utf8ToUtf16(v);
    return std::nullopt;
}

Status CHostServices::SetEnvironmentVariable(std::u16string_view, std::u16string_view name,
                                             std::u16string_view value)
{
    std::string n = text::Utf16ToUtf8(name);
    std::string v = text::Utf16ToUtf8(value);
    if (n.empty() || n.find('=') != std::string::npos || ::setenv(n.c_str(), v.c_str(), 1) != 0)
        return Status(kErrInvalidCall);
    return Status::Ok();
}

Status CHostServices::RemoveEnvironmentVariable(std::u16string_view, std::u16string_view name)
{
    std::string n = text::Utf16ToUtf8(name);
    if (n.empty() || ::unsetenv(n.c_str()) != 0)
        return Status(kErrInvalidCall);
    return Status::Ok();
}

std::vector<std::u16string> CHostServices::EnvironmentStrings(std::u16string_view)
{
    std::vector<std::u16string> out;
    for (char** e = environ; e && *e; ++e)
        out.push_back(text::Utf8ToUtf16(*e));
    return out;
}

std::u16string CHostServices::ComputerName()
{
    char buf[256] = {0};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return u"LOCALHOST";
    return text::ToUpper(text::Utf8ToUtf16(buf));
}

std::u16string CHostServices::UserName()
{
    const char* u = std::getenv("USER");
    return text::Utf8ToUtf16(u ? u : "user");
}

Status CHostServices::Run(std::u16string_view commandLine, int32_t, bool wait, int32_t& exitCode)
{
    std::string cmd = text::Utf16ToUtf8(commandLine);
    if (!wait)
        cmd += " &";
    int rc = std::system(cmd.c_str());
    exitCode = 0;
    if (rc == -1)
        return Status(kErrFileNotFound);
    if (wait && WIFEXITED(rc))
        exitCode = WEXITSTATUS(rc);
    return Status::Ok();
}

int32_t CHostServices::MessageBox(std::u16string_view textIn, int32_t flags, std::u16string_view,
                                  int32_t)
{
    // No window here: a message box is printed like cscript prints MsgBox text, and the
    // default button is the answer.
    std::cout << text::Utf16ToUtf8(textIn) << std::endl;
    return IScriptServices::MessageBox(textIn, flags, u"", 0);
}

std::optional<std::u16string> CHostServices::InputBox(std::u16string_view prompt, std::u16string_view,
                                                      std::u16string_view defaultText)
{
    std::cout << text::Utf16ToUtf8(prompt) << std::endl;
    std::string line;
    if (!std::getline(std::cin, line))
        return std::u16string(defaultText);
    return text::Utf8ToUtf16(line);
}

} // namespace cva::cli
