#pragma once

#include "platform/registry/RegTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::reg {

class CRegKey;

// The changes this program made to a hive since its file was last read or written, kept
// by key path (below the hive's root) so that they can be made again on a fresh copy of
// the file. A save that finds the file changed by someone else reads it again and puts
// only these changes on top, in the order they were made.
class CHiveJournal {
public:
    // Each call records the change about to be made (or just made) to `key`, which
    // belongs to the journal's hive.
    void CreateKey(const CRegKey& key);
    void SetValue(const CRegKey& key, std::u16string_view name, DWORD type, const uint8_t* data,
                  size_t size);
    void DeleteValue(const CRegKey& key, std::u16string_view name);
    void ClearValues(const CRegKey& key);
    // The key goes, unless someone else has since put a subkey below it: then only its
    // values go and their subkey stays.
    void DeleteKey(const CRegKey& key);
    void RenameKey(const CRegKey& key, std::u16string_view newName);
    // The key's whole content (values and subkeys) becomes what it holds now.
    void ReplaceContent(const CRegKey& key);
    // The key and everything below it as it stands now, added to what is there.
    void AddTree(const CRegKey& key);

    // The keys the recorded changes concern (paths below the root), the new name of a
    // renamed key included.
    std::vector<std::vector<std::u16string>> TouchedKeys() const;

    bool IsEmpty() const { return m_changes.empty(); }
    void Clear() { m_changes.clear(); }
    // Makes the recorded changes on `root`, a freshly read copy of the hive's root key.
    void Replay(CRegKey& root) const;

private:
    enum class EKind {
        CreateKey,
        SetValue,
        DeleteValue,
        ClearValues,
        DeleteKey,
        RenameKey,
        EmptyKey
    };
    struct SChange {
        EKind m_kind;
        std::vector<std::u16string> m_path;
        std::u16string m_name; // value name, or the new name of a renamed key
        DWORD m_type = REG_NONE;
        std::vector<uint8_t> m_data;
        std::optional<std::u16string> m_class;
        bool m_isLink = false;
        bool m_volatile = false;
    };

    SChange& Add(EKind kind, const CRegKey& key);

    std::vector<SChange> m_changes;
};

} // namespace cva::reg
