#include "vbscript/runtime/Number.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cva::vbs::rt;

namespace {

std::string Num(double v, int32_t digits = -1, int lead = kUseDefault, int parens = kUseDefault,
                int group = kUseDefault) {
    std::u16string s;
    return FormatNumber(v, digits, lead, parens, group, s) == 0 ? U8(s) : "<error>";
}

double Parse(const char* text) {
    const auto v = ParseNumber(U16(text));
    return v ? *v : std::nan("");
}

} // namespace

TEST(DoubleToString, FifteenSignificantDigits) {
    EXPECT_EQ(U8(DoubleToString(0.1 + 0.2)), "0.3");
    EXPECT_EQ(U8(DoubleToString(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(U8(DoubleToString(123456789012345.0)), "123456789012345");
    EXPECT_EQ(U8(DoubleToString(1234567890123456.0)), "1.23456789012346E+15");
    EXPECT_EQ(U8(DoubleToString(-2.5)), "-2.5");
}

TEST(DoubleToString, ScientificThresholds) {
    EXPECT_EQ(U8(DoubleToString(1e14)), "100000000000000");
    EXPECT_EQ(U8(DoubleToString(1e15)), "1E+15");
    EXPECT_EQ(U8(DoubleToString(1e16)), "1E+16");
    EXPECT_EQ(U8(DoubleToString(0.0001)), "0.0001");
    EXPECT_EQ(U8(DoubleToString(0.00001)), "1E-05");
    EXPECT_EQ(U8(DoubleToString(1.5e-7)), "1.5E-07");
    EXPECT_EQ(U8(DoubleToString(-1.5e300)), "-1.5E+300");
    EXPECT_EQ(U8(DoubleToString(-0.0)), "0");
}

TEST(SingleAndCurrencyToString, Precision) {
    EXPECT_EQ(U8(SingleToString(0.1f)), "0.1");
    EXPECT_EQ(U8(SingleToString(1234567.0f)), "1234567");
    EXPECT_EQ(U8(SingleToString(12345678.0f)), "1.234568E+07");
    EXPECT_EQ(U8(CurrencyToString(12345000)), "1234.5");
    EXPECT_EQ(U8(CurrencyToString(-1)), "-0.0001");
    EXPECT_EQ(U8(CurrencyToString(INT64_MIN)), "-922337203685477.5808");
    EXPECT_EQ(U8(CurrencyToString(0)), "0");
}

TEST(ParseNumber, AcceptedForms) {
    EXPECT_EQ(Parse(" 1,234.5 "), 1234.5);
    EXPECT_EQ(Parse("\t5\n"), 5);
    EXPECT_EQ(Parse("$12"), 12);
    EXPECT_EQ(Parse("-$5"), -5);
    EXPECT_EQ(Parse("$-5"), -5);
    EXPECT_EQ(Parse("5$"), 5);
    EXPECT_EQ(Parse("(5)"), -5);
    EXPECT_EQ(Parse("(-5)"), -5);
    EXPECT_EQ(Parse("5-"), -5);
    EXPECT_EQ(Parse("- 5"), -5);
    EXPECT_EQ(Parse("1."), 1);
    EXPECT_EQ(Parse(".5"), 0.5);
    EXPECT_EQ(Parse("1e+3"), 1000);
    EXPECT_EQ(Parse("2.5E-1"), 0.25);
    EXPECT_EQ(Parse("1,,2"), 12);
    EXPECT_EQ(Parse("&h1F"), 31);
    EXPECT_EQ(Parse("&O17"), 15);
    EXPECT_EQ(Parse("&HFFFF"), 65535);
    EXPECT_EQ(Parse("&HFFFFFFFF"), -1);
}

TEST(ParseNumber, RejectedForms) {
    for (const char* text : {"", " ", ".", "1e", "1d3", ",12", "(5", "1 2", "0x10", "&H", "&17",
                             "&HFFFFFFFFF", "abc", "--5", "5..1", "+"})
        EXPECT_FALSE(IsNumericString(U16(text))) << text;
}

TEST(ParseCurrency, ExactDecimal) {
    int64_t c = 0;
    ASSERT_EQ(ParseCurrency(u"0.1", c), 0);
    EXPECT_EQ(c, 1000);
    ASSERT_EQ(ParseCurrency(u"922337203685477.5807", c), 0);
    EXPECT_EQ(c, INT64_MAX);
    ASSERT_EQ(ParseCurrency(u"-922337203685477.5808", c), 0);
    EXPECT_EQ(c, INT64_MIN);
    EXPECT_EQ(ParseCurrency(u"922337203685477.5808", c), 6);
    ASSERT_EQ(ParseCurrency(u"1.00005", c), 0);
    EXPECT_EQ(c, 10000); // half to even
    ASSERT_EQ(ParseCurrency(u"1.5e2", c), 0);
    EXPECT_EQ(c, 1500000);
    EXPECT_EQ(ParseCurrency(u"x", c), 13);
    ASSERT_EQ(DoubleToCurrency(2.00015, c), 0);
    EXPECT_EQ(c, 20002);
    EXPECT_EQ(DoubleToCurrency(1e16, c), 6);
}

TEST(Rounding, BankersRounding) {
    double r = 0;
    ASSERT_EQ(Round(2.5, 0, r), 0);
    EXPECT_EQ(r, 2);
    ASSERT_EQ(Round(3.5, 0, r), 0);
    EXPECT_EQ(r, 4);
    ASSERT_EQ(Round(-2.5, 0, r), 0);
    EXPECT_EQ(r, -2);
    ASSERT_EQ(Round(0.125, 2, r), 0);
    EXPECT_EQ(r, 0.12);
    ASSERT_EQ(Round(2.675, 2, r), 0); // decided on the digits shown, not the binary value
    EXPECT_EQ(r, 2.68);
    ASSERT_EQ(Round(1234.5678, 2, r), 0);
    EXPECT_EQ(r, 1234.57);
    EXPECT_EQ(Round(1.5, -1, r), 5);
    ASSERT_EQ(Round(1152921504606846976.0, 0, r), 0); // 2^60 stays exact
    EXPECT_EQ(r, 1152921504606846976.0);
    ASSERT_EQ(Round(0.1 + 0.2, 20, r), 0);
    EXPECT_EQ(r, 0.1 + 0.2);
    int32_t l = 0;
    int16_t i = 0;
    uint8_t b = 0;
    ASSERT_EQ(ToLong(-2.5, l), 0);
    EXPECT_EQ(l, -2);
    ASSERT_EQ(ToInteger(3.5, i), 0);
    EXPECT_EQ(i, 4);
    EXPECT_EQ(ToInteger(32767.5, i), 6);
    EXPECT_EQ(ToByte(255.5, b), 6);
    EXPECT_EQ(ToByte(-0.5, b), 0); // rounds to 0
    EXPECT_EQ(ToLong(2147483647.5, l), 6);
    EXPECT_EQ(ToLong(std::nan(""), l), 6);
    EXPECT_EQ(Int(-1.5), -2);
    EXPECT_EQ(Fix(-1.5), -1);
}

TEST(HexOct, TwosComplementByWidth) {
    EXPECT_EQ(U8(Hex(-1)), "FFFFFFFF");
    EXPECT_EQ(U8(Hex(-1, 16)), "FFFF");
    EXPECT_EQ(U8(Hex(255, 8)), "FF");
    EXPECT_EQ(U8(Hex(INT32_MIN)), "80000000");
    EXPECT_EQ(U8(Hex(0)), "0");
    EXPECT_EQ(U8(Oct(-1)), "37777777777");
    EXPECT_EQ(U8(Oct(-1, 16)), "177777");
    EXPECT_EQ(U8(Oct(8)), "10");
}

TEST(FormatNumber, DefaultsAndTristates) {
    EXPECT_EQ(Num(1234567.891), "1,234,567.89");
    EXPECT_EQ(Num(-1234.567, 2, kUseDefault, kTrue), "(1,234.57)");
    EXPECT_EQ(Num(-1234.567, 2), "-1,234.57");
    EXPECT_EQ(Num(1234.5, 2, kUseDefault, kUseDefault, kFalse), "1234.50");
    EXPECT_EQ(Num(0.5, 2, kFalse), ".50");
    EXPECT_EQ(Num(-0.25, 1, kFalse), "-.3");
    EXPECT_EQ(Num(0.5, 0), "1"); // half away from zero, unlike Round
    EXPECT_EQ(Num(2.5, 0), "3");
    EXPECT_EQ(Num(2.675, 2), "2.68");
    EXPECT_EQ(Num(-0.001, 2), "-0.00");
    EXPECT_EQ(Num(999.996, 2), "1,000.00");
    EXPECT_EQ(Num(1e20, 0), "100,000,000,000,000,000,000");
    EXPECT_EQ(Num(0.000123, 5), "0.00012");
    EXPECT_EQ(Num(1, 300), "<error>");
}

TEST(FormatNumber, CurrencyAndPercent) {
    std::u16string s;
    ASSERT_EQ(FormatCurrency(1234.5, -1, kUseDefault, kUseDefault, kUseDefault, s), 0);
    EXPECT_EQ(U8(s), "$1,234.50");
    ASSERT_EQ(FormatCurrency(-5, -1, kUseDefault, kUseDefault, kUseDefault, s), 0);
    EXPECT_EQ(U8(s), "($5.00)");
    ASSERT_EQ(FormatCurrency(-5, -1, kUseDefault, kFalse, kUseDefault, s), 0);
    EXPECT_EQ(U8(s), "-$5.00");
    ASSERT_EQ(FormatPercent(0.256, -1, kUseDefault, kUseDefault, kUseDefault, s), 0);
    EXPECT_EQ(U8(s), "25.60%");
    ASSERT_EQ(FormatPercent(-0.256, 1, kUseDefault, kTrue, kUseDefault, s), 0);
    EXPECT_EQ(U8(s), "(25.6)%");
    ASSERT_EQ(FormatPercent(-123.45678, -1, kUseDefault, kUseDefault, kTrue, s), 0);
    EXPECT_EQ(U8(s), "-12,345.68%");
}
