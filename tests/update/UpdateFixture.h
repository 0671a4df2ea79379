#pragma once

#include "support/TempDir.h"
#include "update/DownloadTexts.h"
#include "update/HttpTransfer.h"
#include "update/TestServer.h"

#include <QCryptographicHash>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace cva::update {

inline std::string Sha256Hex(const std::string& data) {
    return QCryptographicHash::hash(QByteArrayView(data.data(), static_cast<qsizetype>(data.size())),
                                    QCryptographicHash::Sha256).toHex().toStdString();
}

// Bytes that are not all alike, so a block in the wrong place would show.
inline std::string SetupBytes(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + i / 1024) & 0xFF);
    return data;
}

inline std::string VersionText(const std::string& version, const std::string& url, const std::string& sha = {}) {
    std::string text = "; update of the program\nVersion: \"" + version + "\"\nFilename: \"" + url + "\"\n";
    if (!sha.empty()) text += "Sha256: \"" + sha + "\"\n";
    return text;
}

// A self-signed certificate for localhost and 127.0.0.1, made for the test.
struct SCertificate {
    test::CTempDir dir;
    std::string cert = dir.File("cert.pem");
    std::string key = dir.File("key.pem");
    bool made = std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost "
                             "-addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout " + key + " -out " + cert +
                             " >/dev/null 2>&1").c_str()) == 0;
};

// Keeps what a transfer reports, from its thread.
class CRecorder : public ITransferListener {
public:
    void OnStatus(int textId, const std::string& argument) override {
        std::lock_guard lock(m_mutex);
        m_statuses.push_back(FormatMessage(textId, argument));
    }
    void OnReceiving(bool known, uint64_t length) override {
        m_known = known;
        m_length = length;
    }
    void OnBlock(uint64_t total) override {
        m_blocks.push_back(total);
        if (m_abortAfter && total >= m_abortAfter) *m_abort = true;
    }
    bool Saw(const std::string& status) const {
        for (const std::string& s : m_statuses)
            if (s == status) return true;
        return false;
    }

    std::mutex m_mutex;
    std::vector<std::string> m_statuses;
    bool m_known = false;
    uint64_t m_length = 0;
    std::vector<uint64_t> m_blocks;
    uint64_t m_abortAfter = 0;
    std::atomic<bool>* m_abort = nullptr;
};

} // namespace cva::update
