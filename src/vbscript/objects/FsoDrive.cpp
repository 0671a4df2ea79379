#include "vbscript/objects/FsoDrive.h"

#include "vbscript/NativeObject.h"
#include "vbscript/objects/FsoFolder.h"
#include "vbscript/objects/FsoHost.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {

enum : DispId {
    kPath = kDispIdValue,
    kDriveLetter = 1,
    kRootFolder,
    kIsReady,
    kDriveType,
    kFileSystem,
    kFreeSpace,
    kAvailableSpace,
    kTotalSize,
    kVolumeName,
    kSerialNumber,
    kShareName,
};

constexpr MemberName kMembers[] = {
    {u"Path", kPath}, {u"DriveLetter", kDriveLetter}, {u"RootFolder", kRootFolder},
    {u"IsReady", kIsReady}, {u"DriveType", kDriveType}, {u"FileSystem", kFileSystem},
    {u"FreeSpace", kFreeSpace}, {u"AvailableSpace", kAvailableSpace},
    {u"TotalSize", kTotalSize}, {u"VolumeName", kVolumeName},
    {u"SerialNumber", kSerialNumber}, {u"ShareName", kShareName},
};

constexpr int32_t kFixedDrive = 2;

} // namespace

DispId CFsoDrive::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CFsoDrive::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed() || (id != kRootFolder && (st = ExpectArgs(args, 0, 0)).Failed()))
        return st;
    std::u16string root = m_drive + u"\\";
    std::optional<fso::fs::path> host = fso::HostPath(*m_services, root);
    bool ready = host && fso::KindOf(*host) == fso::EntryKind::Folder;
    switch (id) {
    case kPath: result = Variant(std::u16string_view(m_drive)); return Status::Ok();
    case kDriveLetter: result = Variant(std::u16string_view(m_drive).substr(0, 1)); return Status::Ok();
    case kIsReady: result = Variant(ready); return Status::Ok();
    case kDriveType: result = Variant(kFixedDrive); return Status::Ok();
    case kShareName: result = Variant(u""); return Status::Ok();
    default: break;
    }
    if (!ready)
        return Status(kErrDeviceUnavailable);
    std::error_code ec;
    switch (id) {
    case kRootFolder:
        return obj::ForwardToDefault(obj::FromObject(MakeObject<CFsoFolder>(*m_services, root)), kind,
                                     args, result);
    case kFileSystem: result = Variant(u"NTFS"); return Status::Ok();
    case kVolumeName: result = Variant(u""); return Status::Ok();
    case kSerialNumber: result = Variant(int32_t{0}); return Status::Ok();
    case kFreeSpace:
    case kAvailableSpace:
    case kTotalSize: {
        fso::fs::space_info info = fso::fs::space(*host, ec);
        if (ec)
            return Status(kErrDeviceUnavailable);
        uintmax_t n = id == kTotalSize ? info.capacity : id == kFreeSpace ? info.free : info.available;
        result = Variant(static_cast<double>(n));
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
