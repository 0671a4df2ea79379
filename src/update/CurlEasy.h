#pragma once

#include <curl/curl.h>

#include <string>

namespace cva::update {

// How requests reach the network beyond what libcurl takes from the environment itself
// (the proxy variables).
struct SNetOptions {
    // Certificates to trust instead of the system's; empty: $CURL_CA_BUNDLE, then
    // $SSL_CERT_FILE, then the system's store.
    std::string m_caFile;
    long m_connectTimeoutSec = 20;
};

// One libcurl easy handle with the settings every request of the updater shares: HTTP and
// HTTPS only (redirects too), redirects followed, certificates verified, a readable error.
class CCurlEasy {
public:
    CCurlEasy();
    ~CCurlEasy();
    CCurlEasy(const CCurlEasy&) = delete;
    CCurlEasy& operator=(const CCurlEasy&) = delete;

    explicit operator bool() const { return m_curl != nullptr; }
    CURL* Handle() const { return m_curl; }

    void Prepare(const std::string& url, const std::string& userAgent, const SNetOptions& net);

    // libcurl's code with its own words, the detail of this transfer first:
    // "7 (Failed to connect to localhost port 1: Connection refused)".
    std::string ErrorText(CURLcode code) const;

private:
    CURL* m_curl = nullptr;
    char m_error[CURL_ERROR_SIZE] = {};
};

} // namespace cva::update
