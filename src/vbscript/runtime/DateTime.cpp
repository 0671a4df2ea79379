#include "vbscript/runtime/DateTime.h"

namespace cva::vbs::rt {

bool IsValidDate(double date) { return date >= kMinDate && date <= kMaxDate; }
int SplitDate(double, DateParts& out) { out = DateParts{}; return 5; }
double MakeDate(int, int, int) { return 0.0; }
double MakeTime(int, int, int) { return 0.0; }
double CombineDateTime(double datePart, double) { return datePart; }
int DateSerial(int32_t, int32_t, int32_t, double& out) { out = 0; return 5; }
int TimeSerial(int32_t, int32_t, int32_t, double& out) { out = 0; return 5; }
double Now() { return 0.0; }
double Today() { return 0.0; }
double TimeOfDay() { return 0.0; }
float Timer() { return 0.0f; }
int DateAdd(std::u16string_view, double, double, double& out) { out = 0; return 5; }
int DateDiff(std::u16string_view, double, double, int, int, int32_t& out) { out = 0; return 5; }
int DatePart(std::u16string_view, double, int, int, int32_t& out) { out = 0; return 5; }
int Weekday(double, int, int32_t& out) { out = 0; return 5; }
int WeekdayName(int32_t, bool, int, std::u16string& out) { out.clear(); return 5; }
int MonthName(int32_t, bool, std::u16string& out) { out.clear(); return 5; }
std::optional<double> ParseDate(std::u16string_view, int) { return std::nullopt; }
std::optional<double> ParseDate(std::u16string_view) { return std::nullopt; }
std::u16string FormatDate(double) { return {}; }
int FormatDateTime(double, int, std::u16string& out) { out.clear(); return 5; }

} // namespace cva::vbs::rt
