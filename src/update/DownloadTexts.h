#pragma once

#include <cstdint>
#include <string>

namespace cva::update {

// The updater's string table.
enum ETextId : int {
    IDS_FILE_FROM_SERVER = 102,   // "%1 from %2"
    IDS_CONNECTED = 103,
    IDS_RESOLVING = 104,
    IDS_RESOLVED = 105,
    IDS_CONNECTING = 106,
    IDS_REDIRECTING = 107,
    IDS_GETTING_INFO = 108,
    IDS_ERR_DOWNLOAD_SETUP = 110,
    IDS_ERR_CONNECT = 111,
    IDS_ERR_NO_RESPONSE = 112,
    IDS_ERR_HTTP_STATUS = 113,
    IDS_ERR_TRANSFER = 114,
    IDS_TITLE_PERCENT = 115,      // printf-style
    IDS_RETRIEVING = 116,         // printf-style
    IDS_OF = 117,
    IDS_SEC = 118,
    IDS_MIN = 119,
    IDS_MIN_SEC = 120,
    IDS_BYTES = 121,
    IDS_KB = 123,
    IDS_MB = 125,
    IDS_TIME_COPIED = 127,
    IDS_BYTES_PER_SEC = 128,
    IDS_KB_PER_SEC = 129,
    IDS_ERR_OPEN_FILE = 131,
    IDS_ABORTING = 132,
};

const char* LoadText(int id);

// The text with %1 and %2 put in.
std::string FormatMessage(int id, const std::string& first, const std::string& second = {});

// 512 Bytes, 1024.0 KB, 1.00 MB.
std::string FormatSize(uint64_t bytes);
// 59 sec, 2 min, 2 min 5 sec.
std::string FormatSeconds(uint64_t seconds);
// "2 min 5 sec (1.0 KB of 2.00 MB copied)".
std::string FormatTimeLeft(uint64_t seconds, uint64_t copied, uint64_t total);
// A rate where one byte per millisecond counts as 1 KB/Sec: 512 Bytes/Sec, 2.50 KB/Sec,
// 150 KB/Sec.
std::string FormatRate(double kilobytesPerSecond);
// "Update Corvanta ( 42% )".
std::string FormatTitle(const std::string& product, int percent);
// The status while the file arrives, with the offered version in green.
std::string RetrievingMarkup(const std::string& version);
// The notice when the running version is as new as the offered one.
std::string LatestVersionMarkup(const std::string& current);
// The notice when the server could not be asked, with a link to the maker's site.
std::string CheckFailedMarkup(const std::string& website);

} // namespace cva::update
