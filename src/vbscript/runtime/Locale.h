#pragma once

#include <cstdint>
#include <string_view>

// The regional conventions of the locales SetLocale can choose, as the built-ins use them:
// number separators and currency (CStr, CDbl, FormatNumber, FormatCurrency), date order,
// patterns and names (CDate, CStr, FormatDateTime, MonthName, WeekdayName) and the first
// day and week (vbUseSystemDayOfWeek, vbUseSystem).
namespace cva::vbs::rt {

struct LocaleInfo {
    enum class DateOrder { MonthDayYear, DayMonthYear };

    int32_t lcid;
    std::u16string_view tag; // lower case, "en-us"
    char16_t decimal;
    char16_t group;
    std::u16string_view currency;
    bool currencyAfter;      // the symbol after the number, with a blank before it
    bool currencyParens;     // negative amounts in parentheses by default
    DateOrder dateOrder;     // how "1/2/2000" is read
    char16_t dateSeparator;  // also accepted when reading dates
    // Patterns of Windows' date and time pictures: d dd dddd M MM MMMM yyyy h hh H HH mm ss tt.
    std::u16string_view shortDate;
    std::u16string_view longDate;
    std::u16string_view longTime;
    std::u16string_view months[12];
    std::u16string_view shortMonths[12];
    std::u16string_view days[7]; // Sunday first
    std::u16string_view shortDays[7];
    int firstDayOfWeek;  // 1 = Sunday
    int firstWeekOfYear; // 1 Jan 1, 2 first four days, 3 first full week
};

inline constexpr int32_t kDefaultLcid = 1033;

// The locale a script starts with (and SetLocale(0) returns to): en-US.
const LocaleInfo& DefaultLocale();
// A locale by its LCID or its tag ("de-DE", any case); null when it is not supported.
const LocaleInfo* FindLocale(int32_t lcid);
const LocaleInfo* FindLocale(std::u16string_view tag);

// The locale of the script running on this thread (the default outside a script).
const LocaleInfo& CurrentLocale();
// SetLocale: changes it for the running script and for that script's later runs.
void SetCurrentLocale(const LocaleInfo& locale);

} // namespace cva::vbs::rt
