#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

#include <string>

namespace cva::vbs {

// WshShell.Environment(scope): Item(name) (default, read and write; "" when unset),
// Count, Length, Remove(name), For Each over "NAME=value" strings.
class CWshEnvironment : public IObject {
public:
    CWshEnvironment(IScriptServices& services, std::u16string scope)
        : m_services(&services), m_scope(std::move(scope)) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IWshEnvironment"; }
    Status NewEnum(EnumeratorPtr& out) override;

private:
    IScriptServices* m_services;
    std::u16string m_scope; // "System", "User", "Process" or "Volatile"
};

} // namespace cva::vbs
