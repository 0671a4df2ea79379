#include "platform/ini/IniFile.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sys/stat.h>

using namespace cva::ini;
using cva::test::CTempFolder;

namespace {

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

std::string ReadFile(const std::string& path) {
    return cva::files::ReadWholeFile(path).value_or("<missing>");
}

std::string Get(const std::string& path, const char* section, const char* key,
                const char* def = "dflt", uint32_t size = 260) {
    std::string buffer(size, '\x7F');
    uint32_t n = GetPrivateProfileString(section, key, def, buffer.data(), size, path.c_str());
    EXPECT_EQ(buffer[n], '\0');
    return buffer.substr(0, n);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl == std::string::npos ? nl : nl - start));
        start = nl == std::string::npos ? text.size() : nl + 1;
    }
    return lines;
}

std::string List(const CIniFile& file, const char* section, uint32_t size, uint32_t* count) {
    std::string buffer(size, '\x7F');
    *count = file.GetProfileString(section, nullptr, "", buffer.data(), size);
    return buffer;
}

} // namespace

TEST(IniRead, NamesIgnoreCaseAndFirstOccurrenceWins) {
    CIniFile f = CIniFile::FromText("[Settings]\ncaption=one\nCAPTION=two\n"
                                    "[settings]\ncaption=three\nlevel=4\n");
    EXPECT_EQ(f.GetString("SETTINGS", "Caption", "x"), "one");
    // A key that only the second section of the name has is not found.
    EXPECT_EQ(f.GetString("settings", "level", "x"), "x");
    // Beyond ASCII too, also for names saved in Windows-1252.
    CIniFile g = CIniFile::FromText("[Gr\xC3\xB6\xC3\x9F"
                                    "e]\nk=1\n[caf\xE9]\nk=2\n");
    EXPECT_EQ(g.GetString("GR\xC3\x96\xC3\x9F"
                          "E",
                          "K", ""),
              "1");
    EXPECT_EQ(g.GetString("CAF\xC3\x89", "k", ""), "2");
}

TEST(IniRead, WhiteSpaceAndOnePairOfQuotesAreRemoved) {
    CIniFile f = CIniFile::FromText("  [ s ]  \n\t k1 =  padded value \t\n"
                                    "k2=\"  quoted  \"\nk3='single'\nk4=\"\"twice\"\"\n"
                                    "k5=\"unbalanced\nk6=\"mixed'\n");
    EXPECT_EQ(f.GetString("s", "k1", ""), "padded value");
    EXPECT_EQ(f.GetString("s", "k2", ""), "  quoted  ");
    EXPECT_EQ(f.GetString("s", "k3", ""), "single");
    EXPECT_EQ(f.GetString("s", "k4", ""), "\"twice\"");
    EXPECT_EQ(f.GetString("s", "k5", ""), "\"unbalanced");
    EXPECT_EQ(f.GetString("s", "k6", ""), "\"mixed'");
}

TEST(IniRead, CommentsAreNotKeys) {
    CIniFile f = CIniFile::FromText("[s]\n;k=commented\n  ; also=comment\nk=real\n");
    EXPECT_EQ(f.GetString("s", "k", ""), "real");
    EXPECT_EQ(f.GetString("s", ";k", "none"), "none");
    EXPECT_EQ(f.KeyNames("s"), (std::vector<std::string>{"k"}));
}

TEST(IniRead, MissingFileSectionOrKeyGivesTheDefault) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    EXPECT_EQ(Get(path, "s", "k"), "dflt");
    WriteFile(path, "[s]\nk=v\n");
    EXPECT_EQ(Get(path, "other", "k"), "dflt");
    EXPECT_EQ(Get(path, "s", "other", "trailing   "), "trailing");
    EXPECT_EQ(Get(path, "s", "other", nullptr), "");
    EXPECT_EQ(Get(path, "s", "k"), "v");
}

TEST(IniRead, BufferOfNKeepsNMinusOneCharacters) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "[s]\nk=abcdefgh\n");
    EXPECT_EQ(Get(path, "s", "k", "", 4), "abc");
    EXPECT_EQ(Get(path, "s", "k", "", 1), "");
    EXPECT_EQ(Get(path, "s", "k", "", 9), "abcdefgh");
    char untouched = 'z';
    EXPECT_EQ(GetPrivateProfileString("s", "k", "", &untouched, 0, path.c_str()), 0u);
    EXPECT_EQ(untouched, 'z');
}

TEST(IniRead, NullSectionAndNullKeyGiveDoubleNulLists) {
    CIniFile f = CIniFile::FromText("[One]\na=1\nB=2\na=3\n[two]\n[ONE]\nc=4\n");
    uint32_t n = 0;
    std::string sections = List(f, nullptr, 64, &n);
    EXPECT_EQ(sections.substr(0, n + 1), std::string("One\0two\0\0", 9));
    EXPECT_EQ(n, 8u);
    std::string keys = List(f, "one", 64, &n);
    EXPECT_EQ(keys.substr(0, n + 1), std::string("a\0B\0\0", 5));
    // Too small: cut, closed with two NULs, and size - 2 returned.
    std::string cut = List(f, nullptr, 6, &n);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(cut.substr(0, 6), std::string("One\0\0\0", 6));
    std::string none = List(f, "missing", 8, &n);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(none.substr(0, 2), std::string("\0\0", 2));
}

TEST(IniRead, IntegersAreLeadingDecimalDigits) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "[s]\na=42abc\nb=-17\nc=+5\nd=abc\ne=\nf=0x10\ng= 12 \n");
    EXPECT_EQ(GetPrivateProfileInt("s", "a", 9, path.c_str()), 42);
    EXPECT_EQ(GetPrivateProfileInt("s", "b", 9, path.c_str()), -17);
    EXPECT_EQ(GetPrivateProfileInt("s", "c", 9, path.c_str()), 5);
    EXPECT_EQ(GetPrivateProfileInt("s", "d", 9, path.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileInt("s", "e", 9, path.c_str()), 9);
    EXPECT_EQ(GetPrivateProfileInt("s", "f", 9, path.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileInt("s", "g", 9, path.c_str()), 12);
    EXPECT_EQ(GetPrivateProfileInt("s", "missing", 9, path.c_str()), 9);
    EXPECT_EQ(GetPrivateProfileInt("s", "a", 9, (tmp / "none.ini").c_str()), 9);
}

TEST(IniRead, AwkwardBytesNeverLoseLines) {
    std::string text = "[s]\r\nbin=a\x01\xFF"
                       "b\r\nlong=" +
                       std::string(100000, 'x') + "\r\nnul=a" + std::string(1, '\0') +
                       "b\r\nz=end\x1A";
    CIniFile f = CIniFile::FromText(text);
    EXPECT_EQ(f.GetString("s", "long", "").size(), 100000u);
    EXPECT_EQ(f.GetString("s", "z", ""), "end"); // Ctrl+Z is trailing white space
    // A byte that is not UTF-8 comes back as its Windows-1252 character.
    EXPECT_EQ(f.GetString("s", "bin", ""), "a\x01\xC3\xBF"
                                           "b");
    EXPECT_EQ(f.Text(), text);
}

TEST(IniRead, RandomBytesRoundTripAndStayWritable) {
    const std::string alphabet("[]=;\"' \t\r\n\x1A\0sSk\xFF", 16);
    std::mt19937 rng(1234);
    for (int round = 0; round < 500; ++round) {
        std::string text(rng() % 200, ' ');
        for (char& c : text)
            c = alphabet[rng() % alphabet.size()];
        CIniFile f = CIniFile::FromText(text);
        ASSERT_EQ(f.Text(), text);
        ASSERT_TRUE(f.SetValue("s", "new", "v"));
        EXPECT_EQ(f.GetString("S", "NEW", ""), "v") << round;
        // Every line that was there is still there, in order (a last line without a
        // line end gains one).
        std::vector<std::string> before = Lines(text), after = Lines(f.Text());
        size_t at = 0;
        for (const std::string& line : after)
            if (at < before.size() && line.compare(0, before[at].size(), before[at]) == 0) ++at;
        EXPECT_EQ(at, before.size()) << round;
    }
}

TEST(IniWrite, CreatesFileSectionAndKey) {
    CTempFolder tmp;
    const std::string path = tmp / "new.ini";
    ASSERT_TRUE(WritePrivateProfileString("Main", "Key", "Value", path.c_str()));
    EXPECT_EQ(ReadFile(path), "[Main]\r\nKey=Value\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Other", "k", "v", path.c_str()));
    EXPECT_EQ(ReadFile(path), "[Main]\r\nKey=Value\r\n\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(Get(path, "other", "K"), "v");
}

TEST(IniWrite, KeepsEveryOtherLineAsItWas) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "; header comment\n[A]\n  Key = old  \nkeep=1\n\n[B]\nx=y");
    ASSERT_TRUE(WritePrivateProfileString("a", "KEY", "new", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("A", "added", "2", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("b", "z", "3", path.c_str()));
    EXPECT_EQ(ReadFile(path), "; header comment\n[A]\nKey=new\nkeep=1\nadded=2\n\n[B]\nx=y\nz=3\n");
}

TEST(IniWrite, NullValueDeletesKeyAndNullKeyDeletesSection) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "[A]\nk=1\nj=2\nk=dup\n[B]\nb=1\n[a]\nk=3\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "k", nullptr, path.c_str()));
    EXPECT_EQ(ReadFile(path), "[A]\nj=2\n[B]\nb=1\n[a]\nk=3\n");
    ASSERT_TRUE(WritePrivateProfileString("a", nullptr, nullptr, path.c_str()));
    EXPECT_EQ(ReadFile(path), "[B]\nb=1\n");
    // Deleting from a file that does not exist creates nothing.
    ASSERT_TRUE(WritePrivateProfileString("A", "k", nullptr, (tmp / "no.ini").c_str()));
    EXPECT_EQ(ReadFile(tmp / "no.ini"), "<missing>");
}

TEST(IniWrite, Utf16FilesStayUtf16) {
    CTempFolder tmp;
    const std::string path = tmp / "desktop.ini";
    auto utf16 = [](const std::string& ascii) {
        std::string bytes = "\xFF\xFE";
        for (char c : ascii)
            bytes += std::string{c, '\0'};
        return bytes;
    };
    WriteFile(path, utf16("[.ShellClassInfo]\r\nIconIndex=3\r\n"));
    EXPECT_EQ(GetPrivateProfileInt(".shellclassinfo", "iconindex", 0, path.c_str()), 3);
    ASSERT_TRUE(WritePrivateProfileString(".ShellClassInfo", "InfoTip", "Tip", path.c_str()));
    EXPECT_EQ(ReadFile(path), utf16("[.ShellClassInfo]\r\nIconIndex=3\r\nInfoTip=Tip\r\n"));
}

TEST(IniWrite, RefusesTextThatWouldForgeLines) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v\r\n[evil]", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("s", "a=b", "v", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("s\n", "k", "v", path.c_str()));
    EXPECT_EQ(ReadFile(path), "<missing>");
}

TEST(IniWrite, ReplacesAtomicallyAndKeepsPermissions) {
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "[s]\nk=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", path.c_str()));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_NE(after.st_ino, before.st_ino); // a new file renamed over the old one
    // No temporary file is left behind.
    size_t entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(tmp.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(IniWrite, WritesThroughASymbolicLink) {
    CTempFolder tmp;
    WriteFile(tmp / "real.ini", "[s]\nk=1\n");
    ASSERT_EQ(::symlink("real.ini", (tmp / "link.ini").c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", (tmp / "link.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "link.ini"));
    EXPECT_EQ(ReadFile(tmp / "real.ini"), "[s]\nk=2\n");
}

TEST(IniWrite, UnreadableFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    CTempFolder tmp;
    const std::string path = tmp / "a.ini";
    WriteFile(path, "[s]\nk=1\nother=keep\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", path.c_str()));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(path), "[s]\nk=1\nother=keep\n");
}
