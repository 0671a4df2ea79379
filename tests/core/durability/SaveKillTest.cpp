// Saves that survive faults: a child saving each kind of file is killed at random
// moments, and saves on a full disk fail cleanly.
#include "core/durability/SaveKinds.h"

#include "core/app/AppTestDoubles.h"
#include "core/app/ApplicationDlg.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fcntl.h>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cva::test {

namespace {

// Rounds per file kind; CVA_KILL_ROUNDS gives more (or fewer) for a longer hunt.
int Rounds() {
    const char* text = std::getenv("CVA_KILL_ROUNDS");
    const int rounds = text ? std::atoi(text) : 0;
    return rounds > 0 ? rounds : 200;
}

// Files in the folder other than `file`: what writers left behind.
std::vector<std::string> LeftOver(const std::string& folder, const std::string& file) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && folder + "/" + name != file) names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

struct SChild {
    pid_t pid = -1;
    int output = -1; // the read end of its standard output
};

SChild StartWorker(ESaveKind kind, const std::string& folder, bool once = false) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl(CVA_SAVE_WORKER, CVA_SAVE_WORKER, KindName(kind), folder.c_str(), once ? "once" : nullptr,
                nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

// The last generation the child said it was saving (0: none), once its output ended;
// `count` receives how many it announced.
long LastAnnounced(int fd, int* count = nullptr) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (count) *count = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const size_t end = text.find_last_of('\n');
    if (end == std::string::npos) return 0;
    const size_t begin = text.find_last_of('\n', end - 1);
    return std::atol(text.c_str() + (begin == std::string::npos ? 0 : begin + 1));
}

class SaveKill : public ::testing::TestWithParam<ESaveKind> {};

// A folder in memory where there is one: a killed process leaves what it wrote in the
// page cache either way, and without the disk's flushes many more rounds fit the time.
class CMemoryFolder {
public:
    CMemoryFolder() {
        char pattern[] = "/dev/shm/cva-test-XXXXXX";
        if (const char* made = ::mkdtemp(pattern)) m_path = made;
    }
    ~CMemoryFolder() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    CMemoryFolder(const CMemoryFolder&) = delete;
    CMemoryFolder& operator=(const CMemoryFolder&) = delete;
    const std::string& Path() const { return m_path.empty() ? m_fallback.Path() : m_path; }

private:
    std::string m_path;
    CTempDir m_fallback;
};

TEST_P(SaveKill, AKilledSaveLeavesTheOldOrTheNewFileAndNoStrayTemporaryFile) {
    const ESaveKind kind = GetParam();
    CMemoryFolder dir;
    const std::string file = KindFile(kind, dir.Path());
    std::mt19937 rng(std::random_device{}());
    // Most kills land inside a save; a few before the first one starts.
    std::uniform_int_distribution<int> delayUs(0, 20000);
    // The first version, saved to its end: every kill has an old file to keep.
    SChild first = StartWorker(kind, dir.Path(), true);
    int status = 0;
    ASSERT_EQ(::waitpid(first.pid, &status, 0), first.pid);
    long before = LastAnnounced(first.output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && before == 1);
    int leftHalfWritten = 0;
    for (int round = 0; round < Rounds(); ++round) {
        SChild child = StartWorker(kind, dir.Path());
        ASSERT_GT(child.pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
        ::kill(child.pid, SIGKILL);
        ASSERT_EQ(::waitpid(child.pid, &status, 0), child.pid);
        int saves = 0;
        const long announced = LastAnnounced(child.output, &saves);
        ASSERT_TRUE(WIFSIGNALED(status)) << KindName(kind) << ": the worker ended by itself in round " << round;

        std::string why;
        const std::optional<long> now = ReadGeneration(kind, dir.Path(), why);
        ASSERT_TRUE(now && *now > 0) << KindName(kind) << ", round " << round << ": torn or lost file: " << why;
        // The generation being saved, or the one before it; never older than what was there.
        if (announced > 0) {
            EXPECT_TRUE(*now == announced || *now == announced - 1)
                << KindName(kind) << ", round " << round << ": file holds " << *now << ", saving " << announced;
        }
        EXPECT_GE(*now, before) << KindName(kind) << ", round " << round;
        before = *now;
        // A temporary file is the killed child's own, or an earlier one's that no save
        // has finished since: a finished save takes away what earlier writers left.
        const std::string own = "." + std::to_string(child.pid) + "-";
        for (const std::string& name : LeftOver(dir.Path(), file)) {
            if (name.find(own) != std::string::npos) {
                ++leftHalfWritten;
            } else {
                EXPECT_LT(saves, 2) << KindName(kind) << ", round " << round << ": " << name << " outlived a save";
            }
        }
    }
    std::printf("%s: %d kills, %ld versions saved, %d kills left a half-written temporary file\n",
                KindName(kind), Rounds(), before, leftHalfWritten);
    EXPECT_GT(before, 10) << "the saves barely ran between the kills";
    EXPECT_GT(leftHalfWritten, 0) << "no kill landed inside a save";
    // One more save, to its end, leaves just the file.
    SChild last = StartWorker(kind, dir.Path(), true);
    ASSERT_EQ(::waitpid(last.pid, &status, 0), last.pid);
    LastAnnounced(last.output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(LeftOver(dir.Path(), file).empty());
    std::string why;
    EXPECT_EQ(ReadGeneration(kind, dir.Path(), why), before + 1) << why;
}

// A small file system of its own, unmounted at the end.
class CSmallDisk {
public:
    explicit CSmallDisk(const std::string& folder) : m_folder(folder) {
        m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0;
        m_errno = errno;
    }
    ~CSmallDisk() {
        if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }
    int Error() const { return m_errno; }
    // Takes what room is left.
    void Fill() {
        const std::string filler = m_folder + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::string block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
        }
        if (fd >= 0) ::close(fd);
    }

private:
    std::string m_folder;
    bool m_mounted = false;
    int m_errno = 0;
};

TEST_P(SaveKill, ASaveOnAFullDiskFailsWithTheReasonAndKeepsTheOldFile) {
    const ESaveKind kind = GetParam();
    CTempDir dir;
    CSmallDisk disk(dir.Path());
    if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(disk.Error());
    const std::string file = KindFile(kind, dir.Path());
    std::string error;
    ASSERT_TRUE(SaveGeneration(kind, dir.Path(), 1, error)) << error;
    disk.Fill();
    EXPECT_FALSE(SaveGeneration(kind, dir.Path(), 2, error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    std::string why;
    EXPECT_EQ(ReadGeneration(kind, dir.Path(), why), 1) << why;
    std::vector<std::string> left = LeftOver(dir.Path(), file);
    EXPECT_EQ(left, std::vector<std::string>{"filler"});
}

// A script's INI write that the disk refuses is the apply's failure, not a silent loss.
TEST(FullDisk, AnIniWriteTheDiskRefusesFailsTheApply) {
    CTempDir dir;
    CSmallDisk disk(dir.Path());
    if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(disk.Error());
    std::string error;
    auto target = target::CTargetSystem::Open("sandbox:" + dir.File("box"), error);
    ASSERT_TRUE(target) << error;
    CTempDir config;
    settings::CSettingsStore store(config.Path());
    testdoubles::CRecordingPrompts prompts;
    app::CApplicationDlg dlg(*target, store, prompts, app::SSessionRequests{}, config.Path(),
                             app::CApplicationDlg::DefaultPageFactory());
    WriteAll(config.File("ini.cvp"), "[settings]\r\ncaption=Tests::Ini\r\n[interface]\r\ntype=check\r\n"
                                     "Text0=Write\r\n[script]\r\nSub OnApply(a, b)\r\n"
                                     " IniWriteString \"Section\", \"Key\", String(3000, \"v\"), \"C:\\full.ini\"\r\n"
                                     "End Sub\r\n");
    dlg.m_plugins.push_back({config.File("ini.cvp"), 0, 0});
    dlg.m_nCurrentPlugin = -1;
    ASSERT_TRUE(dlg.LoadPlugin(0, &error)) << error;
    disk.Fill();
    dlg.CallRoutine("OnApply", {0, 0});
    EXPECT_NE(dlg.WriteFailure().find("full.ini: not saved: No space left on device"), std::string::npos)
        << dlg.WriteFailure();
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().text.rfind("The changes to a file could not be saved.\n", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveKill,
                         ::testing::Values(ESaveKind::Hive, ESaveKind::Ini, ESaveKind::List, ESaveKind::Settings),
                         [](const auto& info) { return std::string(KindName(info.param)); });

} // namespace

} // namespace cva::test
