#pragma once

#include "platform/files/AtomicFile.h"
#include "platform/hive/WinePrefix.h"
#include "support/LockHolder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>

namespace cva::test {

// Holds the lock of the prefix's wineserver, as a running server does, until it goes.
// Debian's Wine names its server's folder below /tmp in the prefix's "wineserver" file.
class CFakeWineServer {
public:
    explicit CFakeWineServer(const std::string& prefix) {
        files::WriteFileAtomically(prefix + "/wineserver", m_server.Path().substr(5));
        const std::string folder = hive::WineServerFolders(prefix).at(1);
        std::filesystem::create_directory(folder);
        files::WriteFileAtomically(folder + "/lock", "");
        m_lock = std::make_unique<CLockHolder>(folder + "/lock");
    }
    pid_t Pid() const { return m_lock->Pid(); }

private:
    CTempDir m_server;
    std::unique_ptr<CLockHolder> m_lock;
};

} // namespace cva::test
