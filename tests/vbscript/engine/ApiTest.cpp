// The object API that native objects build on: arrays, the CreateObject registry and
// the error texts.
#include "vbscript/ObjectRegistry.h"
#include "vbscript/SafeArray.h"
#include "vbscript/Status.h"

#include <gtest/gtest.h>

namespace {

using namespace cva::vbs;

class CEmpty final : public IObject {
public:
    DispId GetMemberId(std::u16string_view) override { return kDispIdUnknown; }
    Status Invoke(DispId, uint32_t, std::span<Variant>, Variant&) override { return Status(kErrNoSuchMember); }
    std::u16string TypeName() const override { return u"Empty"; }
};

TEST(ObjectRegistry, ProgramIdentifiersIgnoreCaseAndUnknownOnesAre429)
{
    CObjectRegistry registry;
    int created = 0;
    registry.Register(u"Test.Thing", [&](IScriptServices&, ObjectRef& out) {
        ++created;
        out = MakeObject<CEmpty>();
        return Status::Ok();
    });
    ObjectRef obj;
    EXPECT_TRUE(registry.Create(u"TEST.THING", NullServices(), obj).IsOk());
    EXPECT_TRUE(obj);
    EXPECT_EQ(created, 1);
    Status st = registry.Create(u"Test.Other", NullServices(), obj);
    EXPECT_EQ(st.Number(), kErrCantCreateObject);
    EXPECT_EQ(st.Description(), u"ActiveX component can't create object");
    EXPECT_FALSE(obj);
}

TEST(ObjectRegistry, AFactoryThatMakesNothingFailsWith429)
{
    CObjectRegistry registry;
    registry.Register(u"Broken", [](IScriptServices&, ObjectRef&) { return Status::Ok(); });
    ObjectRef obj;
    EXPECT_EQ(registry.Create(u"broken", NullServices(), obj).Number(), kErrCantCreateObject);
}

TEST(SafeArrays, BoundsAndElementAccess)
{
    ArrayBound b[2] = {{0, 2}, {1, 3}};
    auto a = SafeArray::Create(b);
    EXPECT_EQ(a->Dims(), 2u);
    EXPECT_EQ(a->Count(), 9u);
    EXPECT_EQ(a->LBound(2), 1);
    int32_t ok[2] = {2, 3};
    int32_t bad[2] = {3, 1};
    int32_t low[2] = {0, 0};
    ASSERT_NE(a->At(ok), nullptr);
    EXPECT_EQ(a->At(bad), nullptr);
    EXPECT_EQ(a->At(low), nullptr);
    int32_t one[1] = {0};
    EXPECT_EQ(a->At(one), nullptr);
}

TEST(SafeArrays, PreserveKeepsElementsAndOnlyTheLastDimensionMayChange)
{
    ArrayBound b[2] = {{0, 1}, {0, 1}};
    auto a = SafeArray::Create(b);
    int32_t at[2] = {1, 1};
    *a->At(at) = Variant(int32_t{42});
    ArrayBound grow[2] = {{0, 1}, {0, 4}};
    ASSERT_TRUE(a->Redim(grow, true).IsOk());
    EXPECT_EQ(a->At(at)->AsLong(), 42);
    ArrayBound wider[2] = {{0, 2}, {0, 4}};
    EXPECT_EQ(a->Redim(wider, true).Number(), kErrSubscript);
    ArrayBound fewer[1] = {{0, 4}};
    EXPECT_EQ(a->Redim(fewer, true).Number(), kErrSubscript);
    // Without Preserve anything goes, and the elements start out Empty.
    ASSERT_TRUE(a->Redim(fewer, false).IsOk());
    int32_t first[1] = {0};
    EXPECT_TRUE(a->At(first)->IsEmpty());
}

TEST(SafeArrays, FixedAndLockedArraysRefuseReDim)
{
    ArrayBound b[1] = {{0, 3}};
    auto a = SafeArray::Create(b);
    a->SetFixed(true);
    EXPECT_EQ(a->Redim(b, false).Number(), kErrArrayLocked);
    a->SetFixed(false);
    a->Lock();
    EXPECT_EQ(a->Redim(b, true).Number(), kErrArrayLocked);
    a->Unlock();
    EXPECT_TRUE(a->Redim(b, true).IsOk());
    ArrayBound huge[2] = {{0, 100000}, {0, 100000}};
    EXPECT_EQ(a->Redim(huge, false).Number(), kErrOutOfMemory);
}

TEST(SafeArrays, StringArraysStartWithEmptyStrings)
{
    ArrayBound b[1] = {{0, 1}};
    auto a = SafeArray::Create(b, VarType::String);
    EXPECT_TRUE(a->Item(0).IsString());
    EXPECT_EQ(Variant(a).VarTypeNumber(), 0x2008);
}

TEST(StatusTexts, StandardDescriptionsAndCodes)
{
    EXPECT_EQ(Status(kErrVariableUndefined).Description(), u"Variable is undefined");
    EXPECT_EQ(Status(kErrExpectedEndOfStatement).Description(), u"Expected end of statement");
    EXPECT_EQ(Status(kErrKeyExists).StatusCode(), 0x800A01C9u);
    EXPECT_EQ(Status(31999).Description(), u"Unknown runtime error");
    EXPECT_EQ(Status(5, u"mine").Description(), u"mine");
}

} // namespace
