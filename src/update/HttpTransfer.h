#pragma once

#include "update/CurlEasy.h"

#include <QCryptographicHash>

#include <atomic>
#include <cstdint>
#include <string>

namespace cva::update {

// What the download tells while it runs, on its own thread.
class ITransferListener {
public:
    virtual ~ITransferListener() = default;
    // A status text (103 to 108) with its argument.
    virtual void OnStatus(int textId, const std::string& argument) = 0;
    // The server accepted the request; `length` is meaningful when `known`.
    virtual void OnReceiving(bool known, uint64_t length) = 0;
    // A block was written; `total` bytes so far.
    virtual void OnBlock(uint64_t total) = 0;
};

struct STransferRequest {
    std::string m_url;
    std::string m_userAgent;
    // Descriptor of the new, empty target file; the transfer closes it.
    int m_fd = -1;
    // 64 lower-case hex digits the file must match; empty when the version file named none.
    std::string m_sha256;
    SNetOptions m_net;
};

struct STransferResult {
    enum class EOutcome { Done, Aborted, Failed };
    EOutcome m_outcome = EOutcome::Failed;
    std::string m_errorText;  // for Failed
};

// One HTTP(S) GET into a file: status texts, progress, the server's answer judged, the
// transfer stopped when `abort` is set, and the file accepted only when it is known to be
// the one the server meant (verified HTTPS, or the checksum of the version file).
class CHttpTransfer {
public:
    CHttpTransfer(STransferRequest request, ITransferListener& listener, const std::atomic<bool>& abort);
    ~CHttpTransfer();
    CHttpTransfer(const CHttpTransfer&) = delete;
    CHttpTransfer& operator=(const CHttpTransfer&) = delete;

    STransferResult Run();

    // Blocks are this big, so Close stops the transfer soon after it was pressed.
    static constexpr long kBlockSize = 1024;

private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static curl_socket_t OnOpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int OnConnected(void* self, char* remoteIp, char* localIp, int remotePort, int localPort);
    bool HeadersDone();
    std::string Verify();
    void CloseFile();

    STransferRequest m_request;
    ITransferListener& m_listener;
    const std::atomic<bool>& m_abort;
    CCurlEasy m_curl;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    uint64_t m_total = 0;
    bool m_bReceiving = false;   // the final answer's headers have arrived
    long m_httpStatus = 0;       // a status that ended the transfer
    int m_writeErrno = 0;
    std::string m_strHost;
    std::string m_strLocation;  // of the answer whose headers are arriving
};

} // namespace cva::update
