#include "update/DownloadTexts.h"

#include <cstdio>

namespace cva::update {

namespace {

struct SText {
    int id;
    const char* text;
};

constexpr SText kTexts[] = {
    {IDS_FILE_FROM_SERVER, "%1 from %2"},
    {IDS_CONNECTED, "Connected to %1"},
    {IDS_RESOLVING, "Resolving name: %1"},
    {IDS_RESOLVED, "Resolved name to %1"},
    {IDS_CONNECTING, "Connecting to %1"},
    {IDS_REDIRECTING, "Redirecting to %1"},
    {IDS_GETTING_INFO, "Getting file information"},
    {IDS_ERR_DOWNLOAD_SETUP, "An error occurred while attempting to download the file, Error:%1"},
    {IDS_ERR_CONNECT, "An error occurred connecting to the server, Error:%1"},
    {IDS_ERR_NO_RESPONSE, "Failed to receive a valid response from the server, Error:%1"},
    {IDS_ERR_HTTP_STATUS, "Failed to receive a valid HTTP response from the server, Response Code:%1"},
    {IDS_ERR_TRANSFER, "An error occurred while downloading the file, Error:%1"},
    {IDS_TITLE_PERCENT, "Update %s ( %s%% )"},
    {IDS_RETRIEVING, "Retrieving updated version (<font color=\"green\">%s</font>)"},
    {IDS_OF, "%1 of %2"},
    {IDS_SEC, "%1 sec"},
    {IDS_MIN, "%1 min"},
    {IDS_MIN_SEC, "%1 min %2 sec"},
    {IDS_BYTES, "%1 Bytes"},
    {IDS_KB, "%1 KB"},
    {IDS_MB, "%1 MB"},
    {IDS_TIME_COPIED, "%1 (%2 copied)"},
    {IDS_BYTES_PER_SEC, "%1 Bytes/Sec"},
    {IDS_KB_PER_SEC, "%1 KB/Sec"},
    {IDS_ERR_OPEN_FILE, "An error occured while opening the file to be downloaded, Error:%1"},
    {IDS_ABORTING, "Aborting transfer"},
};

std::string Printf(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The one %s of a printf-style table text, put in without printf reading the argument.
std::string PutIn(const std::string& text, const std::string& value) {
    size_t at = text.find("%s");
    return at == std::string::npos ? text : text.substr(0, at) + value + text.substr(at + 2);
}

// A value from the server shown inside markup stays text, whatever it holds.
std::string AsText(const std::string& value) {
    std::string out;
    for (char c : value)
        if (c != '<' && c != '>' && c != '"') out += c;
    return out;
}

} // namespace

const char* LoadText(int id) {
    for (const SText& entry : kTexts)
        if (entry.id == id) return entry.text;
    return "";
}

std::string FormatMessage(int id, const std::string& first, const std::string& second) {
    std::string text = LoadText(id);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FormatSize(uint64_t bytes) {
    if (bytes < 1024) return FormatMessage(IDS_BYTES, std::to_string(bytes));
    if (bytes <= 1048575) return FormatMessage(IDS_KB, Printf("%0.1f", bytes / 1024.0));
    return FormatMessage(IDS_MB, Printf("%0.2f", bytes / 1048576.0));
}

std::string FormatSeconds(uint64_t seconds) {
    if (seconds < 60) return FormatMessage(IDS_SEC, std::to_string(seconds));
    if (seconds % 60 == 0) return FormatMessage(IDS_MIN, std::to_string(seconds / 60));
    return FormatMessage(IDS_MIN_SEC, std::to_string(seconds / 60), std::to_string(seconds % 60));
}

std::string FormatTimeLeft(uint64_t seconds, uint64_t copied, uint64_t total) {
    return FormatMessage(IDS_TIME_COPIED, FormatSeconds(seconds),
                         FormatMessage(IDS_OF, FormatSize(copied), FormatSize(total)));
}

std::string FormatRate(double kilobytesPerSecond) {
    if (kilobytesPerSecond < 1) return FormatMessage(IDS_BYTES_PER_SEC, Printf("%0.0f", kilobytesPerSecond * 1024));
    if (kilobytesPerSecond < 10) return FormatMessage(IDS_KB_PER_SEC, Printf("%0.2f", kilobytesPerSecond));
    return FormatMessage(IDS_KB_PER_SEC, Printf("%0.0f", kilobytesPerSecond));
}

std::string FormatTitle(const std::string& product, int percent) {
    std::string text = PutIn(LoadText(IDS_TITLE_PERCENT), product);
    text = PutIn(text, std::to_string(percent));
    size_t at = text.find("%%");
    return at == std::string::npos ? text : text.replace(at, 2, "%");
}

std::string RetrievingMarkup(const std::string& version) { return PutIn(LoadText(IDS_RETRIEVING), AsText(version)); }

std::string LatestVersionMarkup(const std::string& current) {
    return "You have the latest version <font color=\"green\">" + AsText(current) + "</font>";
}

std::string CheckFailedMarkup(const std::string& website) {
    return "<font color=\"red\">Unable to retreive information from </font><a href=\"" + website +
           "\"><font color=\"blue\"><u>" + website + "</u></font></a>.";
}

} // namespace cva::update
