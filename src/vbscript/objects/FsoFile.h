#pragma once

#include "vbscript/objects/FsoItem.h"

namespace cva::vbs {

// FileSystemObject's File: the shared item members plus OpenAsTextStream.
class CFsoFile : public CFsoItem {
public:
    CFsoFile(IScriptServices& services, std::u16string path)
        : CFsoItem(services, std::move(path), fso::EntryKind::File) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"File"; }
};

} // namespace cva::vbs
