#include "update/VersionCheck.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace cva::update {

namespace {

// A version file is a few lines; a server that sends more is not one of ours.
constexpr size_t kMaxVersionFile = 64 * 1024;

struct SFetch {
    std::string body;
    const std::atomic<bool>* abort = nullptr;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* fetch = static_cast<SFetch*>(user);
    size_t bytes = size * count;
    if (fetch->body.size() + bytes > kMaxVersionFile) return 0;
    fetch->body.append(data, bytes);
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* fetch = static_cast<SFetch*>(user);
    return fetch->abort && fetch->abort->load() ? 1 : 0;
}

bool WriteNewFile(const std::string& path, const std::string& data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0 && done == data.size();
}

} // namespace

std::string MakePrivateFolder(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return {};
    return pattern;
}

void RemoveFolder(const std::string& folder) {
    if (folder.empty()) return;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") ::unlink((folder + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(folder.c_str());
}

void CVersionCheck::Discard() {
    RemoveFolder(m_strFolder);
    m_strFolder.clear();
    m_strVersionFilePath.clear();
    m_strSetupPath.clear();
}

SCheckOutcome CVersionCheck::Check(const std::string& userAgent, const std::string& url, const std::string& current,
                                   const std::atomic<bool>* abort) {
    SCheckOutcome outcome;
    m_strCurrent = current;
    m_offered = {};
    CCurlEasy curl;
    if (!curl) {
        outcome.m_message = "Cannot connect to the Internet!";
        return outcome;
    }
    curl.Prepare(url, userAgent, m_net);
    SFetch fetch;
    fetch.abort = abort;
    curl_easy_setopt(curl.Handle(), CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl.Handle(), CURLOPT_WRITEDATA, &fetch);
    curl_easy_setopt(curl.Handle(), CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl.Handle(), CURLOPT_XFERINFODATA, &fetch);
    curl_easy_setopt(curl.Handle(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.Handle(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.Handle(), CURLOPT_TIMEOUT, 60L);
    // A failed request fails the check without a message: the dialog says it all.
    if (curl_easy_perform(curl.Handle()) != CURLE_OK) return outcome;

    // Each check gets a folder of its own, so nothing of another user's or an earlier
    // check's can be mistaken for ours.
    Discard();
    m_strFolder = MakePrivateFolder("cva-update");
    m_strVersionFilePath = m_strFolder.empty() ? std::string() : m_strFolder + "/" + SafeFileName(url, "version.ver");
    if (m_strFolder.empty() || !WriteNewFile(m_strVersionFilePath, fetch.body)) {
        Discard();
        outcome.m_message = "Cannot create a temporary file!";
        return outcome;
    }
    std::optional<SVersionFile> offered = ParseVersionFile(fetch.body);
    if (!offered) return outcome;
    m_offered = *offered;
    outcome.m_result = CompareVersions(current, m_offered.m_version) < 0 ? ECheckResult::Newer : ECheckResult::Latest;
    return outcome;
}

} // namespace cva::update
