#pragma once

#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <string>

namespace cva::vbs {

enum class CompareMode : int32_t { Binary = 0, Text = 1 };
enum class CompareResult : int32_t { Less = -1, Equal = 0, Greater = 1, Null = 2 };

// The conversions of CStr, CLng, CInt, CDbl, CBool, CDate, CCur, CByte, CSng, with
// VBScript's rules: objects are read through their default member, Empty is 0 / "" /
// False, strings are parsed as numbers or dates, rounding is banker's, out-of-range
// numbers give 6 Overflow, a Null gives 94 Invalid use of Null, anything else that does
// not convert gives 13 Type mismatch.
Status ToString(const Variant& v, VString& out);
Status ToLong(const Variant& v, int32_t& out);
Status ToInteger(const Variant& v, int16_t& out);
Status ToByte(const Variant& v, uint8_t& out);
Status ToDouble(const Variant& v, double& out);
Status ToSingle(const Variant& v, float& out);
Status ToCurrency(const Variant& v, int64_t& out);
Status ToBool(const Variant& v, bool& out);
Status ToDate(const Variant& v, double& out);
// The conversion COM makes for a method's String parameter: as CStr, except that a
// Boolean becomes "-1" or "0" and Null does not convert (13).
Status ToParamString(const Variant& v, VString& out);

// An object's default value (kDispIdValue read), or the value itself otherwise.
// 91 for Nothing, 438 when the object has no default member.
Status GetValue(const Variant& v, Variant& out);

// The comparison the `=`, `<`, ... operators make (numbers by value, strings by
// ordinal or text order, numbers below strings, Empty as 0 or ""); Null when either
// side is Null. 13 when a side is an array, 424/438 for objects without a value.
Status Compare(const Variant& a, const Variant& b, CompareMode mode, CompareResult& out);

// TypeName's answer ("Integer", "String", "Nothing", "Variant()", the object's name).
std::u16string TypeName(const Variant& v);

// IsNumeric: numbers, and strings that parse as numbers.
bool IsNumeric(const Variant& v);

} // namespace cva::vbs
