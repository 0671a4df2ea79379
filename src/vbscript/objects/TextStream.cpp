#include "vbscript/objects/TextStream.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoHost.h"
#include "vbscript/objects/ObjectSupport.h"

#include <cerrno>
#include <fstream>
#include <iterator>

namespace cva::vbs {

namespace {

enum : DispId {
    kRead = 1,
    kReadLine,
    kReadAll,
    kSkip,
    kSkipLine,
    kAtEndOfStream,
    kAtEndOfLine,
    kLine,
    kColumn,
    kWrite,
    kWriteLine,
    kWriteBlankLines,
    kClose,
};

constexpr MemberName kMembers[] = {
    {u"Read", kRead},       {u"ReadLine", kReadLine},
    {u"ReadAll", kReadAll}, {u"Skip", kSkip},
    {u"SkipLine", kSkipLine}, {u"AtEndOfStream", kAtEndOfStream},
    {u"AtEndOfLine", kAtEndOfLine}, {u"Line", kLine},
    {u"Column", kColumn},   {u"Write", kWrite},
    {u"WriteLine", kWriteLine}, {u"WriteBlankLines", kWriteBlankLines},
    {u"Close", kClose},
};

constexpr size_t kFlushThreshold = 64 * 1024;

Status ErrnoStatus(int32_t notFound)
{
    return fso::ErrorFromCode(std::error_code(errno, std::generic_category()), notFound);
}

std::u16string Decode(const std::string& bytes, bool unicode)
{
    if (unicode) {
        size_t start = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                               static_cast<unsigned char>(bytes[1]) == 0xFE
                           ? 2
                           : 0;
        std::u16string out;
        out.reserve((bytes.size() - start) / 2);
        for (size_t i = start; i + 1 < bytes.size(); i += 2)
            out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8);
        return out;
    }
    std::string_view view(bytes);
    if (view.size() >= 3 && view.substr(0, 3) == "\xEF\xBB\xBF")
        view.remove_prefix(3);
    return text::Utf8ToUtf16(view);
}

} // namespace

Status CTextStream::Open(const OpenRequest& request, Ref<CTextStream>& out)
{
    out = nullptr;
    fso::EntryKind kind = fso::KindOf(request.host);
    if (kind == fso::EntryKind::Folder)
        return Status(kErrPermissionDenied);
    bool exists = kind == fso::EntryKind::File;
    if (!exists && !request.create)
        return Status(kErrFileNotFound);
    if (exists && request.mode == Mode::Write && !request.overwrite)
        return Status(kErrFileAlreadyExists);
    // Checked here because a privileged process could write what Windows protects.
    if (exists && request.mode != Mode::Read && fso::IsReadOnly(request.host))
        return Status(kErrPermissionDenied);

    auto stream = Ref<CTextStream>::Adopt(new CTextStream());
    stream->m_mode = request.mode;
    stream->m_unicode = request.unicode;
    if (request.mode == Mode::Read) {
        if (!exists) {
            std::unique_ptr<std::FILE, FileCloser> made(std::fopen(request.host.c_str(), "wb"));
            if (!made)
                return ErrnoStatus(kErrPathNotFound);
        }
        std::ifstream in(request.host, std::ios::binary);
        if (!in)
            return Status(kErrPermissionDenied);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return Status(kErrIoError);
        stream->m_text = Decode(bytes, request.unicode);
    } else {
        std::error_code ec;
        bool empty = !exists || request.mode == Mode::Write ||
                     std::filesystem::file_size(request.host, ec) == 0;
        stream->m_file.reset(
            std::fopen(request.host.c_str(), request.mode == Mode::Write ? "wb" : "ab"));
        if (!stream->m_file)
            return ErrnoStatus(exists ? kErrFileNotFound : kErrPathNotFound);
        if (request.unicode && empty)
            stream->m_pending = "\xFF\xFE";
    }
    out = std::move(stream);
    return Status::Ok();
}

Ref<CTextStream> CTextStream::ForReading(std::u16string text)
{
    auto stream = Ref<CTextStream>::Adopt(new CTextStream());
    stream->m_text = std::move(text);
    return stream;
}

Ref<CTextStream> CTextStream::ForWriting(Sink sink, std::function<void()> onClose)
{
    auto stream = Ref<CTextStream>::Adopt(new CTextStream());
    stream->m_mode = Mode::Write;
    stream->m_sink = std::move(sink);
    stream->m_onClose = std::move(onClose);
    return stream;
}

CTextStream::~CTextStream()
{
    // A script that forgets Close still gets its text on disk.
    (void)Flush();
}

DispId CTextStream::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CTextStream::NeedReading() const
{
    return m_closed || m_mode != Mode::Read ? Status(kErrBadFileMode) : Status::Ok();
}

Status CTextStream::NeedWriting() const
{
    return m_closed || m_mode == Mode::Read ? Status(kErrBadFileMode) : Status::Ok();
}

void CTextStream::Advance(std::u16string_view text)
{
    for (char16_t c : text) {
        if (c == u'\n') {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
    }
}

Status CTextStream::ReadChars(size_t count, std::u16string& out)
{
    Status st = NeedReading();
    if (st.Failed())
        return st;
    if (AtEnd())
        return Status(kErrInputPastEnd);
    size_t n = std::min(count, m_text.size() - m_pos);
    out.assign(m_text, m_pos, n);
    m_pos += n;
    Advance(out);
    return Status::Ok();
}

Status CTextStream::ReadLine(std::u16string& out)
{
    Status st = NeedReading();
    if (st.Failed())
        return st;
    if (AtEnd())
        return Status(kErrInputPastEnd);
    size_t nl = m_text.find(u'\n', m_pos);
    size_t end = nl == std::u16string::npos ? m_text.size() : nl;
    size_t next = nl == std::u16string::npos ? m_text.size() : nl + 1;
    size_t lineEnd = end > m_pos && m_text[end - 1] == u'\r' ? end - 1 : end;
    out.assign(m_text, m_pos, lineEnd - m_pos);
    Advance(std::u16string_view(m_text).substr(m_pos, next - m_pos));
    m_pos = next;
    return Status::Ok();
}

Status CTextStream::Write(std::u16string_view text)
{
    Status st = NeedWriting();
    if (st.Failed())
        return st;
    if (m_unicode) {
        for (char16_t c : text) {
            m_pending += static_cast<char>(c & 0xFF);
            m_pending += static_cast<char>(c >> 8);
        }
    } else {
        // Keep a surrogate pair whole even when a script writes it in two calls.
        std::u16string joined;
        if (m_highSurrogate) {
            joined += m_highSurrogate;
            m_highSurrogate = 0;
        }
        joined += text;
        if (!joined.empty() && joined.back() >= 0xD800 && joined.back() <= 0xDBFF) {
            m_highSurrogate = joined.back();
            joined.pop_back();
        }
        m_pending += text::Utf16ToUtf8(joined);
    }
    Advance(text);
    // A program reading our text may be waiting for it; a file can wait for more.
    if (m_sink || m_pending.size() >= kFlushThreshold)
        return Flush();
    return Status::Ok();
}

Status CTextStream::Flush()
{
    if (m_sink) {
        bool ok = m_pending.empty() || m_sink(m_pending);
        m_pending.clear();
        return ok ? Status::Ok() : Status(kErrIoError);
    }
    if (!m_file)
        return Status::Ok();
    if (m_highSurrogate) {
        m_pending += text::Utf16ToUtf8(std::u16string_view(&m_highSurrogate, 1));
        m_highSurrogate = 0;
    }
    if (!m_pending.empty()) {
        size_t written = std::fwrite(m_pending.data(), 1, m_pending.size(), m_file.get());
        bool ok = written == m_pending.size();
        m_pending.clear();
        if (!ok)
            return ErrnoStatus(kErrIoError);
    }
    if (std::fflush(m_file.get()) != 0)
        return ErrnoStatus(kErrIoError);
    return Status::Ok();
}

Status CTextStream::Close()
{
    Status st = Flush();
    if (m_file && std::fclose(m_file.release()) != 0 && st.IsOk())
        st = ErrnoStatus(kErrIoError);
    if (m_onClose && !m_closed)
        m_onClose();
    m_closed = true;
    m_text.clear();
    m_text.shrink_to_fit();
    m_pos = 0;
    return st;
}

Status CTextStream::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed())
        return st;
    std::u16string text;
    int32_t count = 0;
    switch (id) {
    case kRead:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = ToLong(args[0], count)).Failed())
            return st;
        if (count < 0)
            return Status(kErrInvalidCall);
        if ((st = ReadChars(static_cast<size_t>(count), text)).Failed())
            return st;
        result = Variant(std::u16string_view(text));
        return Status::Ok();
    case kReadLine:
        if ((st = ExpectArgs(args, 0, 0)).Failed() || (st = ReadLine(text)).Failed())
            return st;
        result = Variant(std::u16string_view(text));
        return Status::Ok();
    case kReadAll:
        if ((st = ExpectArgs(args, 0, 0)).Failed() ||
            (st = ReadChars(m_text.size(), text)).Failed())
            return st;
        result = Variant(std::u16string_view(text));
        return Status::Ok();
    case kSkip:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = ToLong(args[0], count)).Failed())
            return st;
        if (count < 0)
            return Status(kErrInvalidCall);
        return ReadChars(static_cast<size_t>(count), text);
    case kSkipLine:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        return ReadLine(text);
    case kAtEndOfStream:
    case kAtEndOfLine:
        if ((st = ExpectArgs(args, 0, 0)).Failed() || (st = NeedReading()).Failed())
            return st;
        result = Variant(AtEnd() || (id == kAtEndOfLine &&
                                     (m_text[m_pos] == u'\n' || m_text[m_pos] == u'\r')));
        return Status::Ok();
    case kLine:
    case kColumn:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(id == kLine ? m_line : m_column);
        return Status::Ok();
    case kWrite:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        return Write(text);
    case kWriteLine:
        if ((st = ExpectArgs(args, 0, 1)).Failed())
            return st;
        if (!args.empty() && (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        text += u"\r\n";
        return Write(text);
    case kWriteBlankLines:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = ToLong(args[0], count)).Failed())
            return st;
        if (count < 0)
            return Status(kErrInvalidCall);
        for (int32_t i = 0; i < count; ++i)
            text += u"\r\n";
        return Write(text);
    case kClose:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        return Close();
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
