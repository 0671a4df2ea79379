#include "vbscript/objects/FsoOperations.h"

#include "vbscript/objects/FsoHost.h"
#include "vbscript/objects/FsoPath.h"
#include "platform/text/Unicode.h"

#include <vector>

namespace cva::vbs::fso {

namespace {

struct Source {
    std::u16string windowsPath;
    std::u16string name;
    fs::path host;
};

// A folder's entries of one kind that the script may reach, each with the path the
// script names it by. Each goes through the services' mapping again: an entry that is a
// link out of the script's reach is left out, as if it were not there.
std::vector<Source> ReachableEntries(IScriptServices& services, const std::u16string& folder,
                                     const fs::path& host, EntryKind kind,
                                     std::u16string_view pattern = {})
{
    std::vector<Source> out;
    for (DirEntry& e : ListFolder(host, kind, pattern)) {
        std::u16string path =
            services.IsHostPath(folder) ? folder + u"/" + e.name : BuildPath(folder, e.name);
        if (std::optional<fs::path> reached = HostPath(services, path))
            out.push_back({std::move(path), std::move(e.name), std::move(*reached)});
    }
    return out;
}

// The items a source path names: one item, or every match of a wildcard in
// the last component. notFound (53 or 76) when nothing matches.
Status ResolveSources(IScriptServices& services, std::u16string_view itemPath, EntryKind kind,
                      int32_t notFound, std::vector<Source>& out, bool& wildcard)
{
    out.clear();
    std::u16string abs = Absolute(services, itemPath);
    std::u16string_view pattern = FileName(abs);
    // A drive root names no item: deleting or moving "C:\" must never reach the disk.
    if (pattern.empty())
        return Status(kind == EntryKind::Folder ? kErrPathNotFound : notFound);
    wildcard = HasWildcards(pattern);
    if (!wildcard) {
        std::optional<fs::path> host = HostPath(services, abs);
        if (!host || KindOf(*host) != kind) {
            std::optional<fs::path> parent = HostPath(services, ParentFolderName(abs));
            bool parentThere = parent && KindOf(*parent) == EntryKind::Folder;
            return Status(host && parentThere ? notFound : kErrPathNotFound);
        }
        out.push_back({abs, std::u16string(pattern), *host});
        return Status::Ok();
    }
    std::u16string parent(ParentFolderName(abs));
    std::optional<fs::path> parentHost = HostPath(services, parent);
    if (!parentHost || KindOf(*parentHost) != EntryKind::Folder)
        return Status(kErrPathNotFound);
    out = ReachableEntries(services, parent, *parentHost, kind, pattern);
    return out.empty() ? Status(notFound) : Status::Ok();
}

// Where one source goes: into the destination folder (trailing backslash, or several
// sources) or to the destination path itself, whose parent must exist.
Status ResolveTarget(IScriptServices& services, std::u16string_view destination,
                     const Source& source, bool intoFolder, fs::path& host, std::u16string& windows)
{
    std::u16string abs = Absolute(services, destination);
    if (intoFolder || EndsWithSeparator(destination)) {
        std::optional<fs::path> folder = HostPath(services, abs);
        if (!folder || KindOf(*folder) != EntryKind::Folder)
            return Status(kErrPathNotFound);
        host = *folder / fs::path(text::Utf16ToUtf8(source.name));
        windows = BuildPath(abs, source.name);
        return Status::Ok();
    }
    std::optional<fs::path> target = HostPath(services, abs);
    std::optional<fs::path> parent = HostPath(services, ParentFolderName(abs));
    if (!target || !parent || KindOf(*parent) != EntryKind::Folder)
        return Status(kErrPathNotFound);
    host = *target;
    windows = abs;
    return Status::Ok();
}

bool SameItem(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// True when `inner` is `outer` or lies below it.
bool IsWithin(const fs::path& inner, const fs::path& outer)
{
    std::error_code ec;
    fs::path a = fs::weakly_canonical(inner, ec);
    fs::path b = fs::weakly_canonical(outer, ec);
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai)
        if (ai == a.end() || *ai != *bi)
            return false;
    return true;
}

Status CopyOneFile(IScriptServices& services, const fs::path& from, const fs::path& to, bool overwrite)
{
    EntryKind existing = KindOf(to);
    if (existing == EntryKind::Folder)
        return Status(kErrPermissionDenied);
    if (existing == EntryKind::File) {
        if (!overwrite)
            return Status(kErrFileAlreadyExists);
        // Checked here rather than left to the host: a privileged process would
        // otherwise overwrite what Windows protects.
        if (IsReadOnly(to) || SameItem(from, to))
            return Status(kErrPermissionDenied);
    }
    if (Status st = services.FileChanging(to.string(), {}); st.Failed())
        return st;
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return ErrorFromCode(ec, kErrPathNotFound);
}

Status CopyTreeBody(IScriptServices& services, const Source& from, const fs::path& to,
                    bool overwrite, std::vector<fs::path>& chain);

// Folders reached through links (a Wine prefix links the user's folders to the home
// directory) are copied like the folders Windows sees there, as far as the script may
// reach them; but a link back up the tree would never end, and like a looping junction
// on Windows, that refuses with 70.
Status CopyTree(IScriptServices& services, const Source& from, const fs::path& to,
                bool overwrite, std::vector<fs::path>& chain)
{
    std::error_code ec;
    fs::path real = fs::canonical(from.host, ec);
    if (ec)
        return ErrorFromCode(ec, kErrPathNotFound);
    for (const fs::path& outer : chain)
        if (outer == real)
            return Status(kErrPermissionDenied);
    chain.push_back(real);
    Status st = CopyTreeBody(services, from, to, overwrite, chain);
    chain.pop_back();
    return st;
}

Status CopyTreeBody(IScriptServices& services, const Source& from, const fs::path& to,
                    bool overwrite, std::vector<fs::path>& chain)
{
    std::error_code ec;
    EntryKind existing = KindOf(to);
    if (existing == EntryKind::File)
        return Status(kErrFileAlreadyExists);
    if (existing == EntryKind::None) {
        if (Status st = services.FileChanging(to.string(), {}); st.Failed())
            return st;
        if (!fs::create_directory(to, ec))
            return ErrorFromCode(ec, kErrPathNotFound);
    }
    for (const Source& e :
         ReachableEntries(services, from.windowsPath, from.host, EntryKind::Folder)) {
        Status st = CopyTree(services, e, to / e.host.filename(), overwrite, chain);
        if (st.Failed())
            return st;
    }
    for (const Source& e :
         ReachableEntries(services, from.windowsPath, from.host, EntryKind::File)) {
        Status st = CopyOneFile(services, e.host, to / e.host.filename(), overwrite);
        if (st.Failed())
            return st;
    }
    return Status::Ok();
}

// rename(2), or copy and delete when the two paths lie on different host file systems.
Status MoveItem(IScriptServices& services, const Source& from, const fs::path& to, bool folder)
{
    if (Status st = services.FileChanging(from.host.string(), to.string()); st.Failed())
        return st;
    std::error_code ec;
    fs::rename(from.host, to, ec);
    if (ec != std::errc::cross_device_link)
        return ErrorFromCode(ec, kErrPathNotFound);
    std::vector<fs::path> chain;
    Status st =
        folder ? CopyTree(services, from, to, false, chain) : CopyOneFile(services, from.host, to, false);
    if (st.Failed())
        return st;
    fs::remove_all(from.host, ec);
    return ErrorFromCode(ec, kErrPathNotFound);
}

bool HasReadOnlyFile(const fs::path& folder)
{
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (IsReadOnly(it->path()))
            return true;
    return false;
}

} // namespace

Status DeleteFiles(IScriptServices& services, std::u16string_view itemPath, bool force)
{
    std::vector<Source> sources;
    bool wildcard = false;
    Status st = ResolveSources(services, itemPath, EntryKind::File, kErrFileNotFound, sources, wildcard);
    if (st.Failed())
        return st;
    for (const Source& s : sources) {
        if (IsReadOnly(s.host) && !force)
            return Status(kErrPermissionDenied);
        if (Status noted = services.FileChanging(s.host.string(), {}); noted.Failed())
            return noted;
        if (IsReadOnly(s.host))
            (void)SetReadOnly(s.host, false);
        std::error_code ec;
        fs::remove(s.host, ec);
        if (ec)
            return ErrorFromCode(ec, kErrFileNotFound);
    }
    return Status::Ok();
}

Status DeleteFolders(IScriptServices& services, std::u16string_view itemPath, bool force)
{
    std::vector<Source> sources;
    bool wildcard = false;
    Status st = ResolveSources(services, itemPath, EntryKind::Folder, kErrPathNotFound, sources, wildcard);
    if (st.Failed())
        return st;
    for (const Source& s : sources) {
        // Refuse before deleting anything rather than leave half a tree behind.
        if (!force && (IsReadOnly(s.host) || HasReadOnlyFile(s.host)))
            return Status(kErrPermissionDenied);
        if (Status noted = services.FileChanging(s.host.string(), {}); noted.Failed())
            return noted;
        std::error_code ec;
        if (force) {
            (void)SetReadOnly(s.host, false);
            // Not through links: their targets lie outside the tree being deleted.
            for (fs::recursive_directory_iterator it(s.host, ec), end; !ec && it != end; it.increment(ec))
                if (!it->is_symlink(ec))
                    (void)SetReadOnly(it->path(), false);
        }
        fs::remove_all(s.host, ec);
        if (ec)
            return ErrorFromCode(ec, kErrPathNotFound);
    }
    return Status::Ok();
}

namespace {

// Copying and moving: resolves the sources, then runs step on each with the place it
// goes to (host path and Windows path); the first failure ends the operation.
template <class Step>
Status ForEachTransfer(IScriptServices& services, std::u16string_view source,
                       std::u16string_view destination, EntryKind kind, Step step)
{
    std::vector<Source> sources;
    bool wildcard = false;
    int32_t notFound = kind == EntryKind::File ? kErrFileNotFound : kErrPathNotFound;
    Status st = ResolveSources(services, source, kind, notFound, sources, wildcard);
    if (st.Failed())
        return st;
    for (const Source& s : sources) {
        fs::path to;
        std::u16string windows;
        if ((st = ResolveTarget(services, destination, s, wildcard, to, windows)).Failed() ||
            (st = step(s, to, windows)).Failed())
            return st;
    }
    return Status::Ok();
}

Status MoveItems(IScriptServices& services, std::u16string_view source, std::u16string_view destination,
                 EntryKind kind, std::u16string* moved)
{
    bool folder = kind == EntryKind::Folder;
    return ForEachTransfer(services, source, destination, kind,
                           [&](const Source& s, const fs::path& to, const std::u16string& windows) -> Status {
                               if (KindOf(to) != EntryKind::None)
                                   return Status(kErrFileAlreadyExists);
                               if (folder && IsWithin(to, s.host))
                                   return Status(kErrPermissionDenied);
                               Status st = MoveItem(services, s, to, folder);
                               if (st.IsOk() && moved)
                                   *moved = windows;
                               return st;
                           });
}

} // namespace

Status CopyFiles(IScriptServices& services, std::u16string_view source,
                 std::u16string_view destination, bool overwrite)
{
    return ForEachTransfer(services, source, destination, EntryKind::File,
                           [&](const Source& s, const fs::path& to, const std::u16string&) {
                               return CopyOneFile(services, s.host, to, overwrite);
                           });
}

Status MoveFiles(IScriptServices& services, std::u16string_view source,
                 std::u16string_view destination, std::u16string* moved)
{
    return MoveItems(services, source, destination, EntryKind::File, moved);
}

Status CopyFolders(IScriptServices& services, std::u16string_view source,
                   std::u16string_view destination, bool overwrite)
{
    return ForEachTransfer(services, source, destination, EntryKind::Folder,
                           [&](const Source& s, const fs::path& to, const std::u16string&) -> Status {
                               if (IsWithin(to, s.host))
                                   return Status(kErrPermissionDenied); // a folder cannot hold a copy of itself
                               std::vector<fs::path> chain;
                               return CopyTree(services, s, to, overwrite, chain);
                           });
}

Status MoveFolders(IScriptServices& services, std::u16string_view source,
                   std::u16string_view destination, std::u16string* moved)
{
    return MoveItems(services, source, destination, EntryKind::Folder, moved);
}

Status CreateFolder(IScriptServices& services, std::u16string_view path, std::u16string& created)
{
    std::u16string abs = Absolute(services, path);
    std::optional<fs::path> host = HostPath(services, abs);
    std::optional<fs::path> parent = HostPath(services, ParentFolderName(abs));
    if (!host)
        return Status(kErrPathNotFound);
    if (KindOf(*host) != EntryKind::None)
        return Status(kErrFileAlreadyExists);
    if (!parent || KindOf(*parent) != EntryKind::Folder)
        return Status(kErrPathNotFound);
    if (Status noted = services.FileChanging(host->string(), {}); noted.Failed())
        return noted;
    std::error_code ec;
    fs::create_directory(*host, ec);
    if (ec)
        return ErrorFromCode(ec, kErrPathNotFound);
    created = abs;
    return Status::Ok();
}

} // namespace cva::vbs::fso
