#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"
#include "vbscript/objects/FsoHost.h"

#include <string>

namespace cva::vbs {

// What File and Folder objects share: they stand for a Windows path, looked up on
// the disk again at every use, so an item deleted behind their back raises 53 / 76
// instead of answering from stale data.
class CFsoItem : public IObject {
public:
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;

    const std::u16string& Path() const { return m_path; }

protected:
    CFsoItem(IScriptServices& services, std::u16string path, fso::EntryKind kind)
        : m_services(&services), m_path(std::move(path)), m_kind(kind) {}

    // The host path while the item still exists; 53 (file) or 76 (folder) otherwise.
    Status Locate(fso::fs::path& host) const;
    int32_t NotFound() const;
    IScriptServices& Services() const { return *m_services; }
    void SetPath(std::u16string path) { m_path = std::move(path); }

    // Member numbers below this are the shared ones; each kind numbers its own from here.
    static constexpr DispId kFirstOwnMember = 20;

private:
    Status Rename(std::span<Variant> args);
    Status SetAttributes(std::span<Variant> args);

    IScriptServices* m_services;
    std::u16string m_path;
    fso::EntryKind m_kind;
};

} // namespace cva::vbs
