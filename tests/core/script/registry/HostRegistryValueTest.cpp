// Reading and writing values through the host's registry functions.
#include "HostRegistryFixture.h"

#include "platform/text/Unicode.h"
#include "vbscript/Variant.h"

namespace cva::test {
namespace {

using namespace cva::reg;

std::string Dword(uint32_t n) {
    return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)};
}

std::string Text(const std::string& s) {
    return s + std::string(1, '\0');
}

// --- Root names and path syntax -------------------------------------------------------

TEST_F(HostRegistryTest, RootNamesAreMatchedWithoutRegardToCase) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Name", REG_SZ, Text("user"));
    EXPECT_EQ("user", m_host->RegReadValueS("hkcu\\" + TestSubKey() + "\\Name"));
    EXPECT_EQ("user", m_host->RegReadValueS("HKEY_Current_User\\" + TestSubKey() + "\\Name"));
    PutValue(HKEY_LOCAL_MACHINE, TestSubKey(), "Name", REG_SZ, Text("machine"));
    EXPECT_EQ("machine", m_host->RegReadValueS("HkLm\\" + TestSubKey() + "\\Name"));
    EXPECT_EQ("machine", m_host->RegReadValueS("HKEY_LOCAL_MACHINE\\" + TestSubKey() + "\\Name"));
}

TEST_F(HostRegistryTest, HkauAndHkeyUsersNameTheSameRootButHkuIsUnknown) {
    std::string sid = text::Utf16ToUtf8(Registry().CurrentUserSid());
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Name", REG_SZ, Text("x"));
    EXPECT_EQ("x", m_host->RegReadValueS("HKAU\\" + sid + "\\" + TestSubKey() + "\\Name"));
    EXPECT_EQ("x", m_host->RegReadValueS("HKEY_USERS\\" + sid + "\\" + TestSubKey() + "\\Name"));
    EXPECT_EQ("", m_host->RegReadValueS("HKU\\" + sid + "\\" + TestSubKey() + "\\Name"));
    m_host->RegWriteValueS("HKU\\" + sid + "\\" + TestSubKey() + "\\Other", "y");
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "Other"));
}

TEST_F(HostRegistryTest, RootKeyFromNameCoversTheFiveRoots) {
    EXPECT_EQ(HKEY_CLASSES_ROOT, m_host->RootKeyFromName("HKCR"));
    EXPECT_EQ(HKEY_CLASSES_ROOT, m_host->RootKeyFromName("hkey_classes_root"));
    EXPECT_EQ(HKEY_CURRENT_CONFIG, m_host->RootKeyFromName("HKCC"));
    EXPECT_EQ(HKEY_CURRENT_CONFIG, m_host->RootKeyFromName("HKEY_CURRENT_CONFIG"));
    EXPECT_EQ(HKEY_USERS, m_host->RootKeyFromName("hkau"));
    EXPECT_EQ(HKEY_CURRENT_USER, m_host->RootKeyFromName("HKCU"));
    EXPECT_EQ(nullptr, m_host->RootKeyFromName("HKU"));
    EXPECT_EQ(nullptr, m_host->RootKeyFromName(""));
}

TEST_F(HostRegistryTest, APathWithoutBackslashIsRejectedEverywhere) {
    EXPECT_FALSE(m_host->RegKeyExists("HKCU"));
    EXPECT_EQ(-1, m_host->RegOpenKey("HKCU"));
    EXPECT_TRUE(m_host->RegReadValue("HKCU").IsEmpty());
    EXPECT_EQ(0, m_host->RegValueType("HKCU"));
}

TEST_F(HostRegistryTest, ATrailingBackslashNamesTheDefaultValue) {
    m_host->RegWriteValueS(TestKey() + "\\", "default");
    auto value = GetValue(HKEY_CURRENT_USER, TestSubKey(), "");
    ASSERT_TRUE(value);
    EXPECT_EQ(Text("default"), value->second);
    EXPECT_EQ("default", m_host->RegReadValueS(TestKey() + "\\"));
}

// --- One backslash in a value path ------------------------------------------------------

TEST_F(HostRegistryTest, ReadersTakeTheSingleNameAsKeyAndValue) {
    PutValue(HKEY_CURRENT_USER, "CvaSingle", "CvaSingle", REG_SZ, Text("both"));
    EXPECT_EQ("both", m_host->RegReadValueS("HKCU\\CvaSingle"));
    EXPECT_EQ(1, m_host->RegValueType("HKCU\\CvaSingle"));
    EXPECT_EQ(u"both", m_host->RegReadValue("HKCU\\CvaSingle").AsString().View());
    m_host->RegWriteValueB("HKCU\\CvaSingleB", "01");
    auto binary = GetValue(HKEY_CURRENT_USER, "CvaSingleB", "CvaSingleB");
    ASSERT_TRUE(binary);
    EXPECT_EQ(REG_BINARY, binary->first);
    m_host->RegWriteValue("HKCU\\CvaSingleE", vbs::Variant(u"%x%"), 4);
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, "CvaSingleE", "CvaSingleE"));
    m_host->RegDeleteKey("HKCU\\CvaSingle");
    m_host->RegDeleteKey("HKCU\\CvaSingleB");
    m_host->RegDeleteKey("HKCU\\CvaSingleE");
}

TEST_F(HostRegistryTest, StringAndNumberWritersRefuseASingleName) {
    PutValue(HKEY_CURRENT_USER, "CvaRefuse", "CvaRefuse", REG_SZ, Text("kept"));
    m_host->RegWriteValueS("HKCU\\CvaRefuse", "s");
    m_host->RegWriteValueD("HKCU\\CvaRefuse", 1);
    m_host->RegWriteValue("HKCU\\CvaRefuse", vbs::Variant(u"t"), 1);
    m_host->RegWriteValue("HKCU\\CvaRefuse", vbs::Variant(int32_t{2}), 2);
    EXPECT_FALSE(m_host->RegValueExists("HKCU\\CvaRefuse"));
    m_host->RegDeleteVal("HKCU\\CvaRefuse");
    auto value = GetValue(HKEY_CURRENT_USER, "CvaRefuse", "CvaRefuse");
    ASSERT_TRUE(value);
    EXPECT_EQ(Text("kept"), value->second);
    m_host->RegDeleteKey("HKCU\\CvaRefuse");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "CvaRefuse"));
}

// --- Reading by type ---------------------------------------------------------------------

TEST_F(HostRegistryTest, ExpandableTextIsExpandedOnlyByRegReadValueS) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Path", REG_EXPAND_SZ, Text("%SystemRoot%\\Media"));
    EXPECT_EQ("C:\\WINDOWS\\Media", m_host->RegReadValueS(TestKey() + "\\Path"));
    EXPECT_EQ(u"%SystemRoot%\\Media", m_host->RegReadValue(TestKey() + "\\Path").AsString().View());
    EXPECT_EQ("", m_host->RegReadValueB(TestKey() + "\\Path"));
    EXPECT_EQ(4, m_host->RegValueType(TestKey() + "\\Path"));
}

TEST_F(HostRegistryTest, AnExpansionLongerThan259CharactersReadsEmpty) {
    std::string five, eight;
    for (int i = 0; i < 8; ++i)
        (i < 5 ? five : eight) += "%ALLUSERSPROFILE%";
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Fits", REG_EXPAND_SZ, Text(five));
    EXPECT_EQ(175u, m_host->RegReadValueS(TestKey() + "\\Fits").size());
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Long", REG_EXPAND_SZ, Text(five + eight));
    EXPECT_EQ("", m_host->RegReadValueS(TestKey() + "\\Long"));
}

TEST_F(HostRegistryTest, DwordsReadByEachReader) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "One", REG_DWORD, Dword(1));
    EXPECT_EQ("", m_host->RegReadValueS(TestKey() + "\\One"));
    EXPECT_EQ("01000000", m_host->RegReadValueB(TestKey() + "\\One"));
    EXPECT_EQ(1, m_host->RegReadValueD(TestKey() + "\\One"));
    vbs::Variant v = m_host->RegReadValue(TestKey() + "\\One");
    ASSERT_EQ(vbs::VarType::Long, v.Type());
    EXPECT_EQ(1, v.AsLong());
    EXPECT_EQ(2, m_host->RegValueType(TestKey() + "\\One"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Max", REG_DWORD, Dword(0xFFFFFFFFu));
    EXPECT_EQ(-1, m_host->RegReadValueD(TestKey() + "\\Max"));
}

TEST_F(HostRegistryTest, RegReadValueDFillsLowBytesAndRefusesMoreThanFour) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Five", REG_BINARY, "\x01\x02\x03\x04\x05");
    EXPECT_EQ(0, m_host->RegReadValueD(TestKey() + "\\Five"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Two", REG_BINARY, "\x34\x12");
    EXPECT_EQ(0x1234, m_host->RegReadValueD(TestKey() + "\\Two"));
}

TEST_F(HostRegistryTest, BinaryReadsAsLowerCaseDigitPairs) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Bin", REG_BINARY, "\x0a\xff");
    EXPECT_EQ("0aff", m_host->RegReadValueB(TestKey() + "\\Bin"));
    EXPECT_EQ("0aff", m_host->RegReadValueS(TestKey() + "\\Bin"));
    EXPECT_EQ(u"0aff", m_host->RegReadValue(TestKey() + "\\Bin").AsString().View());
    EXPECT_EQ(3, m_host->RegValueType(TestKey() + "\\Bin"));
}

TEST_F(HostRegistryTest, OtherTypesReadEmptyAndTypeZero) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    EXPECT_EQ(5, m_host->RegValueType(TestKey() + "\\Multi"));
    EXPECT_TRUE(m_host->RegReadValue(TestKey() + "\\Multi").IsEmpty());
    EXPECT_EQ("", m_host->RegReadValueS(TestKey() + "\\Multi"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Q", REG_QWORD, std::string(8, '\x01'));
    EXPECT_EQ(0, m_host->RegValueType(TestKey() + "\\Q"));
    EXPECT_EQ(0, m_host->RegValueType(TestKey() + "\\Missing"));
}

TEST_F(HostRegistryTest, TextWithoutTerminatorOrDataReadsWhole) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "NoNul", REG_SZ, "abc");
    EXPECT_EQ("abc", m_host->RegReadValueS(TestKey() + "\\NoNul"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Empty", REG_SZ, "");
    EXPECT_EQ("", m_host->RegReadValueS(TestKey() + "\\Empty"));
    EXPECT_TRUE(m_host->RegValueExists(TestKey() + "\\Empty"));
    EXPECT_EQ(u"", m_host->RegReadValue(TestKey() + "\\Empty").AsString().View());
}

TEST_F(HostRegistryTest, DataLongerThan260BytesCountsAsAbsent) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Big", REG_BINARY, std::string(300, 'x'));
    EXPECT_FALSE(m_host->RegValueExists(TestKey() + "\\Big"));
    EXPECT_FALSE(m_host->RegValueExist(TestKey(), "Big"));
    EXPECT_EQ("", m_host->RegReadValueS(TestKey() + "\\Big"));
    EXPECT_TRUE(m_host->RegReadValue(TestKey() + "\\Big").IsEmpty());
    EXPECT_EQ(3, m_host->RegValueType(TestKey() + "\\Big")) << "the type needs no data buffer";
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "Fits", REG_BINARY, std::string(260, 'x'));
    EXPECT_TRUE(m_host->RegValueExists(TestKey() + "\\Fits"));
}

TEST_F(HostRegistryTest, ValueExistTakesTheNameSeparately) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "V", REG_SZ, Text("1"));
    EXPECT_TRUE(m_host->RegValueExist(TestKey(), "V"));
    EXPECT_TRUE(m_host->RegValueExists(TestKey() + "\\v"));
    EXPECT_FALSE(m_host->RegValueExist(TestKey(), "W"));
    EXPECT_FALSE(m_host->RegValueExist(TestKey() + "\\Nope", "V"));
}

// --- Writing -------------------------------------------------------------------------------

TEST_F(HostRegistryTest, WritersCreateMissingKeysAndStoreTerminatedText) {
    m_host->RegWriteValS(TestKey() + "\\A\\B", "S", "text");
    auto s = GetValue(HKEY_CURRENT_USER, TestSubKey() + "\\A\\B", "S");
    ASSERT_TRUE(s);
    EXPECT_EQ(REG_SZ, s->first);
    EXPECT_EQ(Text("text"), s->second);
    m_host->RegWriteValD(TestKey(), "D", -2);
    auto d = GetValue(HKEY_CURRENT_USER, TestSubKey(), "D");
    ASSERT_TRUE(d);
    EXPECT_EQ(REG_DWORD, d->first);
    EXPECT_EQ(Dword(0xFFFFFFFEu), d->second);
    m_host->RegWriteValueE(TestKey() + "\\E", "%TEMP%");
    auto e = GetValue(HKEY_CURRENT_USER, TestSubKey(), "E");
    ASSERT_TRUE(e);
    EXPECT_EQ(REG_EXPAND_SZ, e->first);
    EXPECT_EQ(Text("%TEMP%"), e->second);
    m_host->RegWriteValueD(TestKey() + "\\D2", 7);
    EXPECT_EQ(7, m_host->RegReadValueD(TestKey() + "\\D2"));
}

TEST_F(HostRegistryTest, BinaryTextIsReadLeniently) {
    m_host->RegWriteValueB(TestKey() + "\\Odd", "abc");
    EXPECT_EQ(std::string("\x0a\xbc", 2), GetValue(HKEY_CURRENT_USER, TestSubKey(), "Odd")->second);
    m_host->RegWriteValueB(TestKey() + "\\Upper", "0AFF");
    EXPECT_EQ("0aff", m_host->RegReadValueB(TestKey() + "\\Upper"));
    m_host->RegWriteValueB(TestKey() + "\\Junk", "zz5x");
    EXPECT_EQ(std::string("\x00\x05", 2),
              GetValue(HKEY_CURRENT_USER, TestSubKey(), "Junk")->second);
    m_host->RegWriteValueB(TestKey() + "\\None", "");
    auto none = GetValue(HKEY_CURRENT_USER, TestSubKey(), "None");
    ASSERT_TRUE(none);
    EXPECT_EQ(REG_BINARY, none->first);
    EXPECT_EQ("", none->second);
}

TEST_F(HostRegistryTest, RegWriteValueByType) {
    m_host->RegWriteValue(TestKey() + "\\Num", vbs::Variant(int32_t{5}), 1);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "Num")) << "reg_sz needs a string";
    m_host->RegWriteValue(TestKey() + "\\Num", vbs::Variant(u"5"), 1);
    EXPECT_EQ(Text("5"), GetValue(HKEY_CURRENT_USER, TestSubKey(), "Num")->second);
    m_host->RegWriteValue(TestKey() + "\\Null", vbs::Variant(vbs::VString()), 1);
    EXPECT_EQ(Text(""), GetValue(HKEY_CURRENT_USER, TestSubKey(), "Null")->second);
    m_host->RegWriteValue(TestKey() + "\\Bin", vbs::Variant(u"0102"), 3);
    EXPECT_EQ("0102", m_host->RegReadValueB(TestKey() + "\\Bin"));
    m_host->RegWriteValue(TestKey() + "\\Exp", vbs::Variant(u"%WINDIR%"), 4);
    EXPECT_EQ(4, m_host->RegValueType(TestKey() + "\\Exp"));
    m_host->RegWriteValue(TestKey() + "\\Multi", vbs::Variant(u"a"), 5);
    m_host->RegWriteValue(TestKey() + "\\Other", vbs::Variant(u"a"), 9);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "Multi"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "Other"));
}

TEST_F(HostRegistryTest, RegWriteValueDwordReadsUnsignedDecimalText) {
    struct Case {
        vbs::Variant value;
        uint32_t expected;
    };
    const Case cases[] = {
        {vbs::Variant(u"  42abc"), 42},
        {vbs::Variant(u"-1"), 0xFFFFFFFFu},
        {vbs::Variant(u"99999999999"), 0xFFFFFFFFu},
        {vbs::Variant(u"x"), 0},
        {vbs::Variant(int32_t{300}), 300},
        {vbs::Variant(u"+7"), 7},
    };
    for (const Case& c : cases) {
        m_host->RegWriteValue(TestKey() + "\\D", c.value, 2);
        EXPECT_EQ(Dword(c.expected), GetValue(HKEY_CURRENT_USER, TestSubKey(), "D")->second)
            << c.expected;
    }
    m_host->RegDeleteVal(TestKey() + "\\D");
    m_host->RegWriteValue(TestKey() + "\\D", vbs::Variant::Null(), 2);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "D")) << "Null has no text";
}

TEST_F(HostRegistryTest, RegDeleteValRemovesOneValue) {
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "A", REG_SZ, Text("a"));
    PutValue(HKEY_CURRENT_USER, TestSubKey(), "B", REG_SZ, Text("b"));
    m_host->RegDeleteVal(TestKey() + "\\A");
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "A"));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, TestSubKey(), "B"));
}

} // namespace
} // namespace cva::test
