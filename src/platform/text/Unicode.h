#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions between the program's 8-bit text (UTF-8, the "ANSI code page" here) and
// the UTF-16 that Windows data and scripts use, plus the case rules Windows applies.
namespace cva::text {

// UTF-8 to UTF-16. Byte sequences that are not valid UTF-8 are read as Windows-1252,
// byte by byte, because plugin and INI files written on Windows arrive in that code page.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 byte to its Unicode code point (undefined bytes map to themselves).
char16_t Cp1252ToUnicode(unsigned char byte);

// Simple (one code unit to one code unit) case mapping of the Basic Multilingual Plane,
// as Windows' RtlUpcaseUnicodeChar and VBScript's UCase/LCase do.
char16_t ToUpper(char16_t c);
char16_t ToLower(char16_t c);
std::u16string ToUpper(std::u16string_view s);
std::u16string ToLower(std::u16string_view s);
// UTF-8 in and out, through UTF-16.
std::string ToUpperUtf8(std::string_view s);

// Ordinal comparison of the upper-cased code units: the order of registry subkeys and
// of case-insensitive names. Negative, zero or positive like strcmp.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
int CompareNoCaseUtf8(std::string_view a, std::string_view b);
bool EqualsNoCaseUtf8(std::string_view a, std::string_view b);

} // namespace cva::text
