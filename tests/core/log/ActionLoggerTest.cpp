#include "core/log/ActionLogger.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/time.h>
#include <unistd.h>

using namespace cva::logging;
using cva::test::CTempFolder;

namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::tm Broken(std::time_t when) {
    std::tm t{};
    ::localtime_r(&when, &t);
    return t;
}

std::string Read(const std::string& path) {
    return cva::files::ReadWholeFile(path).value_or("<missing>");
}

void Touch(const std::string& path, std::time_t mtime) {
    std::ofstream(path) << "x";
    timeval times[2] = {{mtime, 0}, {mtime, 0}};
    ::utimes(path.c_str(), times);
}

} // namespace

TEST(LogFormat, FileNamesAndTimeStamps) {
    EXPECT_EQ(LogFileName(Broken(LocalTime(2026, 12, 6, 21, 5, 7))), "06_Dec_2026.log");
    EXPECT_EQ(LogFileName(Broken(LocalTime(2027, 1, 31, 0, 0, 0))), "31_Jan_2027.log");
    EXPECT_EQ(LogTimeStamp(Broken(LocalTime(2026, 12, 6, 21, 5, 7))), "09.05.07.PM:: ");
    EXPECT_EQ(LogTimeStamp(Broken(LocalTime(2026, 12, 6, 0, 30, 0))), "12.30.00.AM:: ");
    EXPECT_EQ(LogTimeStamp(Broken(LocalTime(2026, 12, 6, 12, 0, 9))), "12.00.09.PM:: ");
    EXPECT_EQ(AppliedEntry("C:\\cva\\plugins\\example.cvp"), "Applied - example.cvp");
    EXPECT_EQ(AppliedEntry("/usr/share/cva/plugins/x.cvp"), "Applied - x.cvp");
    EXPECT_EQ(LogFolderFor("/home/u/.local/share/Meridot/Corvanta//"),
              "/home/u/.local/share/Meridot/Corvanta/logs");
}

TEST(ActionLogger, TwoStartsOnOneDayAppendToOneFile) {
    CTempFolder tmp;
    const std::string folder = tmp / "logs";
    std::time_t now = LocalTime(2026, 12, 6, 21, 5, 7);
    {
        CActionLogger logger;
        logger.SetClock([&] { return now; });
        ASSERT_EQ(logger.Open(folder, 1), CActionLogger::EOpenResult::Opened);
        EXPECT_EQ(logger.FilePath(), folder + "/06_Dec_2026.log");
        logger.Log(AppliedEntry("example.cvp"));
        logger.Log("");
        // Written through at once, not at close.
        EXPECT_EQ(Read(logger.FilePath()),
                  "09.05.07.PM:: Opened CVA\r\n09.05.07.PM:: Applied - example.cvp\r\n");
    }
    CActionLogger second;
    now += 3600 * 2; // past midnight: the file of the start stays in use
    second.SetClock([&] { return now; });
    ASSERT_EQ(second.Open(folder, 7), CActionLogger::EOpenResult::Opened);
    second.Log("line\r\nforged entry");
    EXPECT_EQ(second.FilePath(), folder + "/06_Dec_2026.log");
    EXPECT_EQ(Read(second.FilePath()),
              "09.05.07.PM:: Opened CVA\r\n09.05.07.PM:: Applied - example.cvp\r\n"
              "11.05.07.PM:: Opened CVA\r\n11.05.07.PM:: line  forged entry\r\n");
}

TEST(ActionLogger, CreateLogZeroAndCloseSilenceTheLog) {
    CTempFolder tmp;
    CActionLogger off;
    EXPECT_EQ(off.Open(tmp.Path(), 0), CActionLogger::EOpenResult::Disabled);
    off.Log("nothing");
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));

    CActionLogger logger;
    ASSERT_EQ(logger.Open(tmp.Path(), 1), CActionLogger::EOpenResult::Opened);
    std::string before = Read(logger.FilePath());
    logger.Close();
    logger.Log("after close");
    EXPECT_FALSE(logger.IsOpen());
    EXPECT_EQ(Read(logger.FilePath()), before);
}

TEST(ActionLogger, FailureToOpenIsReportedOnceAndTheProgramGoesOn) {
    CTempFolder tmp;
    std::ofstream(tmp / "notafolder") << "x";
    int reports = 0;
    CActionLogger logger;
    logger.SetErrorHandler([&](const std::string&) { ++reports; });
    EXPECT_EQ(logger.Open(tmp / "notafolder", 1), CActionLogger::EOpenResult::Failed);
    EXPECT_EQ(logger.Open(tmp / "notafolder", 1), CActionLogger::EOpenResult::Failed);
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(logger.LastError().empty());
    logger.Log("dropped");
    EXPECT_FALSE(logger.IsOpen());
}

TEST(ActionLogger, FileHeldByAnotherWriterIsNotShared) {
    CTempFolder tmp;
    CActionLogger first;
    ASSERT_EQ(first.Open(tmp.Path(), 1), CActionLogger::EOpenResult::Opened);
    int fd = ::open(first.FilePath().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
    CActionLogger second;
    EXPECT_EQ(second.Open(tmp.Path(), 1), CActionLogger::EOpenResult::Failed);
}

TEST(ClearOldLogs, AgeInWholeDaysAndTheUnderscoreException) {
    CTempFolder tmp;
    const std::time_t now = std::time(nullptr);
    const std::time_t day = 86400;
    Touch(tmp / "recent.log", now - 7 * day - 23 * 3600);
    Touch(tmp / "old.log", now - 8 * day);
    Touch(tmp / "OLDER.LOG", now - 30 * day);
    Touch(tmp / "_keep.log", now - 365 * day);
    Touch(tmp / "notes.txt", now - 30 * day);
    Touch(tmp / "future.log", now + 30 * day);
    std::filesystem::create_directory(tmp / "folder.log");
    std::filesystem::last_write_time(tmp / "folder.log",
                                     std::filesystem::last_write_time(tmp / "old.log"));

    EXPECT_EQ(ClearOldLogs(tmp.Path(), 7, now), 2);
    EXPECT_TRUE(std::filesystem::exists(tmp / "recent.log"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "old.log"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "OLDER.LOG"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "_keep.log"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "notes.txt"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "future.log"));
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "folder.log"));
    EXPECT_EQ(ClearOldLogs(tmp / "missing", 7, now), 0);
}
