#pragma once

#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace cva::test {

// The update tests' web server (update_server.py) on a free port of 127.0.0.1, serving
// the files of its own folder; stopped when the object goes.
class CTestServer {
public:
    struct SOptions {
        double delay = 0.05;   // seconds between blocks of /slow/
        std::string cert, key; // both set: HTTPS
        int port = 0;          // 0: a free one
    };

    explicit CTestServer(const SOptions& options) : m_https(!options.cert.empty()) {
        // A proxy of the machine must not stand between the tests and their own server.
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);
        ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
        std::filesystem::create_directories(Root());
        const std::string portFile = m_dir.File("port");
        std::vector<std::string> args = {"python3", CVA_UPDATE_SERVER_SCRIPT, "--root", Root(), "--port-file",
                                         portFile, "--delay", std::to_string(options.delay),
                                         "--port", std::to_string(options.port)};
        if (m_https) args.insert(args.end(), {"--cert", options.cert, "--key", options.key});
        m_pid = ::fork();
        if (m_pid == 0) {
            std::vector<char*> argv;
            for (std::string& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execvp("python3", argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 200 && !std::filesystem::exists(portFile); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string port = ReadAll(portFile);
        m_port = port.empty() ? 0 : std::stoi(port);
    }
    CTestServer() : CTestServer(SOptions{}) {}
    static SOptions Slow(double delay) {
        SOptions options;
        options.delay = delay;
        return options;
    }
    static SOptions Tls(const std::string& cert, const std::string& key) {
        SOptions options;
        options.cert = cert;
        options.key = key;
        return options;
    }
    ~CTestServer() { Stop(); }
    CTestServer(const CTestServer&) = delete;
    CTestServer& operator=(const CTestServer&) = delete;

    void Stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    bool Running() const { return m_port != 0; }
    int Port() const { return m_port; }
    std::string Root() const { return m_dir.File("www"); }
    // "http://127.0.0.1:PORT" (or https with `host` named, for the certificate).
    std::string Base(const std::string& host = "127.0.0.1") const {
        return std::string(m_https ? "https://" : "http://") + host + ":" + std::to_string(m_port);
    }
    void Put(const std::string& path, const std::string& content) const {
        const std::string full = Root() + "/" + path;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        WriteAll(full, content);
    }

private:
    CTempDir m_dir;
    bool m_https;
    pid_t m_pid = -1;
    int m_port = 0;
};

} // namespace cva::test
