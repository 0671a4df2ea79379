#pragma once

#include "update/CurlEasy.h"
#include "update/VersionFile.h"

#include <atomic>
#include <string>

namespace cva::update {

enum class ECheckResult { Failed, Latest, Newer };

struct SCheckOutcome {
    ECheckResult m_result = ECheckResult::Failed;
    // A message box to show before the dialog tells of the failure; empty for none.
    std::string m_message;
};

// The state of the last update check: the version file fetched into a fresh private
// folder, what it offers, and where its setup file goes.
class CVersionCheck {
public:
    CVersionCheck() = default;
    ~CVersionCheck() = default;
    CVersionCheck(const CVersionCheck&) = delete;
    CVersionCheck& operator=(const CVersionCheck&) = delete;

    // Fetches the version file at `url` and compares what it offers with `current`.
    // `abort` (may be null) is polled while the request runs. Thread-safe against
    // nothing: one check at a time.
    SCheckOutcome Check(const std::string& userAgent, const std::string& url, const std::string& current,
                        const std::atomic<bool>* abort);

    // Removes the folder of this check with whatever it holds.
    void Discard();

    SNetOptions m_net;
    std::string m_strFolder;           // fresh, private (0700) folder of this check
    std::string m_strVersionFilePath;  // the copy of the version file in it
    std::string m_strSetupPath;        // set by whoever downloads the setup file
    std::string m_strCurrent;
    SVersionFile m_offered;
};

// A fresh folder only this user can enter, in $TMPDIR (else /tmp); empty when none can be
// made.
std::string MakePrivateFolder(const std::string& prefix);
// Removes the files directly in `folder`, then the folder.
void RemoveFolder(const std::string& folder);

} // namespace cva::update
