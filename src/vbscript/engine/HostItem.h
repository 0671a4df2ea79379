#pragma once

#include "vbscript/Engine.h"

#include <vector>

namespace cva::vbs::engine {

// Presents a described host item as an object: looks names up in the description and
// converts arguments and results between script values and the declared types.
class CDescribedObject final : public IObject {
public:
    CDescribedObject(std::u16string name, std::vector<HostFunction> functions, IHostItem& item);

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return m_name; }

private:
    std::u16string m_name;
    std::vector<HostFunction> m_functions;
    std::vector<std::u16string> m_names;
    IHostItem& m_item;
};

// Converts a script value to a declared host type; 13 or 6 when it cannot.
Status ToHostValue(const Variant& v, HostType type, HostValue& out);
Variant FromHostValue(HostValue& v, HostType type);

} // namespace cva::vbs::engine
