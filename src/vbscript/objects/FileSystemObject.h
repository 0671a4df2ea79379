#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <string>

namespace cva::vbs {

// Scripting.FileSystemObject. Every path a script gives is a Windows path of the
// target; it reaches the disk only through the services' path mapping.
class CFileSystemObject : public IObject {
public:
    explicit CFileSystemObject(IScriptServices& services) : m_services(&services) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"FileSystemObject"; }

private:
    Status PathQuery(DispId id, std::u16string_view path, Variant& result);
    Status FileOperation(DispId id, std::span<Variant> args, Variant& result);
    Status DriveOf(std::u16string_view itemPath, std::u16string& drive) const;
    std::u16string TempName();

    IScriptServices* m_services;
    uint32_t m_tempSeed = 0;
};

} // namespace cva::vbs
