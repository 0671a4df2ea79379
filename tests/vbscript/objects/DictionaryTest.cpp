#include "ObjectHarness.h"

#include "vbscript/objects/Dictionary.h"
#include "vbscript/objects/ObjectSupport.h"

#include <gtest/gtest.h>

namespace cva::vbs::test {
namespace {

class DictionaryTest : public ::testing::Test {
protected:
    ObjectRef d = Create(u"Scripting.Dictionary", NullServices());
};

TEST_F(DictionaryTest, DuplicateAddRaises457AndKeepsFirstItem)
{
    ASSERT_TRUE(Call(d, u"Add", {S(u"a"), L(1)}).Ok());
    CallResult r = Call(d, u"add", {S(u"a"), L(2)});
    EXPECT_EQ(r.Error(), 457);
    EXPECT_EQ(r.status.Description(),
              u"This key is already associated with an element of this collection");
    EXPECT_EQ(Long(Get(d, u"Item", {S(u"a")}).value), 1);
    EXPECT_EQ(Long(Get(d, u"Count").value), 1);
}

TEST_F(DictionaryTest, ReadingMissingKeyAddsEmptyItem)
{
    CallResult r = Get(d, u"Item", {S(u"zz")});
    ASSERT_TRUE(r.Ok());
    EXPECT_TRUE(r.value.IsEmpty());
    EXPECT_EQ(Long(Get(d, u"Count").value), 1);
    EXPECT_TRUE(Bool(Get(d, u"Exists", {S(u"zz")}).value));
}

TEST_F(DictionaryTest, NumbersAndStringsAreDistinctKeysButNumericTypesAreNot)
{
    ASSERT_TRUE(Call(d, u"Add", {L(1), S(u"number")}).Ok());
    ASSERT_TRUE(Call(d, u"Add", {S(u"1"), S(u"string")}).Ok());
    EXPECT_EQ(Str(Get(d, u"Item", {Variant(1.0)}).value), u"number");
    EXPECT_EQ(Str(Get(d, u"Item", {Variant::FromByte(1)}).value), u"number");
    EXPECT_EQ(Str(Get(d, u"Item", {S(u"1")}).value), u"string");
    EXPECT_EQ(Call(d, u"Add", {Variant::FromInteger(1), L(0)}).Error(), 457);
}

TEST_F(DictionaryTest, ObjectKeysCompareByIdentity)
{
    ObjectRef other = Create(u"Scripting.Dictionary", NullServices());
    ASSERT_TRUE(Call(d, u"Add", {Variant(other), L(5)}).Ok());
    EXPECT_TRUE(Bool(Get(d, u"Exists", {Variant(other)}).value));
    ObjectRef third = Create(u"Scripting.Dictionary", NullServices());
    EXPECT_FALSE(Bool(Get(d, u"Exists", {Variant(third)}).value));
}

TEST_F(DictionaryTest, TextCompareModeFoldsCaseAndCannotChangeOnceFilled)
{
    ASSERT_TRUE(Let(d, u"CompareMode", {}, L(1)).Ok());
    ASSERT_TRUE(Call(d, u"Add", {S(u"Key"), L(1)}).Ok());
    EXPECT_TRUE(Bool(Get(d, u"Exists", {S(u"KEY")}).value));
    EXPECT_EQ(Call(d, u"Add", {S(u"kEY"), L(2)}).Error(), 457);
    ASSERT_TRUE(Let(d, u"Key", {S(u"KEY")}, S(u"kEy")).Ok());
    EXPECT_EQ(Str(ArrayItems(Get(d, u"Keys").value)[0]), u"kEy");
    EXPECT_EQ(Let(d, u"CompareMode", {}, L(0)).Error(), 5);
    EXPECT_EQ(Long(Get(d, u"CompareMode").value), 1);
}

TEST_F(DictionaryTest, BinaryModeKeepsCaseDistinct)
{
    ASSERT_TRUE(Call(d, u"Add", {S(u"Key"), L(1)}).Ok());
    EXPECT_TRUE(Call(d, u"Add", {S(u"KEY"), L(2)}).Ok());
}

TEST_F(DictionaryTest, KeysAndItemsKeepInsertionOrderAcrossRemovals)
{
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(Call(d, u"Add", {L(i), L(i * 10)}).Ok());
    for (int i = 0; i < 50; i += 2)
        ASSERT_TRUE(Call(d, u"Remove", {L(i)}).Ok());
    ASSERT_TRUE(Call(d, u"Add", {S(u"last"), L(-1)}).Ok());
    std::vector<Variant> keys = ArrayItems(Get(d, u"Keys").value);
    std::vector<Variant> items = ArrayItems(Get(d, u"Items").value);
    ASSERT_EQ(keys.size(), 26u);
    ASSERT_EQ(items.size(), 26u);
    EXPECT_EQ(Long(keys[0]), 1);
    EXPECT_EQ(Long(items[0]), 10);
    EXPECT_EQ(Long(keys[24]), 49);
    EXPECT_EQ(Str(keys[25]), u"last");
    std::vector<Variant> each = Enumerate(d);
    ASSERT_EQ(each.size(), 26u);
    EXPECT_EQ(Long(each[1]), 3);
}

TEST_F(DictionaryTest, RemoveOfMissingKeyRaises32811)
{
    CallResult r = Call(d, u"Remove", {S(u"nothing")});
    EXPECT_EQ(r.Error(), 32811);
    EXPECT_EQ(r.status.Description(), u"Element not found");
}

TEST_F(DictionaryTest, KeyRenameKeepsPositionAndRefusesClashes)
{
    ASSERT_TRUE(Call(d, u"Add", {S(u"a"), L(1)}).Ok());
    ASSERT_TRUE(Call(d, u"Add", {S(u"b"), L(2)}).Ok());
    ASSERT_TRUE(Let(d, u"Key", {S(u"a")}, S(u"c")).Ok());
    EXPECT_FALSE(Bool(Get(d, u"Exists", {S(u"a")}).value));
    EXPECT_EQ(Long(Get(d, u"Item", {S(u"c")}).value), 1);
    EXPECT_EQ(Str(ArrayItems(Get(d, u"Keys").value)[0]), u"c");
    EXPECT_EQ(Let(d, u"Key", {S(u"c")}, S(u"b")).Error(), 457);
    EXPECT_EQ(Let(d, u"Key", {S(u"missing")}, S(u"x")).Error(), 32811);
}

TEST_F(DictionaryTest, ItemAssignmentAddsOrReplaces)
{
    ASSERT_TRUE(Let(d, u"Item", {S(u"k")}, L(1)).Ok());
    ASSERT_TRUE(Let(d, u"Item", {S(u"k")}, L(2)).Ok());
    EXPECT_EQ(Long(Get(d, u"Count").value), 1);
    EXPECT_EQ(Long(Get(d, u"Item", {S(u"k")}).value), 2);
    ObjectRef inner = Create(u"Scripting.Dictionary", NullServices());
    ASSERT_TRUE(SetRef(d, u"Item", {S(u"o")}, Variant(inner)).Ok());
    EXPECT_EQ(Obj(Get(d, u"Item", {S(u"o")}).value).Get(), inner.Get());
}

TEST_F(DictionaryTest, ArraysAreNotKeys)
{
    EXPECT_EQ(Call(d, u"Add", {obj::MakeArray({L(1)}), L(1)}).Error(), 13);
}

TEST_F(DictionaryTest, HashValMatchesTheClassicNumbers)
{
    EXPECT_EQ(Long(Get(d, u"HashVal", {S(u"abc")}).value), 974);
    EXPECT_EQ(Long(Get(d, u"HashVal", {S(u"ABC")}).value), 758);
    EXPECT_EQ(Long(Get(d, u"HashVal", {L(1)}).value), 161);
    EXPECT_EQ(Long(Get(d, u"HashVal", {Variant(1.5)}).value), 573);
    ASSERT_TRUE(Let(d, u"CompareMode", {}, L(1)).Ok());
    EXPECT_EQ(Long(Get(d, u"HashVal", {S(u"ABC")}).value), 974);
}

TEST_F(DictionaryTest, ReadOnlyCountRefusesAssignment)
{
    EXPECT_EQ(Let(d, u"Count", {}, L(3)).Error(), 450);
}

// An item that, like a script class with Class_Terminate, uses the dictionary again
// while it is being released.
class CReentrantItem : public IObject {
public:
    explicit CReentrantItem(CDictionary* owner) : m_owner(owner) {}
    DispId GetMemberId(std::u16string_view) override { return kDispIdUnknown; }
    Status Invoke(DispId, uint32_t, std::span<Variant>, Variant&) override { return Status(438); }
    std::u16string TypeName() const override { return u"Reentrant"; }

protected:
    void FinalRelease() override
    {
        int32_t n = static_cast<int32_t>(m_owner->Count());
        (void)m_owner->Add(Variant(std::u16string_view(u"t" + std::u16string(1, u'a' + n % 26))), Variant(n));
        for (int32_t i = 0; i < 40; ++i) // force growth while the caller is mid-operation
            (void)m_owner->Add(Variant(1000 + n * 100 + i), Variant());
        delete this;
    }

private:
    CDictionary* m_owner;
};

TEST(DictionaryReentrancy, ReleasingItemsMayChangeTheDictionary)
{
    auto d = MakeObject<CDictionary>();
    for (int32_t i = 0; i < 8; ++i)
        ASSERT_TRUE(d->Add(Variant(i), Variant(ObjectRef(MakeObject<CReentrantItem>(d.Get())))).IsOk());
    for (int32_t i = 0; i < 4; ++i)
        ASSERT_TRUE(d->Remove(Variant(i)).IsOk());
    EXPECT_EQ(d->Count(), 4u + 4u * 41u);
    for (int32_t i = 4; i < 8; ++i) {
        std::vector<Variant> args{Variant(i), Variant(0)};
        Variant unused;
        ASSERT_TRUE(d->Invoke(kDispIdValue, kPropertyLet, args, unused).IsOk());
    }
    EXPECT_EQ(d->Count(), 4u + 8u * 41u);
    for (const Variant& key : d->Keys())
        EXPECT_TRUE(d->Find(key) != nullptr);
}

TEST(DictionaryScale, ManyKeysSurviveGrowthAndRemoval)
{
    auto d = MakeObject<CDictionary>();
    for (int32_t i = 0; i < 20000; ++i)
        ASSERT_TRUE(d->Add(Variant(i), Variant(i)).IsOk());
    for (int32_t i = 0; i < 20000; i += 3)
        ASSERT_TRUE(d->Remove(Variant(i)).IsOk());
    for (int32_t i = 0; i < 20000; ++i)
        ASSERT_EQ(d->Find(Variant(i)) != nullptr, i % 3 != 0) << i;
    EXPECT_EQ(d->Count(), 13333u);
}

} // namespace
} // namespace cva::vbs::test
