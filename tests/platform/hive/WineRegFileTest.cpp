#include "platform/hive/WineRegFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cva;
using reg::CRegKey;

namespace {

std::vector<uint8_t> Bytes(std::u16string_view s, bool terminator = true) {
    std::vector<uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminator) out.insert(out.end(), {0, 0});
    return out;
}

std::string Format(const CRegKey& root) {
    reg::CHiveHeader header{"REGISTRY\\\\Machine", "win64"};
    return hive::FormatWineRegistry(root, header);
}

bool Parse(const std::string& text, CRegKey& root, hive::CParseError& error) {
    reg::CHiveHeader header;
    return hive::ParseWineRegistry(text, root, header, error);
}

CRegKey* Key(CRegKey& root, std::u16string_view path) {
    CRegKey* k = &root;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find(u'\\', pos);
        if (end == std::u16string_view::npos) end = path.size();
        bool created;
        k = k->AddSubkey(path.substr(pos, end - pos), created).get();
        if (created) k->m_lastWrite = 0x1da1747c66d0000;
        pos = end + 1;
    }
    return k;
}

// Wine 8's layout: sorted by lower-cased names ('_' before letters), implied parent keys
// left out, empty leaf keys written, canonical value forms and escapes.
const std::string kCanonical =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n#arch=win64\n"
    "\n[Software\\\\A_b] 1700000000\n"
    "#time=1da1747c66d0000\n"
    "\"a\"=\"1\"\n"
    "\"B\"=dword:0000002a\n"
    "\n[Software\\\\Aa\\\\Empty\\[1\\]] 1700000000\n"
    "#time=1da1747c66d0000\n"
    "\n[Software\\\\Classy] 1700000001\n"
    "#time=1da1747c7059680\n"
    "#class=\"Shell\"\n"
    "@=hex(b):2a,00,00,00,00,00,00,00\n"
    "\"bin\"=hex:\n"
    "\"dw3\"=hex(4):01,02,03\n"
    "\"Multi\"=str(7):\"one\\0two\\0\"\n"
    "\"odd\"=hex(1):61,00,62\n"
    "\"Path \\\"1\\\"\"=\"C:\\\\users\\\\Caf\\xe9\\\\a[1]\"\n"
    "\"Tab\"=str(2):\"%SystemRoot%\\t\\x00e9A\\x4e2d\\0015\"\n"
    "\"Wide\"=hex(12345678):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\\n"
    "  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,\\\n"
    "  2c\n";

TEST(WineRegFile, WineWrittenFileSavesByteIdentical) {
    CRegKey root(u"Machine", nullptr, nullptr);
    hive::CParseError error;
    reg::CHiveHeader header;
    ASSERT_TRUE(hive::ParseWineRegistry(kCanonical, root, header, error))
        << error.m_line << error.m_message;
    EXPECT_EQ(header.m_rootComment, "REGISTRY\\\\Machine");
    EXPECT_EQ(header.m_arch, "win64");
    EXPECT_EQ(hive::FormatWineRegistry(root, header), kCanonical);
    // Keys still enumerate in Windows' order, whatever the file's.
    CRegKey* software = root.FindSubkey(u"SOFTWARE").get();
    ASSERT_NE(software, nullptr);
    EXPECT_EQ(software->SubkeyAt(0)->Name(), u"Aa");
    EXPECT_EQ(software->SubkeyAt(1)->Name(), u"A_b");
}

TEST(WineRegFile, EveryValueTypeSurvivesARoundTrip) {
    CRegKey root(u"Machine", nullptr, nullptr);
    CRegKey* k = Key(root, u"Types");
    std::vector<std::pair<reg::DWORD, std::vector<uint8_t>>> samples;
    for (reg::DWORD type = 0; type <= 11; ++type) {
        samples.push_back({type, Bytes(u"text")});
        samples.push_back({type, {}});
        samples.push_back({type, {1, 2, 3}});
        samples.push_back({type, {4, 3, 2, 1}});
        samples.push_back({type, Bytes(u"no end", false)});
    }
    samples.push_back({0xFFFFFFFF, {0xFF}});
    for (size_t i = 0; i < samples.size(); ++i) {
        std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                              std::u16string(1, static_cast<char16_t>(u'a' + i / 26));
        k->SetValue(name, samples[i].first, samples[i].second.data(), samples[i].second.size());
    }
    std::string text = Format(root);
    CRegKey back(u"Machine", nullptr, nullptr);
    hive::CParseError error;
    ASSERT_TRUE(Parse(text, back, error)) << error.m_line << ": " << error.m_message;
    CRegKey* types = back.FindSubkey(u"TYPES").get();
    ASSERT_NE(types, nullptr);
    for (const auto& v : k->Values()) {
        const reg::CRegValue* got = types->FindValue(v.m_name);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->m_type, v.m_type);
        EXPECT_EQ(got->m_data, v.m_data);
    }
    EXPECT_EQ(Format(back), text);
}

TEST(WineRegFile, EveryEscapeSurvivesARoundTrip) {
    std::u16string all;
    for (char16_t c = 1; c < 0x100; ++c) {
        all.push_back(c);
        all.push_back(static_cast<char16_t>(u'0' + c % 10)); // digits after escapes force padding
    }
    all += u"\u4e2d\U0001F600\uFFFF[]\"\\";
    CRegKey root(u"Machine", nullptr, nullptr);
    // A NUL that ends a name is part of it, not a terminator.
    std::u16string keyName = u"K[e]y \"q\" \u00e9\x01"
                             u"7" + std::u16string(1, u'\0');
    CRegKey* k = Key(root, keyName);
    k->SetValue(all, reg::REG_SZ, Bytes(all).data(), Bytes(all).size());
    std::u16string withNul(u"a\0b", 3);
    k->SetValue(u"nul", reg::REG_SZ, Bytes(withNul).data(), Bytes(withNul).size());
    const std::u16string nulName(u"nul\0", 4);
    k->SetValue(nulName, reg::REG_DWORD, Bytes(u"ab", false).data(), 4);
    k->m_class = u"cl\"ass\u00e9";

    std::string text = Format(root);
    for (unsigned char c : text)
        EXPECT_LT(c, 0x80) << "Wine's files are 7-bit";
    CRegKey back(u"Machine", nullptr, nullptr);
    hive::CParseError error;
    ASSERT_TRUE(Parse(text, back, error)) << error.m_line << ": " << error.m_message;
    ASSERT_EQ(back.SubkeyCount(), 1u);
    const CRegKey& k2 = *back.SubkeyAt(0);
    EXPECT_EQ(k2.Name(), keyName);
    EXPECT_EQ(k2.m_class, k->m_class);
    ASSERT_NE(k2.FindValue(all), nullptr);
    EXPECT_EQ(k2.FindValue(all)->m_data, Bytes(all));
    EXPECT_EQ(k2.FindValue(u"nul")->m_data, Bytes(withNul));
    ASSERT_NE(k2.FindValue(nulName), nullptr);
    EXPECT_EQ(k2.FindValue(nulName)->m_type, reg::REG_DWORD);
}

TEST(WineRegFile, LongHexDataWrapsAsWineDoes) {
    CRegKey root(u"Machine", nullptr, nullptr);
    std::vector<uint8_t> data;
    for (uint8_t b = 0; b < 40; ++b)
        data.push_back(b);
    Key(root, u"Wrap")->SetValue(u"", reg::REG_BINARY, data.data(), data.size());
    std::string text = Format(root);
    EXPECT_NE(
        text.find(
            "@=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\n"
            "  18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\n"),
        std::string::npos)
        << text;
}

TEST(WineRegFile, ReaderAcceptsWhatWineAccepts) {
    const std::string text = "WINE REGISTRY Version 2\r\n"
                             ";; All keys relative to \\\\Machine\r\n"
                             "[Software\\\\Lenient] 1700000000\r\n"
                             "  \"s\" = str:\"x\"\r\n"
                             "\"d\"=hex(4):2a,00,00,00\r\n"
                             "\"short\"=dword:2a\r\n"
                             "\"cont\"=hex:01 , 02,\\\r\n"
                             "     03\r\n"
                             "\"HexCase\"=hex(B):FF,00,00,00,00,00,00,00\r\n"
                             "\"later\"=\"first\"\n"
                             "\"LATER\"=\"second\"\n"
                             "; a comment\n"
                             "#unknown option\n"
                             "[Software\\\\Lenient]\n"
                             "\"merged\"=\"yes\"\n";
    CRegKey root(u"Machine", nullptr, nullptr);
    hive::CParseError error;
    ASSERT_TRUE(Parse(text, root, error)) << error.m_line << ": " << error.m_message;
    CRegKey* k = root.FindSubkey(u"SOFTWARE")->FindSubkey(u"LENIENT").get();
    EXPECT_EQ(k->FindValue(u"s")->m_type, reg::REG_SZ);
    EXPECT_EQ(k->FindValue(u"d")->m_data, (std::vector<uint8_t>{42, 0, 0, 0}));
    EXPECT_EQ(k->FindValue(u"short")->m_data, (std::vector<uint8_t>{42, 0, 0, 0}));
    EXPECT_EQ(k->FindValue(u"cont")->m_data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(k->FindValue(u"hexcase")->m_type, reg::REG_QWORD);
    EXPECT_EQ(k->FindValue(u"later")->m_data, Bytes(u"second"));
    EXPECT_NE(k->FindValue(u"merged"), nullptr);
    EXPECT_EQ(k->m_lastWrite, 1700000000ull * 10000000ull + 116444736000000000ull);
    // Saving writes the canonical forms.
    std::string saved = Format(root);
    EXPECT_NE(saved.find("\"d\"=dword:0000002a\n\"HexCase\"=hex(b):ff"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\"s\"=\"x\"\n"), std::string::npos);
}

TEST(WineRegFile, MalformedLinesAreReportedWithTheirLineNumber) {
    const std::string head =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n";
    struct CCase {
        std::string m_body;
        size_t m_line;
    };
    const CCase cases[] = {
        {"\"early\"=\"value before any key\"\n", 3},
        {"[Key\n", 3},
        {"[Key] 1\n\"x\"=bogus:1\n", 4},
        {"[Key] 1\n\"x\"=hex:zz\n", 4},
        {"[Key] 1\n\"x\"=hex:1ff\n", 4},
        {"[Key] 1\n\"x\"=\"unterminated\n", 4},
        {"[Key] 1\n\"x\"=dword:\n", 4},
        {"[Key] 1\nstray text\n", 4},
        {"[Key] 1\n\"x\"=hex:01,\\\n", 4},
        {"[Key] 1\n\"x\"=hex(7:00\n", 4},
    };
    for (const auto& c : cases) {
        CRegKey root(u"Machine", nullptr, nullptr);
        hive::CParseError error;
        EXPECT_FALSE(Parse(head + c.m_body, root, error)) << c.m_body;
        EXPECT_EQ(error.m_line, c.m_line) << c.m_body << error.m_message;
    }
    CRegKey root(u"Machine", nullptr, nullptr);
    hive::CParseError error;
    EXPECT_FALSE(Parse("\xEF\xBB\xBFWINE REGISTRY Version 2\n", root, error));
    EXPECT_EQ(error.m_line, 1u);
}

} // namespace
