#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// String kernels of the VBScript built-ins. Positions given to and returned from these
// functions are 1-based like VBScript's; 0 means "not found". Errors are VBScript run-time
// error numbers (0 = success, 5 invalid procedure call or argument).
namespace cva::vbs::rt {

// vbBinaryCompare (0) compares code units; vbTextCompare (1) compares without regard to
// case using the locale's simple case mapping (text::ToUpper). The engine maps any other
// compare value to error 5 before calling.
enum class CompareMode { Binary = 0, Text = 1 };

// The longest string a script may build, in code units (a BSTR holds at most 2^31 bytes).
// Results that would be longer give error 14 "Out of string space" instead of exhausting
// memory.
inline constexpr std::size_t kMaxStringLength = 0x3FFFFFFF;

// InStr(start, string1, string2, compare). Start is 1-based and must be >= 1 (error 5).
// An empty string2 gives start, or 0 when start is beyond the end of string1.
int InStr(int32_t start, std::u16string_view text, std::u16string_view find, CompareMode mode,
          int32_t& out);

// InStrRev(string1, string2, start, compare). Start -1 means the end of string1; start 0
// or below -1 is error 5. The match must end at or before start. An empty string2 gives
// start (Len(string1) for -1); a start beyond Len(string1) gives 0.
int InStrRev(std::u16string_view text, std::u16string_view find, int32_t start, CompareMode mode,
             int32_t& out);

// Replace(expression, find, replacewith, start, count, compare). The result begins at
// position start (the part before it is dropped, as VBScript does); count -1 replaces all.
// Start < 1 or count < -1 is error 5, a result beyond kMaxStringLength error 14. An empty
// find returns the expression from start unchanged. Linear in the size of the input and
// output.
int Replace(std::u16string_view text, std::u16string_view find, std::u16string_view with,
            int32_t start, int32_t count, CompareMode mode, std::u16string& out);

// Split(expression, delimiter, count, compare). An empty expression gives an empty array;
// an empty delimiter gives a one-element array holding the whole expression; count -1
// means all, otherwise the last element holds the unsplit rest. Count 0 gives an empty
// array; count < -1 is error 5.
int Split(std::u16string_view text, std::u16string_view delimiter, int32_t count,
          CompareMode mode, std::vector<std::u16string>& out);

// Join(list, delimiter).
std::u16string Join(std::span<const std::u16string> items, std::u16string_view delimiter);

// Filter(InputStrings, Value, Include, Compare): the elements that contain (or, with
// include false, do not contain) value, in order.
std::vector<std::u16string> Filter(std::span<const std::u16string> items,
                                   std::u16string_view value, bool include, CompareMode mode);

// StrComp(string1, string2, compare): -1, 0 or 1. Binary compares code units. Text is 0
// exactly when the strings are equal without regard to case; its order approximates
// Windows' linguistic order for Latin text (punctuation < digits < letters, accented
// letters beside their base letter), ties broken by the upper-cased code units.
int StrComp(std::u16string_view a, std::u16string_view b, CompareMode mode);

std::u16string StrReverse(std::u16string_view text);
std::u16string LCase(std::u16string_view text);
std::u16string UCase(std::u16string_view text);

// The trim family removes spaces (U+0020) only, not tabs or line breaks.
std::u16string LTrim(std::u16string_view text);
std::u16string RTrim(std::u16string_view text);
std::u16string Trim(std::u16string_view text);

// Space(n) and String(n, character). Error 5 for a negative n, 14 for n beyond
// kMaxStringLength. The engine passes String's
// character: the first character of a string argument (an empty string is error 5), or for
// a number the Chr of its value modulo 256 (String(3, 65) is "AAA").
int Space(int32_t count, std::u16string& out);
int StringOf(int32_t count, char16_t ch, std::u16string& out);

// Left / Right / Mid. Error 5 for a negative length or a start below 1. Lengths past the
// end are clamped; Mid with start past the end gives "". Mid's length -1 means "to end".
int Left(std::u16string_view text, int32_t length, std::u16string& out);
int Right(std::u16string_view text, int32_t length, std::u16string& out);
int Mid(std::u16string_view text, int32_t start, int32_t length, std::u16string& out);

// Asc: the Windows-1252 code of the first character (63 "?" for a character 1252 lacks);
// AscW: its UTF-16 code unit as an Integer, so U+8000..U+FFFF give -32768..-1 as in
// Windows. Error 5 for an empty string.
int Asc(std::u16string_view text, int32_t& out);
int AscW(std::u16string_view text, int32_t& out);

// Chr(0..255) through Windows-1252; ChrW(-32768..65535), negative values taken as
// 65536 + value. Error 5 outside those ranges.
int Chr(int32_t code, std::u16string& out);
int ChrW(int32_t code, std::u16string& out);

// Escape / Unescape as JScript's: letters, digits and @*_+-./ stay; other code units
// below 256 become %XX, others %uXXXX. Unescape reverses both forms and leaves malformed
// sequences as they are.
std::u16string Escape(std::u16string_view text);
std::u16string Unescape(std::u16string_view text);

} // namespace cva::vbs::rt
