#include "core/registry/MRU.h"

#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using cva::registry::CMRU;
using cva::files::ReadWholeFile;
using cva::files::WriteFileAtomically;

TEST(MRU, LoadsTrimmedLinesAndDropsCommentsAtTheNextSave) {
    cva::test::CTempFolder temp;
    WriteFileAtomically(temp / "mru.ini", "  b.cvp \r\n;comment\r\n\r\na.cvp\n");
    {
        CMRU list(temp.Path());
        list.Load("mru.ini", 10);
        ASSERT_EQ(list.GetCount(), 2);
        EXPECT_EQ(list.GetAt(0), "b.cvp");
        EXPECT_EQ(list.GetAt(5), "");
        list.Add("c.cvp");
    }
    EXPECT_EQ(ReadWholeFile(temp / "mru.ini"), "c.cvp\r\nb.cvp\r\na.cvp\r\n");
}

TEST(MRU, AddingTheTopLineAgainChangesNothing) {
    cva::test::CTempFolder temp;
    WriteFileAtomically(temp / "favorites.ini", "alpha=A.CVP\r\nbeta=b.cvp\r\n");
    struct stat before;
    stat((temp / "favorites.ini").c_str(), &before);
    {
        CMRU list(temp.Path());
        list.Load("favorites.ini");
        list.Add("Alpha=a.cvp");
        EXPECT_FALSE(list.IsModified());
        list.Add("BETA=B.cvp");
        EXPECT_EQ(list.GetAt(0), "BETA=B.cvp");
        EXPECT_EQ(list.GetCount(), 2);
    }
    EXPECT_EQ(ReadWholeFile(temp / "favorites.ini"), "BETA=B.cvp\r\nalpha=A.CVP\r\n");
}

TEST(MRU, MaximumDropsTheOldestAfterAnAdd) {
    cva::test::CTempFolder temp;
    std::string text;
    for (int i = 0; i < 12; ++i) text += "p" + std::to_string(i) + ".cvp\n";
    WriteFileAtomically(temp / "mru.ini", text);
    CMRU list(temp.Path());
    list.Load("mru.ini", 10);
    EXPECT_EQ(list.GetCount(), 12); // not applied while loading
    list.Add("new.cvp");
    EXPECT_EQ(list.GetCount(), 10);
    EXPECT_EQ(list.GetAt(0), "new.cvp");
    EXPECT_EQ(list.GetAt(9), "p8.cvp");
    list.Load("other.ini"); // a list loads once
    EXPECT_EQ(list.GetCount(), 10);
}

TEST(MRU, EditsOutsideTheListAreIgnoredAndAMissingFileIsEmpty) {
    cva::test::CTempFolder temp;
    CMRU list(temp.Path());
    list.Load(temp / "applied.ini");
    EXPECT_EQ(list.GetCount(), 0);
    list.SetAt(0, "x");
    list.RemoveAt(-1);
    EXPECT_FALSE(list.IsModified());
    list.Add("x");
    list.SetAt(0, "y");
    list.Save();
    EXPECT_EQ(ReadWholeFile(temp / "applied.ini"), "y\r\n");
    list.RemoveAt(0);
    list.Save();
    EXPECT_EQ(ReadWholeFile(temp / "applied.ini"), "");
}
