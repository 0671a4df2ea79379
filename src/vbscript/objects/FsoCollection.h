#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"
#include "vbscript/objects/FsoHost.h"

#include <string>

namespace cva::vbs {

// Folder.Files and Folder.SubFolders: Count, Item(name) (default), For Each, and for
// sub-folders Add(name). The folder is listed at each use, so the collection follows
// changes the script makes meanwhile.
class CFsoCollection : public IObject {
public:
    CFsoCollection(IScriptServices& services, std::u16string folder, fso::EntryKind kind)
        : m_services(&services), m_folder(std::move(folder)), m_kind(kind) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override;
    Status NewEnum(EnumeratorPtr& out) override;

private:
    Status List(std::vector<fso::DirEntry>& out) const;
    Variant MakeItem(const std::u16string& name) const;

    IScriptServices* m_services;
    std::u16string m_folder;
    fso::EntryKind m_kind;
};

} // namespace cva::vbs
