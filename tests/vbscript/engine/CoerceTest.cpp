// The coercion table of the Variant: what CStr, CLng, CDbl, CBool and comparison make
// of each kind of value, and the errors for values that do not convert.
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"

#include <gtest/gtest.h>

namespace {

using namespace cva::vbs;

std::u16string Str(const Variant& v)
{
    VString s;
    EXPECT_TRUE(ToString(v, s).IsOk());
    return s.Str();
}

int32_t LongError(const Variant& v)
{
    int32_t n = 0;
    return ToLong(v, n).Number();
}

TEST(Coerce, ToStringOfEachKind)
{
    EXPECT_EQ(Str(Variant()), u"");
    EXPECT_EQ(Str(Variant(true)), u"True");
    EXPECT_EQ(Str(Variant::FromInteger(-5)), u"-5");
    EXPECT_EQ(Str(Variant(2.5)), u"2.5");
    EXPECT_EQ(Str(Variant(1e15)), u"1E+15");
    EXPECT_EQ(Str(Variant::FromSingle(1.1f)), u"1.1");
    EXPECT_EQ(Str(Variant::FromCurrency(12345)), u"1.2345");
    EXPECT_EQ(Str(Variant::FromDate(36526.5)), u"1/1/2000 12:00:00 PM");
    VString s;
    EXPECT_EQ(ToString(Variant::Null(), s).Number(), kErrInvalidUseOfNull);
    EXPECT_EQ(ToString(Variant::Nothing(), s).Number(), kErrObjectNotSet);
    auto arr = SafeArray::CreateVector({Variant(int32_t{1})});
    EXPECT_EQ(ToString(Variant(arr), s).Number(), kErrTypeMismatch);
}

TEST(Coerce, ToLongRoundsToEvenAndChecksRange)
{
    int32_t n = 0;
    ASSERT_TRUE(ToLong(Variant(2.5), n).IsOk());
    EXPECT_EQ(n, 2);
    ASSERT_TRUE(ToLong(Variant(3.5), n).IsOk());
    EXPECT_EQ(n, 4);
    ASSERT_TRUE(ToLong(Variant(u" 42 "), n).IsOk());
    EXPECT_EQ(n, 42);
    ASSERT_TRUE(ToLong(Variant(true), n).IsOk());
    EXPECT_EQ(n, -1);
    EXPECT_EQ(LongError(Variant(3e9)), kErrOverflow);
    EXPECT_EQ(LongError(Variant(u"abc")), kErrTypeMismatch);
    EXPECT_EQ(LongError(Variant::Null()), kErrInvalidUseOfNull);
    int16_t i = 0;
    EXPECT_EQ(ToInteger(Variant(int32_t{40000}), i).Number(), kErrOverflow);
    uint8_t b = 0;
    EXPECT_EQ(ToByte(Variant(int32_t{-1}), b).Number(), kErrOverflow);
}

TEST(Coerce, ToBoolAcceptsNumbersAndBooleanWords)
{
    bool b = false;
    ASSERT_TRUE(ToBool(Variant(u"TRUE"), b).IsOk());
    EXPECT_TRUE(b);
    ASSERT_TRUE(ToBool(Variant(u"0"), b).IsOk());
    EXPECT_FALSE(b);
    ASSERT_TRUE(ToBool(Variant(0.001), b).IsOk());
    EXPECT_TRUE(b);
    EXPECT_EQ(ToBool(Variant(u"yes"), b).Number(), kErrTypeMismatch);
}

TEST(Coerce, ToDoubleReadsHexAndDates)
{
    double d = 0;
    ASSERT_TRUE(ToDouble(Variant(u"&H10"), d).IsOk());
    EXPECT_EQ(d, 16.0);
    ASSERT_TRUE(ToDouble(Variant(u"1e3"), d).IsOk());
    EXPECT_EQ(d, 1000.0);
    ASSERT_TRUE(ToDouble(Variant::FromCurrency(15000), d).IsOk());
    EXPECT_EQ(d, 1.5);
    ASSERT_TRUE(ToDouble(Variant(), d).IsOk());
    EXPECT_EQ(d, 0.0);
}

CompareResult Cmp(const Variant& a, const Variant& b, CompareMode m = CompareMode::Binary)
{
    CompareResult r = CompareResult::Null;
    EXPECT_TRUE(Compare(a, b, m, r).IsOk());
    return r;
}

TEST(Coerce, CompareFollowsVariantRules)
{
    EXPECT_EQ(Cmp(Variant(int32_t{1}), Variant(1.0)), CompareResult::Equal);
    EXPECT_EQ(Cmp(Variant(u"a"), Variant(u"B")), CompareResult::Greater);
    EXPECT_EQ(Cmp(Variant(u"a"), Variant(u"B"), CompareMode::Text), CompareResult::Less);
    // A number is less than any string held in a variable.
    EXPECT_EQ(Cmp(Variant(int32_t{100}), Variant(u"1")), CompareResult::Less);
    EXPECT_EQ(Cmp(Variant(), Variant(u"")), CompareResult::Equal);
    EXPECT_EQ(Cmp(Variant(), Variant::FromInteger(0)), CompareResult::Equal);
    EXPECT_EQ(Cmp(Variant::Null(), Variant(int32_t{1})), CompareResult::Null);
}

TEST(Coerce, TypeNamesAndVarTypes)
{
    EXPECT_EQ(TypeName(Variant()), u"Empty");
    EXPECT_EQ(TypeName(Variant::Nothing()), u"Nothing");
    auto strings = SafeArray::CreateVector({Variant(u"a")}, VarType::String);
    EXPECT_EQ(TypeName(Variant(strings)), u"String()");
    EXPECT_EQ(Variant(strings).VarTypeNumber(), 8200);
    auto vars = SafeArray::CreateVector({});
    EXPECT_EQ(Variant(vars).VarTypeNumber(), 8204);
    EXPECT_TRUE(IsNumeric(Variant(u" 12.5 ")));
    EXPECT_FALSE(IsNumeric(Variant(u"12a")));
}

TEST(Variants, CopiesOfArraysAreIndependentValues)
{
    Variant a(SafeArray::CreateVector({Variant(int32_t{1}), Variant(int32_t{2})}));
    Variant b = a;
    b.MutableArray()->Item(0) = Variant(int32_t{9});
    EXPECT_EQ(a.AsArray()->Item(0).AsLong(), 1);
    EXPECT_EQ(b.AsArray()->Item(0).AsLong(), 9);
}

TEST(Variants, AppendWritesInPlaceOnlyWhenUnshared)
{
    VString s(u"ab");
    s.Append(u"cd");
    const char16_t* before = s.Data();
    s.Reserve(64);
    before = s.Data();
    s.Append(u"ef");
    EXPECT_EQ(s.Data(), before);
    VString shared = s;
    s.Append(u"gh");
    EXPECT_EQ(shared.View(), u"abcdef");
    EXPECT_EQ(s.View(), u"abcdefgh");
    VString big;
    EXPECT_TRUE(VString::Allocate(10, big));
    EXPECT_FALSE(VString::Allocate(VString::kMaxLength + 1, big));
}

} // namespace
