#include "vbscript/runtime/Strings.h"

namespace cva::vbs::rt {

int InStr(int32_t, std::u16string_view, std::u16string_view, CompareMode, int32_t& out) { out = 0; return 0; }
int InStrRev(std::u16string_view, std::u16string_view, int32_t, CompareMode, int32_t& out) { out = 0; return 0; }
int Replace(std::u16string_view text, std::u16string_view, std::u16string_view, int32_t, int32_t,
            CompareMode, std::u16string& out) { out = text; return 0; }
int Split(std::u16string_view, std::u16string_view, int32_t, CompareMode,
          std::vector<std::u16string>& out) { out.clear(); return 0; }
std::u16string Join(std::span<const std::u16string>, std::u16string_view) { return {}; }
std::vector<std::u16string> Filter(std::span<const std::u16string>, std::u16string_view, bool,
                                   CompareMode) { return {}; }
int StrComp(std::u16string_view, std::u16string_view, CompareMode) { return 0; }
std::u16string StrReverse(std::u16string_view text) { return std::u16string(text); }
std::u16string LCase(std::u16string_view text) { return std::u16string(text); }
std::u16string UCase(std::u16string_view text) { return std::u16string(text); }
std::u16string LTrim(std::u16string_view text) { return std::u16string(text); }
std::u16string RTrim(std::u16string_view text) { return std::u16string(text); }
std::u16string Trim(std::u16string_view text) { return std::u16string(text); }
int Space(int32_t, std::u16string& out) { out.clear(); return 0; }
int StringOf(int32_t, char16_t, std::u16string& out) { out.clear(); return 0; }
int Left(std::u16string_view, int32_t, std::u16string& out) { out.clear(); return 0; }
int Right(std::u16string_view, int32_t, std::u16string& out) { out.clear(); return 0; }
int Mid(std::u16string_view, int32_t, int32_t, std::u16string& out) { out.clear(); return 0; }
int Asc(std::u16string_view, int32_t& out) { out = 0; return 5; }
int AscW(std::u16string_view, int32_t& out) { out = 0; return 5; }
int Chr(int32_t, std::u16string& out) { out.clear(); return 5; }
int ChrW(int32_t, std::u16string& out) { out.clear(); return 5; }
std::u16string Escape(std::u16string_view text) { return std::u16string(text); }
std::u16string Unescape(std::u16string_view text) { return std::u16string(text); }

} // namespace cva::vbs::rt
