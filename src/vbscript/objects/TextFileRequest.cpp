#include "vbscript/objects/TextFileRequest.h"

#include "vbscript/objects/FsoHost.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs::fso {

namespace {

constexpr int32_t kTristateTrue = -1;   // Unicode
constexpr int32_t kTristateFalse = 0;   // ASCII
constexpr int32_t kTristateDefault = -2; // the system default, ASCII here

Status ModeArg(std::span<const Variant> args, size_t i, CTextStream::Mode& out)
{
    int32_t mode = 1;
    Status st = obj::ArgLong(args, i, 1, mode);
    if (st.Failed())
        return st;
    if (mode != 1 && mode != 2 && mode != 8)
        return Status(kErrInvalidCall);
    out = static_cast<CTextStream::Mode>(mode);
    return Status::Ok();
}

Status FormatArg(std::span<const Variant> args, size_t i, bool& unicode)
{
    int32_t format = kTristateFalse;
    Status st = obj::ArgLong(args, i, kTristateFalse, format);
    if (st.Failed())
        return st;
    if (format != kTristateFalse && format != kTristateTrue && format != kTristateDefault)
        return Status(kErrInvalidCall);
    unicode = format == kTristateTrue;
    return Status::Ok();
}

Status Target(IScriptServices& services, std::u16string_view path, CTextStream::OpenRequest& req)
{
    std::u16string abs = Absolute(services, path);
    std::optional<fs::path> host = HostPath(services, abs);
    if (!host || FileName(abs).empty())
        return Status(kErrPathNotFound);
    if (KindOf(*host) == EntryKind::None) {
        std::optional<fs::path> parent = HostPath(services, ParentFolderName(abs));
        if (!parent || KindOf(*parent) != EntryKind::Folder)
            return Status(kErrPathNotFound);
    }
    req.host = std::move(*host);
    return Status::Ok();
}

} // namespace

// Anything but reading a file that is there changes the disk.
Status OpenNoted(IScriptServices& services, const CTextStream::OpenRequest& req, Ref<CTextStream>& out)
{
    const EntryKind kind = KindOf(req.host);
    const bool changes = kind == EntryKind::File ? req.mode != CTextStream::Mode::Read
                                                 : kind == EntryKind::None && req.create;
    if (changes) {
        Status st = services.FileChanging(req.host.string(), {});
        if (st.Failed())
            return st;
    }
    return CTextStream::Open(req, out);
}

Status OpenTextFile(IScriptServices& services, std::u16string_view path,
                    std::span<const Variant> options, Ref<CTextStream>& out)
{
    CTextStream::OpenRequest req;
    Status st = Target(services, path, req);
    if (st.Failed() || (st = ModeArg(options, 0, req.mode)).Failed() ||
        (st = obj::ArgBool(options, 1, false, req.create)).Failed() ||
        (st = FormatArg(options, 2, req.unicode)).Failed())
        return st;
    return OpenNoted(services, req, out);
}

Status CreateTextFile(IScriptServices& services, std::u16string_view path,
                      std::span<const Variant> options, Ref<CTextStream>& out)
{
    CTextStream::OpenRequest req;
    req.mode = CTextStream::Mode::Write;
    req.create = true;
    Status st = Target(services, path, req);
    if (st.Failed() || (st = obj::ArgBool(options, 0, true, req.overwrite)).Failed() ||
        (st = obj::ArgBool(options, 1, false, req.unicode)).Failed())
        return st;
    return OpenNoted(services, req, out);
}

Status OpenAsTextStream(IScriptServices& services, std::u16string_view path,
                        std::span<const Variant> options, Ref<CTextStream>& out)
{
    CTextStream::OpenRequest req;
    Status st = Target(services, path, req);
    if (st.Failed() || (st = ModeArg(options, 0, req.mode)).Failed() ||
        (st = FormatArg(options, 1, req.unicode)).Failed())
        return st;
    return OpenNoted(services, req, out);
}

} // namespace cva::vbs::fso
