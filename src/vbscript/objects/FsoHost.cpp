#include "vbscript/objects/FsoHost.h"

#include "platform/text/Unicode.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/runtime/DateTime.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace cva::vbs::fso {

std::u16string Absolute(IScriptServices& services, std::u16string_view path)
{
    if (services.IsHostPath(path))
        return std::u16string(path);
    return AbsolutePath(path, services.CurrentDirectory());
}

std::optional<fs::path> HostPath(IScriptServices& services, std::u16string_view windowsPath)
{
    std::optional<std::string> host = services.MapPath(windowsPath);
    if (!host || host->empty())
        return std::nullopt;
    return fs::path(*host);
}

EntryKind KindOf(const fs::path& host)
{
    std::error_code ec;
    fs::file_status st = fs::status(host, ec);
    if (ec)
        return EntryKind::None;
    if (fs::is_directory(st))
        return EntryKind::Folder;
    if (fs::exists(st))
        return EntryKind::File;
    return EntryKind::None;
}

Status ErrorFromCode(const std::error_code& ec, int32_t notFound)
{
    if (!ec)
        return Status::Ok();
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
        return Status(notFound);
    if (ec == std::errc::file_exists)
        return Status(kErrFileAlreadyExists);
    if (ec == std::errc::no_space_on_device)
        return Status(kErrDiskFull);
    if (ec == std::errc::cross_device_link)
        return Status(kErrRenameAcrossDisks);
    if (ec == std::errc::io_error)
        return Status(kErrIoError);
    // Access refusals, read-only media, busy and non-empty folders: Windows reports all
    // of these to scripts as "Permission denied".
    return Status(kErrPermissionDenied);
}

std::vector<DirEntry> ListFolder(const fs::path& host, EntryKind kind, std::u16string_view pattern)
{
    std::vector<DirEntry> out;
    std::error_code ec;
    for (fs::directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
        EntryKind k = KindOf(it->path());
        if (k != kind)
            continue;
        std::u16string name = text::Utf8ToUtf16(it->path().filename().string());
        if (!pattern.empty() && !WildcardMatch(pattern, name))
            continue;
        out.push_back({std::move(name), it->path(), k});
    }
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
        int c = text::CompareNoCase(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return out;
}

bool IsReadOnly(const fs::path& host)
{
    std::error_code ec;
    fs::perms p = fs::status(host, ec).permissions();
    return !ec && (p & fs::perms::owner_write) == fs::perms::none;
}

std::error_code SetReadOnly(const fs::path& host, bool readOnly)
{
    std::error_code ec;
    fs::permissions(host, fs::perms::owner_write | fs::perms::group_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add, ec);
    return ec;
}

int32_t Attributes(const fs::path& host, EntryKind kind)
{
    // The target's files carry no Windows attribute bits on a POSIX disk; read-only is
    // the one that has a faithful counterpart, and files show the archive bit Windows
    // sets on anything written.
    int32_t a = kind == EntryKind::Folder ? kAttrDirectory : kAttrArchive;
    if (IsReadOnly(host))
        a |= kAttrReadOnly;
    return a;
}

double ModifiedDate(const fs::path& host)
{
    std::error_code ec;
    fs::file_time_type ft = fs::last_write_time(host, ec);
    if (ec)
        return 0;
    auto sys = std::chrono::file_clock::to_sys(ft);
    std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return 0;
    return rt::CombineDateTime(rt::MakeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                               rt::MakeTime(tm.tm_hour, tm.tm_min, tm.tm_sec));
}

uint64_t FolderSize(const fs::path& host)
{
    uint64_t total = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sizeEc;
        if (it->is_regular_file(sizeEc)) {
            uintmax_t n = it->file_size(sizeEc);
            if (!sizeEc)
                total += n;
        }
    }
    return total;
}

std::u16string TypeDescription(std::u16string_view name, bool folder)
{
    if (folder)
        return u"File folder";
    std::u16string ext = text::ToUpper(ExtensionName(name));
    struct Known {
        const char16_t* ext;
        const char16_t* type;
    };
    static constexpr Known kKnown[] = {
        {u"TXT", u"Text Document"}, {u"INI", u"Configuration settings"},
        {u"LOG", u"Text Document"}, {u"BAT", u"Windows Batch File"},
        {u"EXE", u"Application"},   {u"DLL", u"Application extension"},
        {u"VBS", u"VBScript Script File"}, {u"REG", u"Registration Entries"},
    };
    for (const Known& k : kKnown)
        if (ext == k.ext)
            return k.type;
    return ext.empty() ? u"File" : ext + u" File";
}

} // namespace cva::vbs::fso
