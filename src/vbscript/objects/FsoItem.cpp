#include "vbscript/objects/FsoItem.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoDrive.h"
#include "vbscript/objects/FsoFolder.h"
#include "vbscript/objects/FsoOperations.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {

enum : DispId {
    kPathId = kDispIdValue,
    kNameId = 1,
    kShortNameId,
    kShortPathId,
    kSizeId,
    kTypeId,
    kDateCreatedId,
    kDateLastModifiedId,
    kDateLastAccessedId,
    kAttributesId,
    kParentFolderId,
    kDriveId,
    kDeleteId,
    kCopyId,
    kMoveId,
};

constexpr MemberName kMembers[] = {
    {u"Path", kPathId}, {u"Name", kNameId}, {u"ShortName", kShortNameId},
    {u"ShortPath", kShortPathId}, {u"Size", kSizeId}, {u"Type", kTypeId},
    {u"DateCreated", kDateCreatedId}, {u"DateLastModified", kDateLastModifiedId},
    {u"DateLastAccessed", kDateLastAccessedId}, {u"Attributes", kAttributesId},
    {u"ParentFolder", kParentFolderId}, {u"Drive", kDriveId}, {u"Delete", kDeleteId},
    {u"Copy", kCopyId}, {u"Move", kMoveId},
};

Variant SizeVariant(uint64_t n)
{
    // Size is a Long while it fits and a Double beyond, as the automation object does.
    if (n <= 0x7FFFFFFFu)
        return Variant(static_cast<int32_t>(n));
    return Variant(static_cast<double>(n));
}

} // namespace

DispId CFsoItem::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

int32_t CFsoItem::NotFound() const
{
    return m_kind == fso::EntryKind::Folder ? kErrPathNotFound : kErrFileNotFound;
}

Status CFsoItem::Locate(fso::fs::path& host) const
{
    std::optional<fso::fs::path> mapped = fso::HostPath(*m_services, m_path);
    if (!mapped || fso::KindOf(*mapped) != m_kind)
        return Status(NotFound());
    host = std::move(*mapped);
    return Status::Ok();
}

Status CFsoItem::Rename(std::span<Variant> args)
{
    std::u16string name;
    Status st = ExpectArgs(args, 1, 1);
    if (st.Failed() || (st = obj::ArgText(args, 0, name)).Failed())
        return st;
    if (name.empty() || name.find_first_of(u"\\/:*?\"<>|") != std::u16string::npos)
        return Status(kErrBadFileName);
    fso::fs::path host;
    if ((st = Locate(host)).Failed())
        return st;
    if (fso::FileName(m_path).empty())
        return Status(kErrPermissionDenied); // a drive root has no name to change
    std::u16string parent(fso::ParentFolderName(m_path));
    std::u16string target = fso::BuildPath(parent, name);
    std::optional<fso::fs::path> targetHost = fso::HostPath(*m_services, target);
    if (!targetHost)
        return Status(kErrPathNotFound);
    // A change of case only is a rename on a case-sensitive disk, not a clash.
    if (!text::EqualsNoCase(fso::FileName(m_path), name) &&
        fso::KindOf(*targetHost) != fso::EntryKind::None)
        return Status(kErrFileAlreadyExists);
    const fso::fs::path renamed = host.parent_path() / fso::fs::path(text::Utf16ToUtf8(name));
    if ((st = m_services->FileChanging(host.string(), renamed.string())).Failed())
        return st;
    std::error_code ec;
    fso::fs::rename(host, renamed, ec);
    if (ec)
        return fso::ErrorFromCode(ec, NotFound());
    m_path = std::move(target);
    return Status::Ok();
}

Status CFsoItem::SetAttributes(std::span<Variant> args)
{
    int32_t attrs = 0;
    Status st = ExpectArgs(args, 1, 1);
    if (st.Failed() || (st = ToLong(args[0], attrs)).Failed())
        return st;
    fso::fs::path host;
    if ((st = Locate(host)).Failed() || (st = m_services->FileChanging(host.string(), {})).Failed())
        return st;
    return fso::ErrorFromCode(fso::SetReadOnly(host, (attrs & fso::kAttrReadOnly) != 0), NotFound());
}

Status CFsoItem::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (IsAssignment(kind)) {
        if (id == kNameId)
            return Rename(args);
        if (id == kAttributesId)
            return SetAttributes(args);
        return Status(kErrWrongArgCount);
    }
    Status st;
    bool flag = false;
    std::u16string text;
    switch (id) {
    case kDeleteId:
        if ((st = ExpectArgs(args, 0, 1)).Failed() || (st = obj::ArgBool(args, 0, false, flag)).Failed())
            return st;
        return m_kind == fso::EntryKind::Folder ? fso::DeleteFolders(*m_services, m_path, flag)
                                                : fso::DeleteFiles(*m_services, m_path, flag);
    case kCopyId:
        if ((st = ExpectArgs(args, 1, 2)).Failed() || (st = obj::ArgText(args, 0, text)).Failed() ||
            (st = obj::ArgBool(args, 1, true, flag)).Failed())
            return st;
        return m_kind == fso::EntryKind::Folder ? fso::CopyFolders(*m_services, m_path, text, flag)
                                                : fso::CopyFiles(*m_services, m_path, text, flag);
    case kMoveId: {
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        std::u16string moved;
        st = m_kind == fso::EntryKind::Folder ? fso::MoveFolders(*m_services, m_path, text, &moved)
                                              : fso::MoveFiles(*m_services, m_path, text, &moved);
        if (st.IsOk() && !moved.empty())
            m_path = std::move(moved);
        return st;
    }
    default: break;
    }
    fso::fs::path host;
    if ((st = Locate(host)).Failed())
        return st;
    if (id == kParentFolderId) {
        std::u16string_view parent = fso::ParentFolderName(m_path);
        Variant folder = parent.empty() ? Variant::Nothing()
                                        : obj::FromObject(MakeObject<CFsoFolder>(*m_services, std::u16string(parent)));
        return obj::ForwardToDefault(std::move(folder), kind, args, result);
    }
    if (id == kDriveId) {
        std::u16string drive(fso::DriveName(m_path));
        return obj::ForwardToDefault(obj::FromObject(MakeObject<CFsoDrive>(*m_services, std::move(drive))),
                                     kind, args, result);
    }
    if ((st = ExpectArgs(args, 0, 0)).Failed())
        return st;
    switch (id) {
    case kPathId:
    case kShortPathId:
        result = Variant(std::u16string_view(m_path));
        return Status::Ok();
    case kNameId:
    case kShortNameId:
        result = Variant(fso::FileName(m_path));
        return Status::Ok();
    case kSizeId: {
        std::error_code ec;
        uint64_t n = m_kind == fso::EntryKind::Folder ? fso::FolderSize(host)
                                                      : fso::fs::file_size(host, ec);
        if (ec)
            return fso::ErrorFromCode(ec, NotFound());
        result = SizeVariant(n);
        return Status::Ok();
    }
    case kTypeId:
        result = Variant(std::u16string_view(
            fso::TypeDescription(fso::FileName(m_path), m_kind == fso::EntryKind::Folder)));
        return Status::Ok();
    case kDateCreatedId:
    case kDateLastModifiedId:
    case kDateLastAccessedId:
        // POSIX keeps no creation time std::filesystem can read; the last write time
        // is the closest honest answer for all three.
        result = Variant::FromDate(fso::ModifiedDate(host));
        return Status::Ok();
    case kAttributesId:
        result = Variant(fso::Attributes(host, m_kind));
        return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
