#pragma once

#include "support/ShellCommand.h"

#include <functional>
#include <string>
#include <vector>

namespace cva::test {

enum class EFreshTarget { Sandbox, Wine };
// The Windows version a fresh target reports: as made (the sandbox XP, a Wine 8 prefix
// Windows 7), or set to XP or Vista (the sandbox by its version values, the prefix by
// Wine's own Windows version setting), for the plugins the version filter shows there.
enum class EWindowsAs { AsMade, Xp, Vista };

// One run of the programs on a target of its own: a folder holding a fresh copy of the
// target and the settings folders, so that runs side by side share no lock, cache or
// registry. The folder is removed with the object.
class CFreshTarget {
public:
    // `root`: where the folder is made; the templates are made on first use.
    CFreshTarget(const std::string& root, EFreshTarget kind, EWindowsAs version = EWindowsAs::AsMade);
    ~CFreshTarget();
    CFreshTarget(const CFreshTarget&) = delete;
    CFreshTarget& operator=(const CFreshTarget&) = delete;

    // "sandbox:DIR" or "wine:DIR".
    std::string Spec() const;
    const std::string& Folder() const { return m_target; }
    // A program of ours run with --target and this run's settings folders.
    SCommandResult Run(const std::string& program, const std::vector<std::string>& args) const;
    // Wine's cmd running `batch` (lines without line ends) in the prefix; the wineserver
    // is stopped afterwards, so the next run of ours may write the prefix again.
    SCommandResult RunWineBatch(const std::vector<std::string>& batch) const;

private:
    SCommandResult Shell(const std::string& command) const;

    EFreshTarget m_kind;
    std::string m_folder;
    std::string m_target;
};

// Whether Wine is installed: the Wine prefix is then a real one, made once per wine
// version by wineboot and kept in `cacheFolder`; otherwise a Wine-shaped one.
bool WineInstalled();
// Must be called once before the first CFreshTarget: cva-cli seeds the sandbox template,
// cva-reg sets the versions of the others, the Wine prefix template is kept below `wineCache`.
void SetTemplateSources(const std::string& cli, const std::string& reg, const std::string& wineCache);

// Runs `count` jobs on a few threads; the programs mostly wait for the disk and for Wine.
void RunInParallel(size_t count, const std::function<void(size_t)>& job);

} // namespace cva::test
