#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

#include <string>

namespace cva::vbs {

// FileSystemObject's Drive for a target drive letter ("C:"). Sizes come from the host
// file system holding the drive's folder; a drive the target does not map is not ready.
class CFsoDrive : public IObject {
public:
    CFsoDrive(IScriptServices& services, std::u16string drive)
        : m_services(&services), m_drive(std::move(drive)) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"Drive"; }

private:
    IScriptServices* m_services;
    std::u16string m_drive;
};

} // namespace cva::vbs
