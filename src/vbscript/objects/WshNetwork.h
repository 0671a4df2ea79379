#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

namespace cva::vbs {

// WScript.Network, reduced to what a settings script asks: ComputerName, UserName and
// UserDomain of the target, from the services. Drive and printer mapping are not
// offered (438).
class CWshNetwork : public IObject {
public:
    explicit CWshNetwork(IScriptServices& services) : m_services(&services) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IWshNetwork2"; }

private:
    IScriptServices* m_services;
};

} // namespace cva::vbs
