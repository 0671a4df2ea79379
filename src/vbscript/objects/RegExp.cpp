#include "vbscript/objects/RegExp.h"

#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/RegExpMatch.h"

namespace cva::vbs {

namespace {

enum : DispId {
    kPattern = 1,
    kIgnoreCase,
    kGlobal,
    kMultiline,
    kTest,
    kExecute,
    kReplace,
};

constexpr MemberName kMembers[] = {
    {u"Pattern", kPattern}, {u"IgnoreCase", kIgnoreCase}, {u"Global", kGlobal},
    {u"Multiline", kMultiline}, {u"Test", kTest}, {u"Execute", kExecute},
    {u"Replace", kReplace},
};

Status FlagMember(uint32_t kind, std::span<Variant> args, bool& flag, bool& dirty, Variant& result)
{
    if (IsAssignment(kind)) {
        Status st = ExpectArgs(args, 1, 1);
        bool value = false;
        if (st.Failed() || (st = ToBool(args[0], value)).Failed())
            return st;
        dirty = dirty || value != flag;
        flag = value;
        return Status::Ok();
    }
    Status st = ExpectArgs(args, 0, 0);
    if (st.Failed())
        return st;
    result = Variant(flag);
    return Status::Ok();
}

// The String parameters of the methods, converted the way COM converts for a caller.
Status Text(std::span<Variant> args, size_t i, VString& out)
{
    if (obj::IsMissing(args, i))
        return Status(kErrArgNotOptional);
    return ToParamString(args[i], out);
}

} // namespace

DispId CRegExp::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CRegExp::Compiled(const rt::CRegex*& out)
{
    if (m_dirty || !m_regex.IsCompiled()) {
        int err = m_regex.Compile(m_pattern, m_ignoreCase, m_multiline);
        if (err != 0)
            return Status(err);
        m_dirty = false;
    }
    out = &m_regex;
    return Status::Ok();
}

Status CRegExp::Execute(const VString& subject, Variant& result)
{
    const rt::CRegex* re = nullptr;
    Status st = Compiled(re);
    if (st.Failed())
        return st;
    auto data = std::make_shared<MatchData>();
    data->subject = subject;
    data->matches = re->FindAll(subject.View(), m_global);
    result = obj::FromObject(MakeObject<CMatchCollection>(std::move(data)));
    return Status::Ok();
}

Status CRegExp::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st;
    switch (id) {
    case kPattern:
        if (IsAssignment(kind)) {
            VString text;
            if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = Text(args, 0, text)).Failed())
                return st;
            std::u16string pattern(text.View());
            m_dirty = m_dirty || pattern != m_pattern;
            m_pattern = std::move(pattern);
            return Status::Ok();
        }
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(std::u16string_view(m_pattern));
        return Status::Ok();
    case kIgnoreCase: return FlagMember(kind, args, m_ignoreCase, m_dirty, result);
    case kMultiline: return FlagMember(kind, args, m_multiline, m_dirty, result);
    case kGlobal: {
        bool unused = false;
        return FlagMember(kind, args, m_global, unused, result);
    }
    default: break;
    }
    if (IsAssignment(kind))
        return Status(kErrWrongArgCount);
    VString subject;
    const rt::CRegex* re = nullptr;
    switch (id) {
    case kTest: {
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = Text(args, 0, subject)).Failed() ||
            (st = Compiled(re)).Failed())
            return st;
        rt::RegexMatch m;
        result = Variant(re->Search(subject.View(), 0, m));
        return Status::Ok();
    }
    case kExecute:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = Text(args, 0, subject)).Failed())
            return st;
        return Execute(subject, result);
    case kReplace: {
        VString replacement;
        if ((st = ExpectArgs(args, 2, 2)).Failed() || (st = Text(args, 0, subject)).Failed() ||
            (st = Text(args, 1, replacement)).Failed() || (st = Compiled(re)).Failed())
            return st;
        result = Variant(VString(re->Replace(subject.View(), replacement.View(), m_global)));
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
