#pragma once

#include "platform/files/FileVersion.h"
#include "platform/registry/HiveJournal.h"
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

// How a hive file is written: Wine's registry text, or Windows' own binary hive.
enum class EHiveFormat { WineText, Regf };

// A subtree backed by a registry file. Keys inside it point at it so that a change marks
// it dirty and a read-only hive can refuse writes. The registry reads the file again when
// someone else changed it, putting the changes in the journal back on top.
class CHive {
public:
    CHive(std::string path, std::shared_ptr<CRegKey> root)
        : m_path(std::move(path)), m_root(std::move(root)) {}

    const std::string& Path() const { return m_path; }
    const std::shared_ptr<CRegKey>& Root() const { return m_root; }
    void SetRoot(std::shared_ptr<CRegKey> root) { m_root = std::move(root); }
    // Where our own changes are recorded: only a hive with a file needs them.
    CHiveJournal* Journal() { return m_path.empty() ? nullptr : &m_journal; }

    CHiveHeader m_header;
    bool m_dirty = false;
    EHiveFormat m_format = EHiveFormat::WineText;
    size_t m_maxValueSize = 0; // the longest value the file can take; 0: no limit
    bool m_readOnly = false;
    std::string m_readOnlyReason;
    bool m_loadedByCaller = false; // mounted through RegLoadKey, so RegUnLoadKey may remove it
    files::CFileVersion m_version; // the file the tree was read from or last written to
    CHiveJournal m_journal;        // our changes since then

private:
    std::string m_path;
    std::shared_ptr<CRegKey> m_root;
};

} // namespace cva::reg
