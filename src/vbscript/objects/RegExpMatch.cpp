#include "vbscript/objects/RegExpMatch.h"

#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {

enum : DispId { kValue = kDispIdValue, kFirstIndex = 1, kLength, kSubMatches, kCount };

constexpr MemberName kMatchMembers[] = {
    {u"Value", kValue}, {u"FirstIndex", kFirstIndex}, {u"Length", kLength},
    {u"SubMatches", kSubMatches},
};
constexpr MemberName kListMembers[] = {{u"Item", kValue}, {u"Count", kCount}};

// Item(i) of the two collections: 5 for an index outside 0 .. count-1.
Status IndexArg(std::span<Variant> args, size_t count, size_t& out)
{
    Status st = ExpectArgs(args, 1, 1);
    if (st.Failed())
        return st;
    int32_t i = 0;
    if ((st = ToLong(args[0], i)).Failed())
        return st;
    if (i < 0 || static_cast<size_t>(i) >= count)
        return Status(kErrInvalidCall);
    out = static_cast<size_t>(i);
    return Status::Ok();
}

// Count and Item(i) of the two read-only collections; item(i) makes the i-th element.
template <class MakeItem>
Status InvokeList(DispId id, uint32_t kind, std::span<Variant> args, size_t count, Variant& result,
                  MakeItem item)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed())
        return st;
    if (id == kCount) {
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(static_cast<int32_t>(count));
        return Status::Ok();
    }
    if (id != kValue)
        return Status(kErrNoSuchMember);
    size_t i = 0;
    if ((st = IndexArg(args, count, i)).Failed())
        return st;
    result = item(i);
    return Status::Ok();
}

// For Each over a collection: a snapshot of its elements as they are now.
template <class MakeItem>
Status EnumerateList(size_t count, EnumeratorPtr& out, MakeItem item)
{
    std::vector<Variant> items;
    for (size_t i = 0; i < count; ++i)
        items.push_back(item(i));
    out = std::make_unique<obj::CSnapshotEnumerator>(std::move(items));
    return Status::Ok();
}

} // namespace

DispId CMatch::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMatchMembers);
}

Status CMatch::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (id == kSubMatches)
        return obj::ForwardToDefault(obj::FromObject(MakeObject<CSubMatches>(m_data, m_index)), kind,
                                     args, result);
    Status st = obj::ReadOnly(kind);
    if (st.Failed() || (st = ExpectArgs(args, 0, 0)).Failed())
        return st;
    const rt::RegexMatch& m = m_data->matches[m_index];
    switch (id) {
    case kValue:
        result = Variant(m_data->subject.View().substr(static_cast<size_t>(m.index),
                                                       static_cast<size_t>(m.length)));
        return Status::Ok();
    case kFirstIndex: result = Variant(m.index); return Status::Ok();
    case kLength: result = Variant(m.length); return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

DispId CSubMatches::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kListMembers);
}

Variant CSubMatches::Group(size_t group) const
{
    const rt::RegexMatch::Group& g = m_data->matches[m_index].groups[group];
    if (!g.Matched())
        return Variant();
    return Variant(m_data->subject.View().substr(static_cast<size_t>(g.index),
                                                 static_cast<size_t>(g.length)));
}

Status CSubMatches::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    return InvokeList(id, kind, args, m_data->matches[m_index].groups.size(), result,
                      [this](size_t i) { return Group(i); });
}

Status CSubMatches::NewEnum(EnumeratorPtr& out)
{
    return EnumerateList(m_data->matches[m_index].groups.size(), out, [this](size_t i) { return Group(i); });
}

DispId CMatchCollection::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kListMembers);
}

Variant CMatchCollection::Match(size_t i) const
{
    return obj::FromObject(MakeObject<CMatch>(m_data, i));
}

Status CMatchCollection::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    return InvokeList(id, kind, args, m_data->matches.size(), result, [this](size_t i) { return Match(i); });
}

Status CMatchCollection::NewEnum(EnumeratorPtr& out)
{
    return EnumerateList(m_data->matches.size(), out, [this](size_t i) { return Match(i); });
}

} // namespace cva::vbs
