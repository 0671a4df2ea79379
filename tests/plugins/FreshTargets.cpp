#include "plugins/FreshTargets.h"

#include "support/TempDir.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cva::test {

namespace {

namespace fs = std::filesystem;

std::string g_cli;
std::string g_reg;
std::string g_wineCache;

// Where the templates live for the run; removed at exit.
const CTempDir& TemplateRoot() {
    static CTempDir root;
    return root;
}

// A copy a run may change freely. Wine's programs and libraries below drive_c are only
// ever replaced, never written in place, so the big files are linked rather than copied
// (a real prefix holds some 600 MB of them).
void CopyTarget(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
        const fs::path relative = entry.path().lexically_relative(from);
        const fs::path destination = to / relative;
        // Debian's wine names the prefix's private server folder there; a copy sharing
        // it could meet the server of an earlier copy that had the same inode.
        if (relative == "wineserver") continue;
        if (entry.is_symlink()) {
            fs::copy_symlink(entry.path(), destination);
        } else if (entry.is_directory()) {
            fs::create_directories(destination);
        } else if (entry.is_regular_file()) {
            const bool program = *relative.begin() == "drive_c" && entry.file_size() >= 64 * 1024;
            if (program) fs::create_hard_link(entry.path(), destination);
            else fs::copy_file(entry.path(), destination);
        }
    }
}

const std::string& SandboxTemplate() {
    static std::once_flag once;
    static std::string folder;
    std::call_once(once, [] {
        const std::string root = TemplateRoot().Path();
        fs::create_directories(root + "/no-plugins");
        // The sandbox is made and seeded the first time a program opens it.
        const SCommandResult r = RunShell("XDG_CONFIG_HOME=" + ShellQuote(root + "/config") + " XDG_DATA_HOME=" +
                                              ShellQuote(root + "/data") + " " + ShellQuote(g_cli) + " --target " +
                                              ShellQuote("sandbox:" + root + "/sandbox") + " --plugins " +
                                              ShellQuote(root + "/no-plugins") + " list",
                                          root + "/seed");
        if (r.m_status != 0) throw std::runtime_error("the sandbox template was not made: " + r.m_err);
        folder = root + "/sandbox";
    });
    return folder;
}

std::string WineVersion() {
    const SCommandResult r = RunShell("wine --version", TemplateRoot().File("wine-version"));
    if (r.m_status != 0) return {};
    std::string name;
    for (char c : r.m_out) name += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

// A real prefix made once per wine version and kept between runs, or, without Wine, one
// shaped like it with the keys the plugins read below.
const std::string& WinePrefixTemplate() {
    static std::once_flag once;
    static std::string folder;
    std::call_once(once, [] {
        if (!WineInstalled()) {
            folder = TemplateRoot().File("wine");
            MakeWineShapedPrefix(folder);
            // The desktop values a fresh Wine 8 prefix starts with, which pages show.
            WriteAll(folder + "/user.reg", ReadAll(folder + "/user.reg") +
                                               "\n[Control Panel\\\\Desktop] 1700000000\n"
                                               "\"DragFullWindows\"=\"0\"\n\"FontSmoothing\"=\"2\"\n"
                                               "\"FontSmoothingOrientation\"=dword:00000001\n"
                                               "\"FontSmoothingType\"=dword:00000001\n\"MenuShowDelay\"=\"400\"\n"
                                               "\n[Software\\\\Wine] 1700000000\n");
            return;
        }
        folder = g_wineCache + "/" + WineVersion();
        if (fs::is_directory(folder)) return;
        fs::create_directories(g_wineCache);
        // Made aside and renamed when complete: an interrupted wineboot leaves no prefix
        // that a later run would take as made.
        const std::string making = folder + ".making." + std::to_string(::getpid());
        const std::string env = "WINEPREFIX=" + ShellQuote(making) + " WINEDEBUG=-all ";
        // Without the Mono and Gecko installers, which would wait for a click.
        RunShell(env + "WINEDLLOVERRIDES='mscoree,mshtml=' timeout 600 wineboot -i; " + env + "wineserver -w",
                 TemplateRoot().File("wineboot"));
        if (!fs::exists(making + "/system.reg")) throw std::runtime_error("wineboot made no prefix in " + making);
        std::error_code ec;
        fs::rename(making, folder, ec);
        if (ec) fs::remove_all(making); // another run made it meanwhile
    });
    return folder;
}

// A template as it is made, or a copy of it that reports another Windows version.
const std::string& Template(EFreshTarget kind, EWindowsAs version) {
    static std::mutex mutex;
    static std::map<std::pair<EFreshTarget, EWindowsAs>, std::string> made;
    std::lock_guard<std::mutex> lock(mutex);
    std::string& folder = made[{kind, version}];
    if (!folder.empty()) return folder;
    const bool wine = kind == EFreshTarget::Wine;
    const std::string& base = wine ? WinePrefixTemplate() : SandboxTemplate();
    if (version == EWindowsAs::AsMade) return folder = base;
    const bool xp = version == EWindowsAs::Xp;
    const std::string root = TemplateRoot().Path();
    const std::string copy = root + (wine ? "/wine-" : "/sandbox-") + (xp ? "xp" : "vista");
    CopyTarget(base, copy);
    // What winecfg writes for Wine; for the sandbox, the values of XP SP3 and Vista SP2.
    const std::string current = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const std::vector<std::vector<std::string>> values =
        wine ? std::vector<std::vector<std::string>>{{"HKCU\\Software\\Wine", "Version", xp ? "winxp" : "vista"}}
             : std::vector<std::vector<std::string>>{{current, "CurrentVersion", xp ? "5.1" : "6.0"},
                                                     {current, "CurrentBuildNumber", xp ? "2600" : "6002"}};
    for (const auto& value : values) {
        const SCommandResult r = RunShell("XDG_CONFIG_HOME=" + ShellQuote(root + "/config") + " XDG_DATA_HOME=" +
                                              ShellQuote(root + "/data") + " " + ShellQuote(g_reg) + " --target " +
                                              ShellQuote((wine ? "wine:" : "sandbox:") + copy) + " add " +
                                              ShellQuote(value[0]) + " /v " + ShellQuote(value[1]) + " /d " +
                                              ShellQuote(value[2]) + " /f",
                                          root + "/version");
        if (r.m_status != 0) throw std::runtime_error("the template " + copy + " was not made: " + r.m_out + r.m_err);
    }
    return folder = copy;
}

} // namespace

bool WineInstalled() {
    static const bool installed = std::system("command -v wine >/dev/null 2>&1 && command -v wineboot >/dev/null 2>&1") == 0;
    return installed;
}

void SetTemplateSources(const std::string& cli, const std::string& reg, const std::string& wineCache) {
    g_cli = cli;
    g_reg = reg;
    g_wineCache = wineCache;
}

CFreshTarget::CFreshTarget(const std::string& root, EFreshTarget kind, EWindowsAs version) : m_kind(kind) {
    char pattern[] = "job-XXXXXX";
    const std::string base = root + "/" + pattern;
    std::vector<char> path(base.begin(), base.end());
    path.push_back('\0');
    m_folder = ::mkdtemp(path.data());
    m_target = m_folder + "/target";
    CopyTarget(Template(kind, version), m_target);
    fs::create_directories(m_folder + "/run");
    fs::permissions(m_folder + "/run", fs::perms::owner_all);
}

CFreshTarget::~CFreshTarget() {
    std::error_code ec;
    const std::string server = ReadAll(m_target + "/wineserver");
    if (server.rfind("wine-", 0) == 0 && server.find('/') == std::string::npos) fs::remove_all("/tmp/" + server, ec);
    fs::remove_all(m_folder, ec);
}

std::string CFreshTarget::Spec() const { return (m_kind == EFreshTarget::Wine ? "wine:" : "sandbox:") + m_target; }

SCommandResult CFreshTarget::Shell(const std::string& command) const {
    // Exported, so that every command of a sequence works on this run's prefix.
    const std::string env = "export XDG_CONFIG_HOME=" + ShellQuote(m_folder + "/config") + " XDG_DATA_HOME=" +
                            ShellQuote(m_folder + "/data") + " XDG_RUNTIME_DIR=" + ShellQuote(m_folder + "/run") +
                            " WINEDEBUG=-all WINEPREFIX=" + ShellQuote(m_target) + "; ";
    return RunShell(env + command, m_folder + "/command");
}

SCommandResult CFreshTarget::Run(const std::string& program, const std::vector<std::string>& args) const {
    std::string command = ShellQuote(program) + " --target " + ShellQuote(Spec());
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    return Shell(command);
}

SCommandResult CFreshTarget::RunWineBatch(const std::vector<std::string>& batch) const {
    std::string text;
    for (const std::string& line : batch) text += line + "\r\n";
    WriteAll(m_target + "/drive_c/cva-check.bat", text);
    // Wine now and then fails to start cmd at all on a loaded machine ("ShellExecuteEx
    // failed"); a second start is the same check, not a weaker one.
    SCommandResult r;
    for (int attempt = 0; attempt < 2; ++attempt) {
        r = Shell("timeout 300 wine cmd /c 'C:\\cva-check.bat'; status=$?; wineserver -k; wineserver -w; exit $status");
        if (r.m_status == 0) break;
    }
    return r;
}

void RunInParallel(size_t count, const std::function<void(size_t)>& job) {
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                job(i);
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    };
    const size_t threads = std::min<size_t>(count, 2 * std::max(2u, std::thread::hardware_concurrency()));
    std::vector<std::jthread> helpers;
    for (size_t i = 1; i < threads; ++i) helpers.emplace_back(work);
    work();
}

} // namespace cva::test
