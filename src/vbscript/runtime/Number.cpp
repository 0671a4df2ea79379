#include "vbscript/runtime/Number.h"

namespace cva::vbs::rt {

std::u16string DoubleToString(double) { return {}; }
std::u16string SingleToString(float) { return {}; }
std::u16string CurrencyToString(int64_t) { return {}; }
std::optional<double> ParseNumber(std::u16string_view) { return std::nullopt; }
bool IsNumericString(std::u16string_view) { return false; }
int ParseCurrency(std::u16string_view, int64_t& out) { out = 0; return 13; }
int DoubleToCurrency(double, int64_t& out) { out = 0; return 6; }
double CurrencyToDouble(int64_t scaled) { return static_cast<double>(scaled) / 10000.0; }
double RoundHalfEven(double value) { return value; }
int Round(double value, int32_t, double& out) { out = value; return 0; }
int ToLong(double, int32_t& out) { out = 0; return 6; }
int ToInteger(double, int16_t& out) { out = 0; return 6; }
int ToByte(double, uint8_t& out) { out = 0; return 6; }
double Int(double value) { return value; }
double Fix(double value) { return value; }
std::u16string Hex(int32_t, int) { return {}; }
std::u16string Oct(int32_t, int) { return {}; }
int FormatNumber(double, int32_t, int, int, int, std::u16string& out) { out.clear(); return 5; }
int FormatCurrency(double, int32_t, int, int, int, std::u16string& out) { out.clear(); return 5; }
int FormatPercent(double, int32_t, int, int, int, std::u16string& out) { out.clear(); return 5; }

} // namespace cva::vbs::rt
