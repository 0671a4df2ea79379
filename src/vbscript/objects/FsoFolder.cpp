#include "vbscript/objects/FsoFolder.h"

#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoCollection.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/TextFileRequest.h"

namespace cva::vbs {

namespace {
enum : DispId { kIsRootFolder = 20, kFiles, kSubFolders, kCreateTextFile };
constexpr MemberName kMembers[] = {
    {u"IsRootFolder", kIsRootFolder}, {u"Files", kFiles}, {u"SubFolders", kSubFolders},
    {u"CreateTextFile", kCreateTextFile},
};
} // namespace

DispId CFsoFolder::GetMemberId(std::u16string_view name)
{
    DispId id = LookupMember(name, kMembers);
    return id != kDispIdUnknown ? id : CFsoItem::GetMemberId(name);
}

Status CFsoFolder::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (id < kFirstOwnMember)
        return CFsoItem::Invoke(id, kind, args, result);
    Status st = obj::ReadOnly(kind);
    fso::fs::path host;
    if (st.Failed() || (st = Locate(host)).Failed())
        return st;
    switch (id) {
    case kIsRootFolder:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(fso::ParentFolderName(Path()).empty());
        return Status::Ok();
    case kFiles:
    case kSubFolders:
        return obj::ForwardToDefault(
            obj::FromObject(MakeObject<CFsoCollection>(
                Services(), Path(), id == kFiles ? fso::EntryKind::File : fso::EntryKind::Folder)),
            kind, args, result);
    case kCreateTextFile: {
        std::u16string name;
        if ((st = ExpectArgs(args, 1, 3)).Failed() || (st = obj::ArgText(args, 0, name)).Failed())
            return st;
        Ref<CTextStream> stream;
        if ((st = fso::CreateTextFile(Services(), fso::BuildPath(Path(), name), args.subspan(1),
                                      stream))
                .Failed())
            return st;
        result = obj::FromObject(std::move(stream));
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
