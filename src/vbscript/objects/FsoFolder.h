#pragma once

#include "vbscript/objects/FsoItem.h"

namespace cva::vbs {

// FileSystemObject's Folder: the shared item members plus IsRootFolder, Files,
// SubFolders and CreateTextFile.
class CFsoFolder : public CFsoItem {
public:
    CFsoFolder(IScriptServices& services, std::u16string path)
        : CFsoItem(services, std::move(path), fso::EntryKind::Folder) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"Folder"; }
};

} // namespace cva::vbs
