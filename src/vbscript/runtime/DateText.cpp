// Reading and writing dates as text in the current locale's conventions, as VBScript
// does for CDate, IsDate, CStr and FormatDateTime.
#include "vbscript/runtime/DateTime.h"

#include "platform/text/Unicode.h"
#include "vbscript/runtime/DateCalendar.h"
#include "vbscript/runtime/Locale.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace cva::vbs::rt {

using namespace detail;

namespace {

constexpr const char16_t* kMonthNames[12] = {
    u"january", u"february", u"march",     u"april",   u"may",      u"june",
    u"july",    u"august",   u"september", u"october", u"november", u"december"};
constexpr const char16_t* kDayNames[7] = {u"sunday",   u"monday", u"tuesday", u"wednesday",
                                          u"thursday", u"friday", u"saturday"};

enum class Tok { Number, Month, Weekday, Am, Pm, DateSep, TimeSep, Comma };

struct Token {
    Tok kind;
    int value = 0;  // number, or month 1..12
    int digits = 0; // digit count of a number
};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
           c == 0xA0;
}

bool IsLetter(char16_t c) { return text::ToLower(c) != text::ToUpper(c); }

// A word is a month or weekday when it is the full name or its first three letters
// ("Sept" is also accepted, as Windows does).
bool MatchName(const std::u16string& word, std::u16string_view name) {
    if (word.size() < 3 || word.size() > name.size()) return false;
    if (word == name) return true;
    if (word.size() == 3) return name.substr(0, 3) == word;
    return word == u"sept" && name == u"september";
}

// The locale's own names and abbreviations count as well as the English ones.
bool MatchLocalName(const std::u16string& word, std::u16string_view name, std::u16string_view abbreviation) {
    return word == text::ToLower(name) || word == text::ToLower(abbreviation);
}

bool Tokenize(std::u16string_view s, std::vector<Token>& out) {
    const LocaleInfo& locale = CurrentLocale();
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c >= u'0' && c <= u'9') {
            Token t{Tok::Number};
            int64_t value = 0;
            while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
                if (value < 100000000) value = value * 10 + (s[i] - u'0');
                ++t.digits;
                ++i;
            }
            t.value = static_cast<int>(value);
            out.push_back(t);
        } else if (IsLetter(c)) {
            std::size_t j = i;
            while (j < s.size() && IsLetter(s[j])) ++j;
            const std::u16string word = text::ToLower(s.substr(i, j - i));
            i = j;
            if (word == u"am" || word == u"a") {
                out.push_back({Tok::Am});
                continue;
            }
            if (word == u"pm" || word == u"p") {
                out.push_back({Tok::Pm});
                continue;
            }
            bool found = false;
            for (int m = 0; m < 12 && !found; ++m)
                if (MatchLocalName(word, locale.months[m], locale.shortMonths[m]) ||
                    MatchName(word, kMonthNames[m])) {
                    out.push_back({Tok::Month, m + 1});
                    found = true;
                }
            for (int d = 0; d < 7 && !found; ++d)
                if (MatchLocalName(word, locale.days[d], locale.shortDays[d]) ||
                    MatchName(word, kDayNames[d])) {
                    out.push_back({Tok::Weekday, d + 1});
                    found = true;
                }
            if (!found) return false;
        } else if (c == u'/' || c == u'-' || c == locale.dateSeparator) {
            out.push_back({Tok::DateSep});
            ++i;
        } else if (c == u':') {
            out.push_back({Tok::TimeSep});
            ++i;
        } else if (c == u',') {
            out.push_back({Tok::Comma});
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// Years below 100 are two-digit years however they are written ("0099" too).
int ExpandYear(const Token& t) {
    if (t.value < 100) return t.value < 30 ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

bool YearLike(const Token& t) { return t.digits >= 3 || t.value > 31; }

bool ValidDay(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

struct Ymd {
    int year, month, day;
};

// Resolves the date fields in the locale's order (en-US: month before day), falling back
// to the other readings Windows accepts when the first one is not a valid date.
bool ResolveDate(const std::vector<Token>& numbers, int monthName, int referenceYear, Ymd& out) {
    const bool dayFirst = CurrentLocale().dateOrder == LocaleInfo::DateOrder::DayMonthYear;
    auto acceptYmd = [&](int y, int m, int d) {
        if (!ValidDay(y, m, d)) return false;
        out = {y, m, d};
        return true;
    };
    // accept(year, first, second) reads the two fields in the locale's order.
    auto accept = [&](int y, int first, int second) {
        return dayFirst ? acceptYmd(y, second, first) : acceptYmd(y, first, second);
    };
    const std::size_t n = numbers.size();
    if (monthName == 0) {
        if (n == 3) {
            const Token& a = numbers[0];
            const Token& b = numbers[1];
            const Token& c = numbers[2];
            if (YearLike(a)) return acceptYmd(ExpandYear(a), b.value, c.value);
            return accept(ExpandYear(c), a.value, b.value) ||
                   accept(ExpandYear(c), b.value, a.value);
        }
        if (n == 2) {
            const Token& a = numbers[0];
            const Token& b = numbers[1];
            if (YearLike(a)) return acceptYmd(ExpandYear(a), b.value, 1);
            if (accept(referenceYear, a.value, b.value)) return true;
            if (accept(referenceYear, b.value, a.value)) return true;
            return acceptYmd(ExpandYear(b), a.value, 1);
        }
        return false;
    }
    if (n == 2) {
        const Token& a = numbers[0];
        const Token& b = numbers[1];
        if (YearLike(a) && !YearLike(b)) return acceptYmd(ExpandYear(a), monthName, b.value);
        return acceptYmd(ExpandYear(b), monthName, a.value);
    }
    if (n == 1) {
        const Token& a = numbers[0];
        if (YearLike(a)) return acceptYmd(ExpandYear(a), monthName, 1);
        return acceptYmd(referenceYear, monthName, a.value);
    }
    return false;
}

void AppendNumber(std::u16string& out, int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    for (const char* c = buf; *c; ++c) out.push_back(static_cast<char16_t>(*c));
}

// A date or time in one of the locale's pictures ("M/d/yyyy", "dddd, d. MMMM yyyy",
// "h:mm:ss tt"): runs of d, M, y, h, H, m, s, t are fields, anything else is text.
std::u16string FormatPicture(std::u16string_view picture, const DateParts& p) {
    const LocaleInfo& locale = CurrentLocale();
    std::u16string out;
    for (std::size_t i = 0; i < picture.size();) {
        const char16_t c = picture[i];
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        const int width = run >= 2 ? 2 : 1;
        const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        switch (c) {
        case u'd':
            if (run >= 3) out += run == 3 ? locale.shortDays[p.weekday - 1] : locale.days[p.weekday - 1];
            else AppendNumber(out, p.day, width);
            break;
        case u'M':
            if (run >= 3) out += run == 3 ? locale.shortMonths[p.month - 1] : locale.months[p.month - 1];
            else AppendNumber(out, p.month, width);
            break;
        case u'y':
            if (run <= 2) AppendNumber(out, p.year % 100, 2);
            else AppendNumber(out, p.year, 1);
            break;
        case u'h': AppendNumber(out, hour12, width); break;
        case u'H': AppendNumber(out, p.hour, width); break;
        case u'm': AppendNumber(out, p.minute, width); break;
        case u's': AppendNumber(out, p.second, width); break;
        case u't': out += std::u16string_view(p.hour < 12 ? u"AM" : u"PM").substr(0, run >= 2 ? 2 : 1); break;
        default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

std::u16string ShortDateText(const DateParts& p) { return FormatPicture(CurrentLocale().shortDate, p); }

std::u16string LongTimeText(const DateParts& p) { return FormatPicture(CurrentLocale().longTime, p); }

} // namespace

std::optional<double> ParseDate(std::u16string_view textIn, int referenceYear) {
    std::vector<Token> tokens;
    if (!Tokenize(textIn, tokens) || tokens.empty()) return std::nullopt;

    // The time: "h:m[:s] [AM|PM]" or "h AM|PM".
    bool haveTime = false;
    int hour = 0, minute = 0, second = 0;
    std::vector<Token> rest;
    for (std::size_t i = 0; i < tokens.size();) {
        const Token& t = tokens[i];
        const bool timeStart =
            t.kind == Tok::Number && i + 1 < tokens.size() &&
            (tokens[i + 1].kind == Tok::TimeSep || tokens[i + 1].kind == Tok::Am ||
             tokens[i + 1].kind == Tok::Pm);
        if (!timeStart) {
            if (t.kind == Tok::Am || t.kind == Tok::Pm || t.kind == Tok::TimeSep)
                return std::nullopt;
            rest.push_back(t);
            ++i;
            continue;
        }
        if (haveTime) return std::nullopt;
        haveTime = true;
        int fields[3] = {t.value, 0, 0};
        int count = 1;
        ++i;
        while (i + 1 < tokens.size() && tokens[i].kind == Tok::TimeSep &&
               tokens[i + 1].kind == Tok::Number && count < 3) {
            fields[count++] = tokens[i + 1].value;
            i += 2;
        }
        if (i < tokens.size() && tokens[i].kind == Tok::TimeSep) return std::nullopt;
        hour = fields[0];
        minute = fields[1];
        second = fields[2];
        if (i < tokens.size() && (tokens[i].kind == Tok::Am || tokens[i].kind == Tok::Pm)) {
            if (hour > 12) return std::nullopt;
            if (tokens[i].kind == Tok::Pm && hour < 12) hour += 12;
            if (tokens[i].kind == Tok::Am && hour == 12) hour = 0;
            ++i;
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    }

    // The date: numbers and at most one month name, separated by "/", "-", "," or blanks;
    // a weekday name is allowed and ignored.
    std::vector<Token> numbers;
    int monthName = 0;
    bool lastWasSeparator = true;
    for (const Token& t : rest) {
        switch (t.kind) {
        case Tok::Number:
            numbers.push_back(t);
            lastWasSeparator = false;
            break;
        case Tok::Month:
            if (monthName != 0) return std::nullopt;
            monthName = t.value;
            lastWasSeparator = false;
            break;
        case Tok::Weekday: break;
        case Tok::DateSep:
            if (lastWasSeparator) return std::nullopt;
            lastWasSeparator = true;
            break;
        case Tok::Comma: break;
        default: return std::nullopt;
        }
    }
    if (numbers.size() > 3 || (lastWasSeparator && !rest.empty() && rest.back().kind == Tok::DateSep))
        return std::nullopt;

    double date = 0.0;
    if (!numbers.empty() || monthName != 0) {
        Ymd ymd{};
        if (!ResolveDate(numbers, monthName, referenceYear, ymd))
            return std::nullopt;
        date = MakeDate(ymd.year, ymd.month, ymd.day);
    } else if (!haveTime) {
        return std::nullopt;
    }
    return CombineDateTime(date, MakeTime(hour, minute, second));
}

std::optional<double> ParseDate(std::u16string_view text) {
    DateParts now;
    SplitDate(Now(), now);
    return ParseDate(text, now.year);
}

std::u16string FormatDate(double date) {
    DateParts p;
    if (SplitDate(date, p) != 0) return {};
    // Which parts to show is decided on the stored value, before rounding to the second:
    // 1.999999 prints as "1/1/1900 12:00:00 AM", as Windows does.
    const double whole = std::trunc(date);
    const bool noDate = whole == 0.0;
    const bool noTime = date == whole;
    if (noDate) return LongTimeText(p);
    if (noTime) return ShortDateText(p);
    return ShortDateText(p) + u" " + LongTimeText(p);
}

int FormatDateTime(double date, int namedFormat, std::u16string& out) {
    DateParts p;
    if (namedFormat < 0 || namedFormat > 4 || SplitDate(date, p) != 0) return 5;
    switch (namedFormat) {
    case kGeneralDate: out = FormatDate(date); break;
    case kLongDate: out = FormatPicture(CurrentLocale().longDate, p); break;
    case kShortDate: out = ShortDateText(p); break;
    case kLongTime: out = LongTimeText(p); break;
    case kShortTime: out = FormatPicture(u"HH:mm", p); break;
    }
    return 0;
}

} // namespace cva::vbs::rt
