#include "update/HttpTransfer.h"

#include "update/DownloadTexts.h"
#include "update/VersionFile.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <string_view>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cva::update {

namespace {

std::string SystemErrorText(int code) { return std::to_string(code) + " (" + std::strerror(code) + ")"; }

std::string AddressText(const curl_sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&address->addr)->sin_addr, text, sizeof text);
    else if (address->family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&address->addr)->sin6_addr, text, sizeof text);
    return text;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
    return text && ::strncasecmp(text, prefix, std::strlen(prefix)) == 0;
}

// A Location header's target made absolute against the URL that answered with it.
std::string ResolveLocation(const char* base, const std::string& location) {
    std::string out;
    CURLU* url = curl_url();
    if (url && base && curl_url_set(url, CURLUPART_URL, base, 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK) {
        char* text = nullptr;
        if (curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK) out = text;
        curl_free(text);
    }
    curl_url_cleanup(url);
    return out.empty() ? location : out;
}

} // namespace

CHttpTransfer::CHttpTransfer(STransferRequest request, ITransferListener& listener, const std::atomic<bool>& abort)
    : m_request(std::move(request)), m_listener(listener), m_abort(abort) {}

CHttpTransfer::~CHttpTransfer() { CloseFile(); }

void CHttpTransfer::CloseFile() {
    if (m_request.m_fd < 0) return;
    if (::close(m_request.m_fd) != 0 && m_writeErrno == 0) m_writeErrno = errno;
    m_request.m_fd = -1;
}

STransferResult CHttpTransfer::Run() {
    STransferResult result;
    result.m_outcome = STransferResult::EOutcome::Failed;
    if (!m_curl) {
        CloseFile();
        result.m_errorText = FormatMessage(IDS_ERR_DOWNLOAD_SETUP, m_curl.ErrorText(CURLE_FAILED_INIT));
        return result;
    }
    CURL* curl = m_curl.Handle();
    m_curl.Prepare(m_request.m_url, m_request.m_userAgent, m_request.m_net);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kBlockSize);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CHttpTransfer::OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CHttpTransfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CHttpTransfer::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &CHttpTransfer::OnOpenSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &CHttpTransfer::OnConnected);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);

    m_strHost = UrlHost(m_request.m_url);
    m_listener.OnStatus(IDS_RESOLVING, m_strHost);
    const CURLcode code = m_abort ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(curl);
    CloseFile();

    if (m_abort) {
        result.m_outcome = STransferResult::EOutcome::Aborted;
    } else if (m_httpStatus != 0) {
        result.m_errorText = FormatMessage(IDS_ERR_HTTP_STATUS, std::to_string(m_httpStatus));
    } else if (m_writeErrno != 0) {
        result.m_errorText = FormatMessage(IDS_ERR_TRANSFER, SystemErrorText(m_writeErrno));
    } else if (code != CURLE_OK && m_bReceiving) {
        result.m_errorText = FormatMessage(IDS_ERR_TRANSFER, m_curl.ErrorText(code));
    } else if (code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_GOT_NOTHING || (code == CURLE_OK && !m_bReceiving)) {
        result.m_errorText = FormatMessage(IDS_ERR_NO_RESPONSE, m_curl.ErrorText(code));
    } else if (code != CURLE_OK) {
        result.m_errorText = FormatMessage(IDS_ERR_CONNECT, m_curl.ErrorText(code));
    } else {
        result.m_errorText = Verify();
        if (result.m_errorText.empty()) result.m_outcome = STransferResult::EOutcome::Done;
    }
    return result;
}

std::string CHttpTransfer::Verify() {
    const std::string digest = m_hash.result().toHex().toStdString();
    if (!m_request.m_sha256.empty()) {
        if (digest == m_request.m_sha256) return {};
        return "The downloaded file was not kept: its SHA-256 checksum does not match the one the update server "
               "names for it.";
    }
    char* effective = nullptr;
    long verify = 1;
    curl_easy_getinfo(m_curl.Handle(), CURLINFO_EFFECTIVE_URL, &effective);
    curl_easy_getinfo(m_curl.Handle(), CURLINFO_SSL_VERIFYRESULT, &verify);
    if (StartsWithNoCase(effective, "https://") && verify == 0) return {};
    return "The downloaded file was not kept: it did not come over a verified HTTPS connection, and the update "
           "server names no SHA-256 checksum for it.";
}

bool CHttpTransfer::HeadersDone() {
    long status = 0;
    curl_easy_getinfo(m_curl.Handle(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200) return true;  // an interim answer; the real one follows
    if (status >= 300 && status < 400 && !m_strLocation.empty()) {
        // libcurl follows it; CURLINFO_REDIRECT_URL is only filled when it would not.
        char* current = nullptr;
        curl_easy_getinfo(m_curl.Handle(), CURLINFO_EFFECTIVE_URL, &current);
        const std::string target = ResolveLocation(current, m_strLocation);
        m_listener.OnStatus(IDS_REDIRECTING, target);
        const std::string host = UrlHost(target);
        if (!host.empty() && host != m_strHost) {
            m_strHost = host;
            m_listener.OnStatus(IDS_RESOLVING, host);
        }
        return true;
    }
    // Without credentials an authentication request cannot be answered, and its body is
    // no setup file: it is refused like any other answer but a file.
    if (status != 200 && status != 206) {
        m_httpStatus = status;
        return false;
    }
    m_bReceiving = true;
    m_listener.OnStatus(IDS_GETTING_INFO, {});
    curl_off_t length = -1;
    curl_easy_getinfo(m_curl.Handle(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    m_listener.OnReceiving(length > 0, length > 0 ? static_cast<uint64_t>(length) : 0);
    return true;
}

size_t CHttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<CHttpTransfer*>(self);
    const size_t bytes = size * count;
    if (transfer->m_abort) return 0;
    const std::string_view line(data, bytes);
    if (line.rfind("HTTP/", 0) == 0) transfer->m_strLocation.clear();
    if (line.size() > 9 && ::strncasecmp(line.data(), "location:", 9) == 0) {
        std::string_view value = line.substr(9);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
            value.remove_suffix(1);
        transfer->m_strLocation = std::string(value);
    }
    const bool blank = line == "\r\n" || line == "\n";
    if (blank && !transfer->HeadersDone()) return 0;
    return bytes;
}

size_t CHttpTransfer::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<CHttpTransfer*>(self);
    const size_t bytes = size * count;
    if (transfer->m_abort) return 0;
    if (!transfer->m_bReceiving) return bytes;
    size_t done = 0;
    while (done < bytes) {
        ssize_t n = ::write(transfer->m_request.m_fd, data + done, bytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            transfer->m_writeErrno = n < 0 ? errno : EIO;
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    transfer->m_hash.addData(QByteArrayView(data, static_cast<qsizetype>(bytes)));
    transfer->m_total += bytes;
    transfer->m_listener.OnBlock(transfer->m_total);
    return bytes;
}

int CHttpTransfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CHttpTransfer*>(self)->m_abort ? 1 : 0;
}

curl_socket_t CHttpTransfer::OnOpenSocket(void* self, curlsocktype, curl_sockaddr* address) {
    auto* transfer = static_cast<CHttpTransfer*>(self);
    if (transfer->m_abort) return CURL_SOCKET_BAD;
    const std::string text = AddressText(address);
    transfer->m_listener.OnStatus(IDS_RESOLVED, text);
    transfer->m_listener.OnStatus(IDS_CONNECTING, text);
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int CHttpTransfer::OnConnected(void* self, char* remoteIp, char*, int, int) {
    auto* transfer = static_cast<CHttpTransfer*>(self);
    if (transfer->m_abort) return CURL_PREREQFUNC_ABORT;
    transfer->m_listener.OnStatus(IDS_CONNECTED, remoteIp ? remoteIp : "");
    return CURL_PREREQFUNC_OK;
}

} // namespace cva::update
