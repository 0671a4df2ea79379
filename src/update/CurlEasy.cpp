#include "update/CurlEasy.h"

#include <cstdlib>
#include <mutex>

namespace cva::update {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string TrustedCertificates(const SNetOptions& net) {
    if (!net.m_caFile.empty()) return net.m_caFile;
    for (const char* name : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

} // namespace

CCurlEasy::CCurlEasy() {
    GlobalInit();
    m_curl = curl_easy_init();
}

CCurlEasy::~CCurlEasy() {
    if (m_curl) curl_easy_cleanup(m_curl);
}

void CCurlEasy::Prepare(const std::string& url, const std::string& userAgent, const SNetOptions& net) {
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(m_curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, net.m_connectTimeoutSec);
    // A server that stops sending ends the transfer instead of holding it for ever.
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(m_curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Always the server's copy, never one a cache kept.
    static curl_slist* const noCache = curl_slist_append(
        curl_slist_append(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache");
    curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, noCache);
    const std::string ca = TrustedCertificates(net);
    if (!ca.empty()) curl_easy_setopt(m_curl, CURLOPT_CAINFO, ca.c_str());
}

std::string CCurlEasy::ErrorText(CURLcode code) const {
    std::string detail = m_error[0] ? m_error : curl_easy_strerror(code);
    return std::to_string(static_cast<int>(code)) + " (" + detail + ")";
}

} // namespace cva::update
