#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number kernels of the VBScript built-ins: conversion to and from text, rounding, Hex/Oct
// and the Format* functions, with the current locale's separators and currency (en-US: "."
// decimal, "," grouping, "$" currency; the examples below are en-US).
// Currency values are int64_t scaled by 10,000 (1.5 is 15000), as in OLE's CY.
// Errors are VBScript run-time error numbers (0 = success, 5 invalid procedure call,
// 6 overflow, 13 type mismatch).
namespace cva::vbs::rt {

// Tristate arguments of FormatNumber / FormatCurrency / FormatPercent.
inline constexpr int kUseDefault = -2;
inline constexpr int kTrue = -1;
inline constexpr int kFalse = 0;

// CStr of a Double: up to 15 significant digits, plain notation for magnitudes from 1E-4
// up to below 1E15, otherwise scientific with at least two exponent digits ("1E+15",
// "1.5E-07"). Negative zero prints as "0". 0.1 + 0.2 prints "0.3".
std::u16string DoubleToString(double value);

// CStr of a Single: the same rules with 7 significant digits ("1E+07" from 1E7).
std::u16string SingleToString(float value);

// CStr of a Currency: up to four decimals, no trailing zeros, no grouping ("1234.5").
std::u16string CurrencyToString(int64_t scaled);

// Reads a string as a number the way VBScript coerces strings for arithmetic, CDbl, CLng
// and IsNumeric: surrounding blanks (space, tab, CR, LF, VT, FF, NBSP) ignored, optional
// sign (leading, or a trailing sign), "$" currency sign before or after the number,
// thousands separators "," anywhere after the first digit (not checked for position, as
// Windows does not), ".", exponent "E" with optional sign, "&H"/"&O" prefixes for
// hexadecimal and octal integers (read as 32-bit two's complement, so "&HFFFFFFFF" is -1
// but "&HFFFF" is 65535), and a value enclosed in parentheses as a negative number. Empty
// when the text is not a number (the caller raises 13); more than 32 bits of "&H" digits
// are not a number either.
std::optional<double> ParseNumber(std::u16string_view text);

// IsNumeric's rule for a string: true exactly when ParseNumber succeeds.
bool IsNumericString(std::u16string_view text);

// Reads a string as a Currency without going through a double, so "0.1" is exactly 1000.
// Error 13 when not a number, 6 when outside the Currency range.
int ParseCurrency(std::u16string_view text, int64_t& out);

// Converts a double to Currency, rounding to four decimals half to even. Error 6 beyond
// +/-922,337,203,685,477.5807.
int DoubleToCurrency(double value, int64_t& out);
double CurrencyToDouble(int64_t scaled);

// Round half to even at the integer ("banker's rounding"), as CInt, CLng, CByte do.
double RoundHalfEven(double value);

// Round(number, digits): half to even at the given number of decimals (0..). Error 5 for
// negative digits. Values whose magnitude makes the scaling meaningless come back unchanged.
int Round(double value, int32_t digits, double& out);

// CLng / CInt / CByte: round half to even then check the range. Error 6 outside
// -2,147,483,648..2,147,483,647 / -32,768..32,767 / 0..255 (and for NaN).
int ToLong(double value, int32_t& out);
int ToInteger(double value, int16_t& out);
int ToByte(double value, uint8_t& out);

// Int (towards minus infinity) and Fix (towards zero).
double Int(double value);
double Fix(double value);

// Hex / Oct of an already rounded integer, as two's complement of the value's width:
// bits 8 (Byte), 16 (Integer) or 32 (Long and anything converted to Long). Hex(-1) on a
// Long is "FFFFFFFF", on an Integer "FFFF". The engine rounds Doubles to Long first
// (error 6 beyond the Long range).
std::u16string Hex(int32_t value, int bits = 32);
std::u16string Oct(int32_t value, int bits = 32);

// FormatNumber(expr, digits, includeLeadingDigit, useParens, groupDigits). digits -1 means
// the locale default (2); the tristates take kUseDefault / kTrue / kFalse, defaults for
// en-US being leading digit yes, parentheses no, grouping yes. Rounds half away from zero
// at the requested digits (on the 15 digits CStr would show). A tristate other than
// kUseDefault and kFalse counts as true. Error 5 for digits outside -1..255 or a value that
// is not finite.
int FormatNumber(double value, int32_t digits, int includeLeadingDigit, int useParens,
                 int groupDigits, std::u16string& out);

// FormatCurrency: as FormatNumber with the "$" sign ("$1,234.57"); negatives are
// "($1,234.57)" by default in en-US, "-$1,234.57" when useParens is kFalse.
int FormatCurrency(double value, int32_t digits, int includeLeadingDigit, int useParens,
                   int groupDigits, std::u16string& out);

// FormatPercent: the value times 100 formatted as FormatNumber, then "%".
int FormatPercent(double value, int32_t digits, int includeLeadingDigit, int useParens,
                  int groupDigits, std::u16string& out);

} // namespace cva::vbs::rt
