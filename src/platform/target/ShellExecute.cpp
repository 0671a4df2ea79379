#include "platform/target/ShellExecute.h"

#include "platform/target/ChildProcess.h"
#include "platform/text/Unicode.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::target {

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The new process may start in another folder, so a relative path must not stay one.
std::string Absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

} // namespace

bool IsUrl(std::string_view text) {
    size_t colon = text.find(':');
    // Two letters at least, so that "C:" never passes for a scheme.
    if (colon == std::string_view::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool ok = alpha || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

std::string ExtensionOf(std::string_view path) {
    size_t separator = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return {};
    return text::ToUpperUtf8(path.substr(dot + 1));
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                size_t count = 0;
                while (i < line.size() && line[i] == '\\')
                    ++count, ++i;
                if (i < line.size() && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string FindProgram(std::string_view name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string_view::npos)
        return IsExecutableFile(std::string(name)) ? std::string(name) : std::string();
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        std::string candidate =
            (dir.empty() ? std::string(".") : std::string(dir)) + "/" + std::string(name);
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return {};
        dirs.remove_prefix(colon + 1);
    }
}

int CShellExecute::Plan(const SShellExecuteRequest& request, SCommand& command) const {
    command = {};
    command.m_directory = request.directory;
    const std::string& file = request.file;
    if (file.empty()) return SE_ERR_FNF;
    std::vector<std::string> params = SplitCommandLine(request.parameters);

    auto useOpener = [&](const std::string& target) {
        std::string opener = FindProgram(m_launchers.opener);
        if (opener.empty()) return SE_ERR_NOASSOC;
        command.m_argv = {opener, target};
        return SE_SUCCESS;
    };
    auto useProgram = [&](const std::string& program) {
        command.m_argv = {program};
        command.m_argv.insert(command.m_argv.end(), params.begin(), params.end());
        return SE_SUCCESS;
    };

    if (IsUrl(file)) return useOpener(file);

    struct stat st {};
    if (file.find('/') == std::string::npos && ::stat(file.c_str(), &st) != 0) {
        std::string program = FindProgram(file);
        return program.empty() ? SE_ERR_FNF : useProgram(program);
    }
    const std::string path = Absolute(file);
    if (::stat(path.c_str(), &st) != 0) {
        struct stat parent {};
        return ::stat(Parent(path).c_str(), &parent) == 0 && S_ISDIR(parent.st_mode) ? SE_ERR_FNF
                                                                                     : SE_ERR_PNF;
    }
    if (S_ISDIR(st.st_mode)) return useOpener(path);
    if (S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0) return useProgram(path);
    return useOpener(path);
}

int CShellExecute::Execute(const SShellExecuteRequest& request) const {
    SCommand command;
    int planned = Plan(request, command);
    if (planned != SE_SUCCESS) return planned;
    if (!request.directory.empty()) {
        struct stat st {};
        if (::stat(request.directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return SE_ERR_PNF;
    }
    return StartDetached(command);
}

} // namespace cva::target
