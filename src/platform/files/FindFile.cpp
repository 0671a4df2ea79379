#include "platform/files/FindFile.h"

#include "platform/files/FileAttributes.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace cva::files {

namespace {

bool Glob(std::u16string_view p, std::u16string_view n) {
    // Iterative match with one backtrack point per "*": linear in practice, no recursion
    // for hostile patterns such as "*a*a*a*a*b".
    size_t pi = 0, ni = 0, starP = std::u16string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == u'?' || p[pi] == n[ni])) {
            ++pi, ++ni;
        } else if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::u16string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

} // namespace

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") return true;
    std::u16string p = text::ToUpper(text::Utf8ToUtf16(pattern));
    std::u16string n = text::ToUpper(text::Utf8ToUtf16(name));
    if (Glob(p, n)) return true;
    const bool hasDot = n.find(u'.') != std::u16string::npos;
    if (p.size() > 2 && p.compare(p.size() - 2, 2, u".*") == 0 && !hasDot)
        return Glob(std::u16string_view(p).substr(0, p.size() - 2), n);
    if (p.size() > 1 && p.back() == u'.' && !hasDot && name != "." && name != "..")
        return Glob(std::u16string_view(p).substr(0, p.size() - 1), n);
    return false;
}

std::vector<SFindData> FindFiles(const std::string& hostFolder, std::string_view pattern,
                                 bool includeDotEntries) {
    std::vector<SFindData> found;
    DIR* dir = ::opendir(hostFolder.c_str());
    if (!dir) return found;
    std::vector<SFindData> dots;
    while (dirent* entry = ::readdir(dir)) {
        std::string name(entry->d_name);
        const bool dot = name == "." || name == "..";
        if ((dot && !includeDotEntries) || !MatchWildcard(pattern, name)) continue;
        const std::string path = hostFolder + "/" + name;
        SFindData data;
        data.name = name;
        data.attributes = GetFileAttributes(path);
        if (data.attributes == INVALID_FILE_ATTRIBUTES) continue;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            data.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
            data.lastWrite = st.st_mtime;
        }
        (dot ? dots : found).push_back(std::move(data));
    }
    ::closedir(dir);
    std::sort(dots.begin(), dots.end(),
              [](const SFindData& a, const SFindData& b) { return a.name < b.name; });
    std::sort(found.begin(), found.end(), [](const SFindData& a, const SFindData& b) {
        int c = text::CompareNoCaseUtf8(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    found.insert(found.begin(), dots.begin(), dots.end());
    return found;
}

} // namespace cva::files
