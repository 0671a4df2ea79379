#include "HostFilesFixture.h"

#include "platform/text/Unicode.h"
#include "vbscript/Variant.h"

#include <algorithm>

namespace cva::test {
namespace {

using CFindFileTest = CHostFilesTest;

// Runs a script routine and returns its string result.
std::string RunScript(script::CHost_Proxy& host, const std::string& code) {
    EXPECT_TRUE(host.CreateEngine(u"vbScript"));
    EXPECT_TRUE(host.ParseScript(text::Utf8ToUtf16(code)));
    vbs::Variant result;
    EXPECT_EQ(host.CallRoutine(u"Run", {}, &result), 0u);
    return result.IsString() ? text::Utf16ToUtf8(result.AsString().View()) : std::string("<not a string>");
}

TEST_F(CFindFileTest, TheScriptLoopSeesEveryEntryButTheDotEntries) {
    WriteAll(Path("b.txt"), "x");
    WriteAll(Path("a.ini"), "x");
    ::mkdir(Path("Sub").c_str(), 0777);
    std::string listed = RunScript(*m_host, "Function Run()\n"
                                            " Dim h, more, s\n"
                                            " h = FindFileFirst(\"" + m_win + "\\*.*\")\n"
                                            " If h <> -1 Then\n"
                                            "  Do\n"
                                            "   more = FindFileNext(h)\n"
                                            "   s = s & FindFileGetName(h) & \"=\" & FindFileIsFolder(h) & \";\"\n"
                                            "  Loop While more <> 0\n"
                                            "  FindFileClose h\n"
                                            " End If\n"
                                            " Run = s\n"
                                            "End Function\n");
    EXPECT_EQ(listed, "a.ini=False;b.txt=False;Sub=True;");
}

TEST_F(CFindFileTest, NoMatchAndEmptyFoldersGiveNoHandle) {
    ::mkdir(Path("empty").c_str(), 0777);
    EXPECT_EQ(m_host->FindFileFirst(Win("*.none")), -1);
    EXPECT_EQ(m_host->FindFileFirst(Win("empty\\*.*")), -1);
    EXPECT_EQ(m_host->FindFileFirst("Q:\\*.*"), -1);
    EXPECT_EQ(m_host->FindFileFirst(m_win + "\\"), -1);
}

TEST_F(CFindFileTest, NoEntryIsCurrentBeforeTheFirstNextAndTheLastOneStays) {
    WriteAll(Path("only.txt"), "x");
    int16_t h = m_host->FindFileFirst(Win("*.txt"));
    ASSERT_EQ(h, 0);
    EXPECT_EQ(m_host->FindFileGetName(h), "");
    EXPECT_EQ(m_host->FindFileIsFolder(h), 0);
    EXPECT_EQ(m_host->FindFileNext(h), 0);
    EXPECT_EQ(m_host->FindFileGetName(h), "only.txt");
    EXPECT_EQ(m_host->FindFileNext(h), 0);
    EXPECT_EQ(m_host->FindFileGetName(h), "only.txt");
}

TEST_F(CFindFileTest, BadHandlesAndRenumberingAfterRelease) {
    WriteAll(Path("f"), "x");
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 0);
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 1);
    EXPECT_EQ(m_host->FindFileIsFolder(99), -1);
    EXPECT_EQ(m_host->FindFileNext(99), 0);
    m_host->FindFileClose(0);
    EXPECT_EQ(m_host->FindFileIsFolder(0), -1);
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 2); // closed slots are not reused
    m_host->ReleaseScriptHandles();
    EXPECT_EQ(m_host->FindFileIsFolder(1), -1);
    EXPECT_EQ(m_host->FindFileFirst(Win("*")), 0);
}

using CTextFileTest = CHostFilesTest;

TEST_F(CTextFileTest, SavingRewritesEveryLineWithCarriageReturnLineFeed) {
    WriteAll(Path("a.txt"), "one\ntwo\r\n\nlast");
    int32_t h = m_host->TxtOpen(Win("a.txt"));
    ASSERT_EQ(h, 0);
    EXPECT_EQ(m_host->TxtGetLineCount(h), 4);
    EXPECT_EQ(m_host->TxtGetLine(h, 2), "");
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("a.txt")), "one\r\ntwo\r\n\r\nlast\r\n");
}

TEST_F(CTextFileTest, CtrlZEndsTheFile) {
    WriteAll(Path("z.txt"), "a\r\nb\x1A" "c\r\n");
    int32_t h = m_host->TxtOpen(Win("z.txt"));
    EXPECT_EQ(m_host->TxtGetLineCount(h), 2);
    EXPECT_EQ(m_host->TxtGetLine(h, 1), "b");
}

TEST_F(CTextFileTest, EditsStayInMemoryUntilSaved) {
    WriteAll(Path("t.txt"), "1\r\n2\r\n3\r\n");
    int32_t h = m_host->TxtOpen(Win("t.txt"));
    m_host->TxtInsertLine(h, 3, "4"); // at the count: appended
    m_host->TxtInsertLine(h, 0, "0");
    m_host->TxtSetLine(h, 2, "two");
    m_host->TxtDeleteLine(h, 3);
    m_host->TxtInsertLine(h, 9, "x"); // out of range: nothing
    m_host->TxtSetLine(h, -1, "x");
    m_host->TxtDeleteLine(h, 4);
    EXPECT_EQ(m_host->TxtGetLine(h, 4), "");
    EXPECT_EQ(ReadAll(Path("t.txt")), "1\r\n2\r\n3\r\n");
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("t.txt")), "0\r\n1\r\ntwo\r\n4\r\n");
    m_host->TxtClose(h);
    EXPECT_EQ(m_host->TxtGetLineCount(h), 0);
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("t.txt")), "0\r\n1\r\ntwo\r\n4\r\n");
}

TEST_F(CTextFileTest, FindLineComparesTheBeginningWithOrWithoutCase) {
    WriteAll(Path("f.txt"), "ab\r\nABCDEF\r\n\xC3\x89t\xC3\xA9\r\n");
    int32_t h = m_host->TxtOpen(Win("f.txt"));
    EXPECT_EQ(m_host->TxtFindLine(h, "abc", false), 1);
    EXPECT_EQ(m_host->TxtFindLine(h, "abc", true), -1);
    EXPECT_EQ(m_host->TxtFindLine(h, "ABC", true), 1);
    EXPECT_EQ(m_host->TxtFindLine(h, "", true), 0);
    EXPECT_EQ(m_host->TxtFindLine(h, "abcdefg", false), -1); // longer than every line
    EXPECT_EQ(m_host->TxtFindLine(h, "\xC3\xA9T", false), 2);
    EXPECT_EQ(m_host->TxtFindLine(7, "", false), -1);
    WriteAll(Path("empty.txt"), "");
    EXPECT_EQ(m_host->TxtFindLine(m_host->TxtOpen(Win("empty.txt")), "", false), -1);
}

TEST_F(CTextFileTest, MissingFilesAndFailedSavesChangeNothing) {
    EXPECT_EQ(m_host->TxtOpen(Win("missing.txt")), -1);
    EXPECT_EQ(m_host->TxtOpen(m_win), -1); // a folder
    WriteAll(Path("s.txt"), "a\r\n");
    int32_t h = m_host->TxtOpen(Win("s.txt"));
    EXPECT_EQ(h, 0); // failed opens took no slot
    ::unlink(Path("s.txt").c_str());
    ::mkdir(Path("s.txt").c_str(), 0777); // the path can no longer be written
    m_host->TxtSetLine(h, 0, "b");
    m_host->TxtSave(h);
    EXPECT_EQ(m_host->TxtGetLine(h, 0), "b");
    ::rmdir(Path("s.txt").c_str());
    m_host->TxtSave(h); // saved again once possible
    EXPECT_EQ(ReadAll(Path("s.txt")), "b\r\n");
}

TEST_F(CTextFileTest, ReleaseDiscardsUnsavedRecordsAndRestartsNumbering) {
    WriteAll(Path("r.txt"), "a\r\n");
    EXPECT_EQ(m_host->TxtOpen(Win("r.txt")), 0);
    int32_t h = m_host->TxtOpen(Win("r.txt"));
    EXPECT_EQ(h, 1);
    m_host->TxtSetLine(h, 0, "changed");
    m_host->ReleaseScriptHandles();
    EXPECT_EQ(m_host->TxtGetLineCount(h), 0);
    m_host->TxtSave(h);
    EXPECT_EQ(ReadAll(Path("r.txt")), "a\r\n");
    EXPECT_EQ(m_host->TxtOpen(Win("r.txt")), 0);
}

} // namespace
} // namespace cva::test
