#pragma once

#include "platform/registry/RegKey.h"
#include "platform/registry/RegTypes.h"

#include <memory>
#include <string>

namespace cva::reg {

// Header lines of a Wine registry file that are kept from load to save.
struct CHiveHeader {
    std::string m_rootComment; // text after ";; All keys relative to "
    std::string m_arch;        // "win32", "win64" or empty when the file had no #arch line
};

// A subtree backed by a registry file. Keys inside it point at it so that a change marks
// it dirty and a read-only hive can refuse writes.
class CHive {
public:
    CHive(std::string path, std::shared_ptr<CRegKey> root) : m_path(std::move(path)), m_root(std::move(root)) {}

    const std::string& Path() const { return m_path; }
    const std::shared_ptr<CRegKey>& Root() const { return m_root; }

    // Writes the file when the hive is dirty; a failure leaves the old file untouched.
    LSTATUS Save(std::string* error = nullptr);

    CHiveHeader m_header;
    bool m_dirty = false;
    bool m_readOnly = false;
    std::string m_readOnlyReason;
    bool m_loadedByCaller = false; // mounted through RegLoadKey, so RegUnLoadKey may remove it

private:
    std::string m_path;
    std::shared_ptr<CRegKey> m_root;
};

} // namespace cva::reg
