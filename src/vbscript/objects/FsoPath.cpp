#include "vbscript/objects/FsoPath.h"

#include "platform/text/Unicode.h"

#include <vector>

namespace cva::vbs::fso {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

namespace {

bool IsLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Length of the path without trailing separators, never cutting into the root.
size_t TrimmedLength(std::u16string_view path)
{
    size_t root = DriveName(path).size();
    size_t n = path.size();
    while (n > root && IsSeparator(path[n - 1]))
        --n;
    return n;
}

} // namespace

std::u16string_view DriveName(std::u16string_view path)
{
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == u':')
        return path.substr(0, 2);
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t server = 2;
        while (server < path.size() && !IsSeparator(path[server]))
            ++server;
        if (server >= path.size())
            return {};
        size_t share = server + 1;
        while (share < path.size() && !IsSeparator(path[share]))
            ++share;
        return path.substr(0, share);
    }
    return {};
}

std::u16string_view FileName(std::u16string_view path)
{
    size_t root = DriveName(path).size();
    size_t end = TrimmedLength(path);
    size_t start = end;
    while (start > root && !IsSeparator(path[start - 1]))
        --start;
    return path.substr(start, end - start);
}

std::u16string_view BaseName(std::u16string_view path)
{
    std::u16string_view name = FileName(path);
    size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? name : name.substr(0, dot);
}

std::u16string_view ExtensionName(std::u16string_view path)
{
    std::u16string_view name = FileName(path);
    size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot + 1);
}

std::u16string_view ParentFolderName(std::u16string_view path)
{
    size_t root = DriveName(path).size();
    size_t end = TrimmedLength(path);
    size_t start = end;
    while (start > root && !IsSeparator(path[start - 1]))
        --start;
    if (start == end)
        return {}; // a root has no parent
    size_t parentEnd = start;
    while (parentEnd > root && IsSeparator(path[parentEnd - 1]))
        --parentEnd;
    if (parentEnd == root) {
        // "C:\x" has the parent "C:\"; "x" and "C:x" have none worth naming.
        if (parentEnd < start && root <= 2)
            return path.substr(0, parentEnd + 1);
        return path.substr(0, root);
    }
    return path.substr(0, parentEnd);
}

std::u16string BuildPath(std::u16string_view path, std::u16string_view name)
{
    std::u16string out(path);
    size_t lead = 0;
    while (lead < name.size() && IsSeparator(name[lead]))
        ++lead;
    name.remove_prefix(lead);
    bool bareDrive = path.size() == 2 && path[1] == u':';
    if (!out.empty() && !IsSeparator(out.back()) && !bareDrive)
        out += u'\\';
    out += name;
    return out;
}

std::u16string AbsolutePath(std::u16string_view path, std::u16string_view currentDirectory)
{
    std::u16string full;
    std::u16string_view drive = DriveName(path);
    std::u16string_view curDrive = DriveName(currentDirectory);
    if (!drive.empty() && drive.size() > 2) {
        full = path; // UNC
    } else if (!drive.empty()) {
        std::u16string_view rest = path.substr(2);
        if (!rest.empty() && IsSeparator(rest[0]))
            full = path;
        else if (text::EqualsNoCase(drive, curDrive))
            full = BuildPath(currentDirectory, rest);
        else
            full = std::u16string(drive) + u"\\" + std::u16string(rest);
    } else if (!path.empty() && IsSeparator(path[0])) {
        full = std::u16string(curDrive) + std::u16string(path);
    } else {
        full = BuildPath(currentDirectory, path);
    }

    std::u16string_view root = DriveName(full);
    std::u16string out(root);
    if (out.size() == 2)
        out[0] = text::ToUpper(out[0]);
    std::vector<std::u16string_view> parts;
    std::u16string_view rest = std::u16string_view(full).substr(root.size());
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSeparator(rest[i]))
            ++i;
        size_t start = i;
        while (i < rest.size() && !IsSeparator(rest[i]))
            ++i;
        std::u16string_view part = rest.substr(start, i - start);
        if (part.empty() || part == u".")
            continue;
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    out += u'\\';
    for (size_t p = 0; p < parts.size(); ++p) {
        if (p)
            out += u'\\';
        out += parts[p];
    }
    return out;
}

bool EndsWithSeparator(std::u16string_view path)
{
    return !path.empty() && IsSeparator(path.back());
}

bool HasWildcards(std::u16string_view name)
{
    return name.find_first_of(u"*?") != std::u16string_view::npos;
}

bool WildcardMatch(std::u16string_view pattern, std::u16string_view name)
{
    // Iterative matching with one backtrack point for the last star: linear enough
    // for file names and immune to pathological patterns.
    size_t p = 0;
    size_t n = 0;
    size_t starP = std::u16string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' || text::ToUpper(pattern[p]) == text::ToUpper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace cva::vbs::fso
