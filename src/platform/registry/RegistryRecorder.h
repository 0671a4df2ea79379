#pragma once

#include "platform/registry/RegKey.h"

#include <string_view>

namespace cva::reg {

// Told of every change a CRegistry is about to make to a key kept in a hive file, with
// the state before it, so that the change can be taken back later. Key paths are below
// \Registry ("Machine\Software\X", "User\S-1-5-...\X").
class IRegistryRecorder {
public:
    virtual ~IRegistryRecorder() = default;
    // `before` is the value as it is now, or null when the key has no value of that name.
    virtual void ValueChanging(std::u16string_view keyPath, std::u16string_view name,
                               const CRegValue* before) = 0;
    virtual void KeyCreated(std::u16string_view keyPath) = 0;
    // The key has no subkeys left, and its values were told as going just before.
    virtual void KeyDeleting(std::u16string_view keyPath, const CRegKey& key) = 0;
    virtual void KeyRenaming(std::u16string_view keyPath, std::u16string_view newName) = 0;
};

} // namespace cva::reg
