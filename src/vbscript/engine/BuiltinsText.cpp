#include "vbscript/engine/BuiltinHelpers.h"
#include "vbscript/runtime/Strings.h"

#include <algorithm>

namespace cva::vbs::engine {

namespace {

bool CompareArg(CInterpreter& in, std::span<Variant> args, size_t i, rt::CompareMode& mode)
{
    mode = rt::CompareMode::Binary;
    if (Missing(args, i))
        return true;
    int32_t m = 0;
    if (!ArgLong(in, args[i], m))
        return false;
    if (m < 0 || m > 2)
        return in.Fail(kErrInvalidCall);
    mode = m == 0 ? rt::CompareMode::Binary : rt::CompareMode::Text;
    return true;
}

bool Len(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    out = Variant(static_cast<int32_t>(s.Size()));
    return true;
}

// The byte functions (LeftB, MidB, InStrB, ...) see a string as its UTF-16LE bytes. The
// character functions do the work on a text of one unit per byte, whose result is packed
// back into bytes.
std::u16string ByteUnits(const VString& s)
{
    std::u16string units(s.ByteSize(), u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = s.ByteAt(i);
    return units;
}

Variant FromByteUnits(std::u16string_view units)
{
    std::basic_string<uint8_t> bytes(units.begin(), units.end());
    return Variant(VString::FromBytes(bytes.data(), bytes.size()));
}

// The text a character function works on: the string itself, or its bytes for the byte
// function (kept in storage).
std::u16string_view Units(const VString& s, bool bytes, std::u16string& storage)
{
    if (!bytes)
        return s.View();
    storage = ByteUnits(s);
    return storage;
}

bool CharResult(CInterpreter& in, int code, std::u16string& r, bool bytes, Variant& out)
{
    if (!bytes)
        return RtString(in, code, r, out);
    if (!RtResult(in, code))
        return false;
    out = FromByteUnits(r);
    return true;
}

bool LenB(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    out = Variant(static_cast<int32_t>(s.ByteSize()));
    return true;
}

template <std::u16string (*Fn)(std::u16string_view)>
bool Unary(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    out = StringResult(Fn(s.View()));
    return true;
}

// Functions that refuse a Null argument instead of passing it through.
template <bool (*Fn)(CInterpreter&, std::span<Variant>, Variant&)>
bool NotNull(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return a[0].IsNull() ? in.Fail(kErrInvalidUseOfNull) : Fn(in, a, out);
}

template <bool Bytes>
bool LeftRight(CInterpreter& in, std::span<Variant> a, Variant& out, bool left)
{
    int32_t n = 0;
    if (!ArgLong(in, a[1], n))
        return false;
    if (n < 0)
        return in.Fail(kErrInvalidCall);
    if (NullPassedThrough(a[0], out))
        return true;
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    std::u16string storage;
    std::u16string_view text = Units(s, Bytes, storage);
    std::u16string r;
    return CharResult(in, left ? rt::Left(text, n, r) : rt::Right(text, n, r), r, Bytes, out);
}

template <bool Bytes>
bool Left(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return LeftRight<Bytes>(in, a, out, true);
}

template <bool Bytes>
bool Right(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return LeftRight<Bytes>(in, a, out, false);
}

template <bool Bytes>
bool Mid(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t start = 0;
    int32_t len = -1;
    if (!ArgLong(in, a[1], start))
        return false;
    if (!Missing(a, 2) && !ArgLong(in, a[2], len))
        return false;
    if (start < 1 || (len < 0 && !Missing(a, 2)))
        return in.Fail(kErrInvalidCall);
    if (NullPassedThrough(a[0], out))
        return true;
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    std::u16string storage;
    std::u16string r;
    return CharResult(in, rt::Mid(Units(s, Bytes, storage), start, len, r), r, Bytes, out);
}

template <bool Bytes>
bool InStr(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    // InStr([start, ]string1, string2[, compare])
    int32_t start = 1;
    size_t i = 0;
    if (a.size() >= 3) {
        if (a[0].IsNull())
            return in.Fail(kErrInvalidUseOfNull);
        if (!ArgLong(in, a[0], start))
            return false;
        i = 1;
    } else if (a.size() < 2) {
        return in.Fail(kErrWrongArgCount);
    }
    if (start < 1)
        return in.Fail(kErrInvalidCall);
    rt::CompareMode mode = rt::CompareMode::Binary;
    if (a.size() == 4 && !CompareArg(in, a, 3, mode))
        return false;
    if (a[i].IsNull() || a[i + 1].IsNull()) {
        out = Variant::Null();
        return true;
    }
    VString s1;
    VString s2;
    if (!ArgString(in, a[i], s1) || !ArgString(in, a[i + 1], s2))
        return false;
    int32_t r = 0;
    std::u16string storage1;
    std::u16string storage2;
    if (!RtResult(in, rt::InStr(start, Units(s1, Bytes, storage1), Units(s2, Bytes, storage2), mode, r)))
        return false;
    out = Variant(r);
    return true;
}

bool InStrRev(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t start = -1;
    if (!OptLong(in, a, 2, -1, start))
        return false;
    rt::CompareMode mode;
    if (!CompareArg(in, a, 3, mode))
        return false;
    if (a[0].IsNull() || a[1].IsNull()) {
        out = Variant::Null();
        return true;
    }
    VString s1;
    VString s2;
    if (!ArgString(in, a[0], s1) || !ArgString(in, a[1], s2))
        return false;
    int32_t r = 0;
    if (!RtResult(in, rt::InStrRev(s1.View(), s2.View(), start, mode, r)))
        return false;
    out = Variant(r);
    return true;
}

bool Replace(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t start = 1;
    int32_t count = -1;
    if (!OptLong(in, a, 3, 1, start) || !OptLong(in, a, 4, -1, count))
        return false;
    rt::CompareMode mode;
    if (!CompareArg(in, a, 5, mode))
        return false;
    if (NullPassedThrough(a[0], out))
        return true;
    if (a[1].IsNull() || a[2].IsNull())
        return in.Fail(kErrInvalidUseOfNull);
    VString s;
    VString find;
    VString with;
    if (!ArgString(in, a[0], s) || !ArgString(in, a[1], find) || !ArgString(in, a[2], with))
        return false;
    if (with.Size() > find.Size() && !find.Empty()) {
        // Count the replacements first when the result could outgrow the string limit.
        uint64_t bound = static_cast<uint64_t>(s.Size() / find.Size()) * (with.Size() - find.Size()) + s.Size();
        if (bound > VString::kMaxLength) {
            uint64_t hits = 0;
            std::u16string_view text = s.View();
            for (size_t pos = text.find(find.View()); pos != std::u16string_view::npos;
                 pos = text.find(find.View(), pos + find.Size()))
                ++hits;
            if (hits * (with.Size() - find.Size()) + s.Size() > VString::kMaxLength)
                return in.Fail(kErrOutOfMemory);
        }
    }
    if (mode == rt::CompareMode::Binary && start == 1 && count == -1 && !find.Empty()) {
        // The common case straight into one script string.
        std::u16string_view text = s.View();
        std::u16string_view f = find.View();
        std::u16string_view w = with.View();
        size_t hits = 0;
        for (size_t pos = text.find(f); pos != std::u16string_view::npos; pos = text.find(f, pos + f.size()))
            ++hits;
        size_t total = text.size() + hits * w.size() - hits * f.size();
        if (total > VString::kMaxLength)
            return in.Fail(kErrOutOfMemory);
        VString result;
        if (!VString::Allocate(total, result))
            return in.Fail(kErrOutOfMemory);
        char16_t* out16 = result.MutableData();
        size_t from = 0;
        for (size_t pos = text.find(f); pos != std::u16string_view::npos; pos = text.find(f, pos + f.size())) {
            out16 = std::copy(text.data() + from, text.data() + pos, out16);
            out16 = std::copy(w.begin(), w.end(), out16);
            from = pos + f.size();
        }
        std::copy(text.data() + from, text.data() + text.size(), out16);
        out = Variant(std::move(result));
        return true;
    }
    std::u16string r;
    if (!RtResult(in, rt::Replace(s.View(), find.View(), with.View(), start, count, mode, r)))
        return false;
    if (r.size() > VString::kMaxLength)
        return in.Fail(kErrOutOfMemory);
    out = StringResult(std::move(r));
    return true;
}

bool Split(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString delim(u" ");
    int32_t count = -1;
    if (!Missing(a, 1)) {
        if (a[1].IsNull())
            return in.Fail(kErrInvalidUseOfNull);
        if (!ArgString(in, a[1], delim))
            return false;
    }
    if (!OptLong(in, a, 2, -1, count))
        return false;
    rt::CompareMode mode;
    if (!CompareArg(in, a, 3, mode))
        return false;
    if (a[0].IsNull())
        return in.Fail(kErrInvalidUseOfNull);
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    std::vector<Variant> items;
    std::u16string_view text = s.View();
    std::u16string_view d = delim.View();
    if (mode == rt::CompareMode::Binary && count >= -1 && !d.empty() && !text.empty()) {
        // The common case directly into script strings: no intermediate copies.
        size_t pieces = 1;
        for (size_t p = text.find(d); p != std::u16string_view::npos; p = text.find(d, p + d.size()))
            ++pieces;
        items.reserve(count > 0 && static_cast<size_t>(count) < pieces ? static_cast<size_t>(count) : pieces);
        size_t pos = 0;
        for (;;) {
            size_t hit = (count != -1 && static_cast<int32_t>(items.size()) + 1 >= count)
                             ? std::u16string_view::npos
                             : text.find(d, pos);
            if (count == 0)
                break;
            if (hit == std::u16string_view::npos) {
                items.emplace_back(VString(text.substr(pos)));
                break;
            }
            items.emplace_back(VString(text.substr(pos, hit - pos)));
            pos = hit + d.size();
        }
    } else {
        std::vector<std::u16string> parts;
        if (!RtResult(in, rt::Split(text, d, count, mode, parts)))
            return false;
        items.reserve(parts.size());
        for (auto& p : parts)
            items.emplace_back(VString(p));
    }
    out = Variant(SafeArray::CreateVector(std::move(items), VarType::String));
    return true;
}

bool StringsOfArray(CInterpreter& in, const Variant& v, std::vector<std::u16string>& out)
{
    if (!v.IsArray())
        return in.Fail(kErrTypeMismatch);
    const SafeArray* arr = v.AsArray();
    if (arr->Dims() != 1)
        return in.Fail(kErrSubscript);
    out.reserve(arr->Count());
    for (size_t i = 0; i < arr->Count(); ++i) {
        const Variant& item = arr->Item(i);
        if (item.IsNull())
            return in.Fail(kErrTypeMismatch);
        VString s;
        if (!ArgString(in, item, s))
            return false;
        out.emplace_back(s.View());
    }
    return true;
}

bool Join(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString delim(u" ");
    if (!Missing(a, 1) && !ArgString(in, a[1], delim))
        return false;
    // An object stands for its default value (438 without one); Null is 94.
    Variant list;
    if (!Converted(in, GetValue(a[0], list)))
        return false;
    if (list.IsNull())
        return in.Fail(kErrInvalidUseOfNull);
    if (!list.IsArray() || list.AsArray()->Dims() != 1)
        return in.Fail(kErrTypeMismatch);
    const SafeArray* arr = list.AsArray();
    // Strings are joined without copies; other elements are converted once.
    std::vector<VString> texts(arr->Count());
    size_t total = 0;
    for (size_t i = 0; i < arr->Count(); ++i) {
        const Variant& item = arr->Item(i);
        if (item.IsNull())
            return in.Fail(kErrTypeMismatch);
        if (item.IsString())
            texts[i] = item.AsString();
        else if (!ArgString(in, item, texts[i]))
            return false;
        total += texts[i].Size() + (i ? delim.Size() : 0);
        if (total > VString::kMaxLength)
            return in.Fail(kErrOutOfMemory);
    }
    VString result;
    if (!VString::Allocate(total, result))
        return in.Fail(kErrOutOfMemory);
    char16_t* p = result.MutableData();
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i) {
            std::copy(delim.Data(), delim.Data() + delim.Size(), p);
            p += delim.Size();
        }
        std::copy(texts[i].Data(), texts[i].Data() + texts[i].Size(), p);
        p += texts[i].Size();
    }
    out = Variant(std::move(result));
    return true;
}

bool Filter(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    std::vector<std::u16string> items;
    if (!StringsOfArray(in, a[0], items))
        return false;
    VString value;
    if (!ArgString(in, a[1], value))
        return false;
    bool include = true;
    if (!Missing(a, 2) && !ArgBool(in, a[2], include))
        return false;
    rt::CompareMode mode;
    if (!CompareArg(in, a, 3, mode))
        return false;
    std::vector<Variant> result;
    for (auto& s : rt::Filter(items, value.View(), include, mode))
        result.emplace_back(VString(s));
    out = Variant(SafeArray::CreateVector(std::move(result), VarType::String));
    return true;
}

bool StrComp(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    rt::CompareMode mode;
    if (!CompareArg(in, a, 2, mode))
        return false;
    if (a[0].IsNull() || a[1].IsNull()) {
        out = Variant::Null();
        return true;
    }
    VString s1;
    VString s2;
    if (!ArgString(in, a[0], s1) || !ArgString(in, a[1], s2))
        return false;
    out = Variant::FromInteger(static_cast<int16_t>(rt::StrComp(s1.View(), s2.View(), mode)));
    return true;
}

bool Space(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t n = 0;
    if (!ArgLong(in, a[0], n))
        return false;
    if (n > static_cast<int32_t>(VString::kMaxLength))
        return in.Fail(kErrOutOfMemory);
    std::u16string r;
    return RtString(in, rt::Space(n, r), r, out);
}

bool StringFn(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t n = 0;
    if (!ArgLong(in, a[0], n))
        return false;
    if (NullPassedThrough(a[1], out))
        return true;
    char16_t ch = 0;
    if (a[1].IsString()) {
        if (a[1].AsString().Empty())
            return in.Fail(kErrInvalidCall);
        ch = a[1].AsString()[0];
    } else {
        int32_t code = 0;
        if (!ArgLong(in, a[1], code))
            return false;
        std::u16string c;
        if (!RtResult(in, rt::Chr(((code % 256) + 256) % 256, c)))
            return false;
        ch = c[0];
    }
    if (n > static_cast<int32_t>(VString::kMaxLength))
        return in.Fail(kErrOutOfMemory);
    std::u16string r;
    return RtString(in, rt::StringOf(n, ch, r), r, out);
}

enum class CharKind { Ansi, Wide, Byte };

bool AscFn(CInterpreter& in, std::span<Variant> a, Variant& out, CharKind kind)
{
    if (a[0].IsNull())
        return in.Fail(kErrInvalidUseOfNull);
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    int32_t r = 0;
    if (kind == CharKind::Byte) {
        if (s.ByteSize() == 0)
            return in.Fail(kErrInvalidCall);
        r = s.ByteAt(0);
    } else if (!RtResult(in, kind == CharKind::Wide ? rt::AscW(s.View(), r) : rt::Asc(s.View(), r))) {
        return false;
    }
    out = Variant::FromInteger(static_cast<int16_t>(r));
    return true;
}

template <CharKind Kind>
bool Asc(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return AscFn(in, a, out, Kind);
}

template <CharKind Kind>
bool Chr(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (a[0].IsNull())
        return in.Fail(kErrInvalidUseOfNull);
    int32_t code = 0;
    if (!ArgLong(in, a[0], code))
        return false;
    if (Kind == CharKind::Byte) {
        if (code < 0 || code > 255)
            return in.Fail(kErrInvalidCall);
        uint8_t byte = static_cast<uint8_t>(code);
        out = Variant(VString::FromBytes(&byte, 1));
        return true;
    }
    std::u16string r;
    return RtString(in, Kind == CharKind::Wide ? rt::ChrW(code, r) : rt::Chr(code, r), r, out);
}

std::u16string TrimBoth(std::u16string_view s)
{
    return rt::Trim(s);
}

} // namespace

extern const Builtin kTextBuiltins[] = {
    {u"Len", 1, 1, Len},
    {u"LenB", 1, 1, LenB},
    {u"LCase", 1, 1, Unary<rt::LCase>},
    {u"UCase", 1, 1, Unary<rt::UCase>},
    {u"LTrim", 1, 1, Unary<rt::LTrim>},
    {u"RTrim", 1, 1, Unary<rt::RTrim>},
    {u"Trim", 1, 1, Unary<TrimBoth>},
    {u"StrReverse", 1, 1, Unary<rt::StrReverse>},
    {u"Escape", 1, 1, NotNull<Unary<rt::Escape>>},
    {u"Unescape", 1, 1, NotNull<Unary<rt::Unescape>>},
    {u"Left", 2, 2, Left<false>},
    {u"Right", 2, 2, Right<false>},
    {u"Mid", 2, 3, Mid<false>},
    {u"LeftB", 2, 2, Left<true>},
    {u"RightB", 2, 2, Right<true>},
    {u"MidB", 2, 3, Mid<true>},
    {u"InStr", 2, 4, InStr<false>},
    {u"InStrB", 2, 4, InStr<true>},
    {u"InStrRev", 2, 4, InStrRev},
    {u"Replace", 3, 6, Replace},
    {u"Split", 1, 4, Split},
    {u"Join", 1, 2, Join},
    {u"Filter", 2, 4, Filter},
    {u"StrComp", 2, 3, StrComp},
    {u"Space", 1, 1, Space},
    {u"String", 2, 2, StringFn},
    {u"Asc", 1, 1, Asc<CharKind::Ansi>},
    {u"AscB", 1, 1, Asc<CharKind::Byte>},
    {u"AscW", 1, 1, Asc<CharKind::Wide>},
    {u"Chr", 1, 1, Chr<CharKind::Ansi>},
    {u"ChrB", 1, 1, Chr<CharKind::Byte>},
    {u"ChrW", 1, 1, Chr<CharKind::Wide>},
};
extern const size_t kTextBuiltinCount = sizeof(kTextBuiltins) / sizeof(kTextBuiltins[0]);

} // namespace cva::vbs::engine
