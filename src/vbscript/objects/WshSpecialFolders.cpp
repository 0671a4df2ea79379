#include "vbscript/objects/WshSpecialFolders.h"

#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"

#include <iterator>
#include <vector>

namespace cva::vbs {

namespace {

enum : DispId { kItem = kDispIdValue, kCount = 1, kLength };
constexpr MemberName kMembers[] = {{u"Item", kItem}, {u"Count", kCount}, {u"Length", kLength}};

// The names WshSpecialFolders answers, in the order its enumeration lists them.
constexpr const char16_t* kNames[] = {
    u"AllUsersDesktop", u"AllUsersStartMenu", u"AllUsersPrograms", u"AllUsersStartup",
    u"Desktop", u"Favorites", u"Fonts", u"MyDocuments", u"NetHood", u"PrintHood",
    u"Programs", u"Recent", u"SendTo", u"StartMenu", u"Startup", u"Templates", u"AppData",
};

std::vector<std::u16string> KnownFolders(IScriptServices& services)
{
    std::vector<std::u16string> out;
    for (const char16_t* name : kNames) {
        std::u16string path = services.SpecialFolder(name);
        if (!path.empty())
            out.push_back(std::move(path));
    }
    return out;
}

} // namespace

DispId CWshSpecialFolders::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CWshSpecialFolders::Lookup(IScriptServices& services, const Variant& which, Variant& result)
{
    if (which.IsString()) {
        result = Variant(std::u16string_view(services.SpecialFolder(which.AsString().View())));
        return Status::Ok();
    }
    int32_t index = 0;
    Status st = ToLong(which, index);
    if (st.Failed())
        return st;
    std::vector<std::u16string> known = KnownFolders(services);
    if (index < 0 || static_cast<size_t>(index) >= known.size())
        return Status(kErrSubscript);
    result = Variant(std::u16string_view(known[static_cast<size_t>(index)]));
    return Status::Ok();
}

Status CWshSpecialFolders::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed())
        return st;
    switch (id) {
    case kItem:
        if ((st = ExpectArgs(args, 1, 1)).Failed())
            return st;
        return Lookup(*m_services, args[0], result);
    case kCount:
    case kLength:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(static_cast<int32_t>(KnownFolders(*m_services).size()));
        return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

Status CWshSpecialFolders::NewEnum(EnumeratorPtr& out)
{
    std::vector<Variant> items;
    for (std::u16string& path : KnownFolders(*m_services))
        items.push_back(Variant(std::u16string_view(path)));
    out = std::make_unique<obj::CSnapshotEnumerator>(std::move(items));
    return Status::Ok();
}

} // namespace cva::vbs
