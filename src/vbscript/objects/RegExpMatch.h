#pragma once

#include "vbscript/Object.h"
#include "vbscript/Variant.h"
#include "vbscript/runtime/Regex.h"

#include <memory>
#include <vector>

namespace cva::vbs {

// The objects RegExp.Execute returns. They share the subject string and the match
// list, so a collection of many matches costs one copy of each.
struct MatchData {
    VString subject;
    std::vector<rt::RegexMatch> matches;
};
using MatchDataPtr = std::shared_ptr<const MatchData>;

// Match: Value (default), FirstIndex, Length, SubMatches.
class CMatch : public IObject {
public:
    CMatch(MatchDataPtr data, size_t index) : m_data(std::move(data)), m_index(index) {}
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IMatch2"; }

private:
    MatchDataPtr m_data;
    size_t m_index;
};

// SubMatches: one entry per capturing group, Empty for a group that took no part.
class CSubMatches : public IObject {
public:
    CSubMatches(MatchDataPtr data, size_t index) : m_data(std::move(data)), m_index(index) {}
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"ISubMatches"; }
    Status NewEnum(EnumeratorPtr& out) override;

private:
    Variant Group(size_t group) const;

    MatchDataPtr m_data;
    size_t m_index;
};

// MatchCollection: Count, Item (default, 0-based), For Each.
class CMatchCollection : public IObject {
public:
    explicit CMatchCollection(MatchDataPtr data) : m_data(std::move(data)) {}
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IMatchCollection2"; }
    Status NewEnum(EnumeratorPtr& out) override;

private:
    Variant Match(size_t i) const;

    MatchDataPtr m_data;
};

} // namespace cva::vbs
