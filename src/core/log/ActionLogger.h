#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace cva::logging {

// The program's journal: one text file per calendar day in the log folder, one line per
// entry ("09.05.07.PM:: Applied - example.cvp"), each entry on disk before Log returns.
// The day is fixed when the log is opened; a program running past midnight keeps
// writing to the file it started with.
class CActionLogger {
public:
    enum class EOpenResult { Opened, Disabled, Failed };
    using ErrorHandler = std::function<void(const std::string& message)>;
    using Clock = std::function<std::time_t()>;

    CActionLogger();
    virtual ~CActionLogger();
    CActionLogger(const CActionLogger&) = delete;
    CActionLogger& operator=(const CActionLogger&) = delete;

    // createLog is the "CreateLog" setting: 0 keeps the log closed until the next start.
    // Otherwise the day's file is opened for appending (created when missing, never
    // truncated) and "Opened CVA" is written. A file that cannot be opened, or that
    // another program holds for writing, gives Failed: the reason goes to the error
    // handler and LastError, and the program runs on without a log.
    EOpenResult Open(const std::string& logFolder, int createLog);
    // Appends one entry; nothing happens while closed or for an empty text.
    void Log(std::string_view text);
    // Ends logging for the rest of the run (the options dialog calls this before it
    // deletes a log file).
    void Close();

    bool IsOpen() const { return m_fd >= 0 && !m_closed; }
    const std::string& FilePath() const { return m_path; }
    const std::string& LastError() const { return m_lastError; }

    // Told once per logger about the first failure (open or write), so a broken disk
    // does not raise a message for every entry.
    void SetErrorHandler(ErrorHandler handler) { m_onError = std::move(handler); }
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    void Report(const std::string& message);
    std::tm LocalNow() const;

    int m_fd = -1;
    bool m_closed = true;
    bool m_reported = false;
    std::string m_path;
    std::string m_lastError;
    ErrorHandler m_onError;
    Clock m_clock;
};

// "06_Dec_2026.log". Month names are always English, whatever locale the desktop sets,
// so the same day always names the same file.
std::string LogFileName(const std::tm& localTime);
// "09.05.07.PM:: ", the prefix of every line.
std::string LogTimeStamp(const std::tm& localTime);
// The log folder of a profile folder.
std::string LogFolderFor(const std::string& profileFolder);
// The entry for an applied plugin: "Applied - " and the file name without its folder.
std::string AppliedEntry(std::string_view pluginPath);

// Deletes the log files of the folder whose last write is more than `days` whole days
// before `now`. Only regular files ending in ".log" (any case) count; a name starting
// with "_" marks a log to keep. Returns the number of files deleted.
int ClearOldLogs(const std::string& logFolder, int days, std::time_t now = std::time(nullptr));

} // namespace cva::logging
