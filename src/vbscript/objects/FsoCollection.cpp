#include "vbscript/objects/FsoCollection.h"

#include "platform/text/Unicode.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoFile.h"
#include "vbscript/objects/FsoFolder.h"
#include "vbscript/objects/FsoOperations.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {
enum : DispId { kItem = kDispIdValue, kCount = 1, kAdd };
constexpr MemberName kFileMembers[] = {{u"Item", kItem}, {u"Count", kCount}};
constexpr MemberName kFolderMembers[] = {{u"Item", kItem}, {u"Count", kCount}, {u"Add", kAdd}};
} // namespace

DispId CFsoCollection::GetMemberId(std::u16string_view name)
{
    if (m_kind == fso::EntryKind::Folder)
        return LookupMember(name, kFolderMembers);
    return LookupMember(name, kFileMembers);
}

std::u16string CFsoCollection::TypeName() const
{
    return m_kind == fso::EntryKind::Folder ? u"Folders" : u"Files";
}

Status CFsoCollection::List(std::vector<fso::DirEntry>& out) const
{
    std::optional<fso::fs::path> host = fso::HostPath(*m_services, m_folder);
    if (!host || fso::KindOf(*host) != fso::EntryKind::Folder)
        return Status(kErrPathNotFound);
    out = fso::ListFolder(*host, m_kind);
    return Status::Ok();
}

Variant CFsoCollection::MakeItem(const std::u16string& name) const
{
    std::u16string path = fso::BuildPath(m_folder, name);
    if (m_kind == fso::EntryKind::Folder)
        return obj::FromObject(MakeObject<CFsoFolder>(*m_services, std::move(path)));
    return obj::FromObject(MakeObject<CFsoFile>(*m_services, std::move(path)));
}

Status CFsoCollection::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed())
        return st;
    std::vector<fso::DirEntry> entries;
    std::u16string name;
    switch (id) {
    case kCount:
        if ((st = ExpectArgs(args, 0, 0)).Failed() || (st = List(entries)).Failed())
            return st;
        result = Variant(static_cast<int32_t>(entries.size()));
        return Status::Ok();
    case kItem:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, name)).Failed() ||
            (st = List(entries)).Failed())
            return st;
        for (const fso::DirEntry& e : entries) {
            if (text::EqualsNoCase(e.name, name)) {
                result = MakeItem(e.name);
                return Status::Ok();
            }
        }
        return Status(m_kind == fso::EntryKind::Folder ? kErrPathNotFound : kErrFileNotFound);
    case kAdd: {
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, name)).Failed())
            return st;
        if (name.empty() || name.find_first_of(u"\\/:*?\"<>|") != std::u16string::npos)
            return Status(kErrBadFileName);
        std::u16string created;
        if ((st = fso::CreateFolder(*m_services, fso::BuildPath(m_folder, name), created)).Failed())
            return st;
        result = obj::FromObject(MakeObject<CFsoFolder>(*m_services, std::move(created)));
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

Status CFsoCollection::NewEnum(EnumeratorPtr& out)
{
    std::vector<fso::DirEntry> entries;
    Status st = List(entries);
    if (st.Failed())
        return st;
    std::vector<Variant> items;
    items.reserve(entries.size());
    for (const fso::DirEntry& e : entries)
        items.push_back(MakeItem(e.name));
    out = std::make_unique<obj::CSnapshotEnumerator>(std::move(items));
    return Status::Ok();
}

} // namespace cva::vbs
