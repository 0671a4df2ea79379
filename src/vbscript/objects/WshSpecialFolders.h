#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

namespace cva::vbs {

// WshShell.SpecialFolders: Item(name or index) (default) gives the folder's Windows
// path, "" for a name the target does not know; Count, Length, For Each over paths.
class CWshSpecialFolders : public IObject {
public:
    explicit CWshSpecialFolders(IScriptServices& services) : m_services(&services) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IWshCollection"; }
    Status NewEnum(EnumeratorPtr& out) override;

    // The folder for a name or a 0-based index into the known names.
    static Status Lookup(IScriptServices& services, const Variant& which, Variant& result);

private:
    IScriptServices* m_services;
};

} // namespace cva::vbs
