#include "vbscript/objects/FileSystemObject.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoDrive.h"
#include "vbscript/objects/FsoFile.h"
#include "vbscript/objects/FsoFolder.h"
#include "vbscript/objects/FsoHost.h"
#include "vbscript/objects/FsoOperations.h"
#include "vbscript/objects/FsoPath.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/TextFileRequest.h"

#include <chrono>
#include <cstdio>

namespace cva::vbs {

namespace {

enum : DispId {
    // Questions about a path, answered from the text or the disk.
    kFileExists = 1,
    kFolderExists,
    kDriveExists,
    kGetFile,
    kGetFolder,
    kGetDrive,
    kGetDriveName,
    kGetFileName,
    kGetBaseName,
    kGetExtensionName,
    kGetParentFolderName,
    kGetAbsolutePathName,
    // Operations.
    kBuildPath = 20,
    kCreateTextFile,
    kOpenTextFile,
    kDeleteFile,
    kDeleteFolder,
    kCopyFile,
    kMoveFile,
    kCopyFolder,
    kMoveFolder,
    kCreateFolder,
    kGetSpecialFolder,
    kGetTempName,
};

constexpr MemberName kMembers[] = {
    {u"FileExists", kFileExists}, {u"FolderExists", kFolderExists},
    {u"DriveExists", kDriveExists}, {u"GetFile", kGetFile}, {u"GetFolder", kGetFolder},
    {u"GetDrive", kGetDrive}, {u"GetDriveName", kGetDriveName},
    {u"GetFileName", kGetFileName}, {u"GetBaseName", kGetBaseName},
    {u"GetExtensionName", kGetExtensionName}, {u"GetParentFolderName", kGetParentFolderName},
    {u"GetAbsolutePathName", kGetAbsolutePathName}, {u"BuildPath", kBuildPath},
    {u"CreateTextFile", kCreateTextFile}, {u"OpenTextFile", kOpenTextFile},
    {u"DeleteFile", kDeleteFile}, {u"DeleteFolder", kDeleteFolder},
    {u"CopyFile", kCopyFile}, {u"MoveFile", kMoveFile}, {u"CopyFolder", kCopyFolder},
    {u"MoveFolder", kMoveFolder}, {u"CreateFolder", kCreateFolder},
    {u"GetSpecialFolder", kGetSpecialFolder}, {u"GetTempName", kGetTempName},
};

Variant Text(std::u16string_view s)
{
    return Variant(s);
}

} // namespace

DispId CFileSystemObject::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CFileSystemObject::DriveOf(std::u16string_view itemPath, std::u16string& drive) const
{
    // "C", "C:" and "C:\..." all name drive C.
    if (itemPath.empty())
        return Status(kErrInvalidCall);
    char16_t c = itemPath[0];
    bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    if (!letter || (itemPath.size() > 1 && itemPath[1] != u':'))
        return Status(kErrInvalidCall);
    drive = std::u16string(1, text::ToUpper(c)) + u":";
    return Status::Ok();
}

std::u16string CFileSystemObject::TempName()
{
    if (m_tempSeed == 0)
        m_tempSeed = static_cast<uint32_t>(
            std::chrono::steady_clock::now().time_since_epoch().count()) | 1u;
    // xorshift: a name needs only to look random, not be unpredictable.
    m_tempSeed ^= m_tempSeed << 13;
    m_tempSeed ^= m_tempSeed >> 17;
    m_tempSeed ^= m_tempSeed << 5;
    char buf[16];
    std::snprintf(buf, sizeof buf, "rad%05X.tmp", m_tempSeed & 0xFFFFF);
    return text::Utf8ToUtf16(buf);
}

Status CFileSystemObject::PathQuery(DispId id, std::u16string_view path, Variant& result)
{
    IScriptServices& services = *m_services;
    switch (id) {
    case kGetDriveName: result = Text(fso::DriveName(path)); return Status::Ok();
    case kGetFileName: result = Text(fso::FileName(path)); return Status::Ok();
    case kGetBaseName: result = Text(fso::BaseName(path)); return Status::Ok();
    case kGetExtensionName: result = Text(fso::ExtensionName(path)); return Status::Ok();
    case kGetParentFolderName: result = Text(fso::ParentFolderName(path)); return Status::Ok();
    case kGetAbsolutePathName: result = Text(fso::Absolute(services, path)); return Status::Ok();
    case kDriveExists: {
        std::u16string drive;
        if (DriveOf(path, drive).Failed()) {
            result = Variant(false);
            return Status::Ok();
        }
        std::optional<fso::fs::path> host = fso::HostPath(services, drive + u"\\");
        result = Variant(host && fso::KindOf(*host) == fso::EntryKind::Folder);
        return Status::Ok();
    }
    case kGetDrive: {
        std::u16string drive;
        Status st = DriveOf(path, drive);
        if (st.Failed())
            return st;
        std::optional<fso::fs::path> host = fso::HostPath(services, drive + u"\\");
        if (!host || fso::KindOf(*host) != fso::EntryKind::Folder)
            return Status(kErrDeviceUnavailable);
        result = obj::FromObject(MakeObject<CFsoDrive>(services, std::move(drive)));
        return Status::Ok();
    }
    default: break;
    }
    std::u16string abs = fso::Absolute(services, path);
    std::optional<fso::fs::path> host = fso::HostPath(services, abs);
    fso::EntryKind kind = host ? fso::KindOf(*host) : fso::EntryKind::None;
    switch (id) {
    case kFileExists: result = Variant(!path.empty() && kind == fso::EntryKind::File); return Status::Ok();
    case kFolderExists: result = Variant(!path.empty() && kind == fso::EntryKind::Folder); return Status::Ok();
    case kGetFile:
        if (kind != fso::EntryKind::File)
            return Status(kErrFileNotFound);
        result = obj::FromObject(MakeObject<CFsoFile>(services, std::move(abs)));
        return Status::Ok();
    case kGetFolder:
        if (kind != fso::EntryKind::Folder)
            return Status(kErrPathNotFound);
        result = obj::FromObject(MakeObject<CFsoFolder>(services, std::move(abs)));
        return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

Status CFileSystemObject::FileOperation(DispId id, std::span<Variant> args, Variant& result)
{
    IScriptServices& services = *m_services;
    std::u16string first;
    std::u16string second;
    bool flag = false;
    Status st;
    switch (id) {
    case kBuildPath:
        if ((st = ExpectArgs(args, 2, 2)).Failed() || (st = obj::ArgText(args, 0, first)).Failed() ||
            (st = obj::ArgText(args, 1, second)).Failed())
            return st;
        result = Text(fso::BuildPath(first, second));
        return Status::Ok();
    case kCreateTextFile:
    case kOpenTextFile: {
        if ((st = ExpectArgs(args, 1, 4)).Failed() || (st = obj::ArgText(args, 0, first)).Failed())
            return st;
        if (id == kCreateTextFile && args.size() > 3)
            return Status(kErrWrongArgCount);
        Ref<CTextStream> stream;
        st = id == kCreateTextFile ? fso::CreateTextFile(services, first, args.subspan(1), stream)
                                   : fso::OpenTextFile(services, first, args.subspan(1), stream);
        if (st.Failed())
            return st;
        result = obj::FromObject(std::move(stream));
        return Status::Ok();
    }
    case kDeleteFile:
    case kDeleteFolder:
        if ((st = ExpectArgs(args, 1, 2)).Failed() || (st = obj::ArgText(args, 0, first)).Failed() ||
            (st = obj::ArgBool(args, 1, false, flag)).Failed())
            return st;
        return id == kDeleteFile ? fso::DeleteFiles(services, first, flag)
                                 : fso::DeleteFolders(services, first, flag);
    case kCopyFile:
    case kCopyFolder:
        if ((st = ExpectArgs(args, 2, 3)).Failed() || (st = obj::ArgText(args, 0, first)).Failed() ||
            (st = obj::ArgText(args, 1, second)).Failed() ||
            (st = obj::ArgBool(args, 2, true, flag)).Failed())
            return st;
        return id == kCopyFile ? fso::CopyFiles(services, first, second, flag)
                               : fso::CopyFolders(services, first, second, flag);
    case kMoveFile:
    case kMoveFolder:
        if ((st = ExpectArgs(args, 2, 2)).Failed() || (st = obj::ArgText(args, 0, first)).Failed() ||
            (st = obj::ArgText(args, 1, second)).Failed())
            return st;
        return id == kMoveFile ? fso::MoveFiles(services, first, second)
                               : fso::MoveFolders(services, first, second);
    case kCreateFolder: {
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, first)).Failed())
            return st;
        std::u16string created;
        if ((st = fso::CreateFolder(services, first, created)).Failed())
            return st;
        result = obj::FromObject(MakeObject<CFsoFolder>(services, std::move(created)));
        return Status::Ok();
    }
    case kGetSpecialFolder: {
        int32_t which = 0;
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = ToLong(args[0], which)).Failed())
            return st;
        if (which < 0 || which > 2)
            return Status(kErrInvalidCall);
        std::u16string folder = services.SystemFolder(which);
        if (folder.empty())
            return Status(kErrPathNotFound);
        result = obj::FromObject(MakeObject<CFsoFolder>(services, fso::Absolute(services, folder)));
        return Status::Ok();
    }
    case kGetTempName:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Text(TempName());
        return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

Status CFileSystemObject::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed())
        return st;
    if (id >= kBuildPath)
        return FileOperation(id, args, result);
    std::u16string path;
    if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, path)).Failed())
        return st;
    return PathQuery(id, path, result);
}

} // namespace cva::vbs
