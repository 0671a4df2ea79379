#include "ObjectHarness.h"
#include "TestServices.h"

#include <gtest/gtest.h>

namespace cva::vbs::test {
namespace {

class FileSystemObjectTest : public ::testing::Test {
protected:
    CTestServices services;
    ObjectRef fso = Create(u"Scripting.FileSystemObject", services);

    ObjectRef Open(std::u16string_view path, int32_t mode, bool create = false, int32_t format = 0)
    {
        CallResult r = Get(fso, u"OpenTextFile", {S(path), L(mode), Variant(create), L(format)});
        EXPECT_TRUE(r.Ok()) << r.Error();
        return r.Ok() ? Obj(r.value) : ObjectRef();
    }
    std::vector<std::u16string> Names(const ObjectRef& collection)
    {
        std::vector<std::u16string> out;
        for (const Variant& v : Enumerate(collection))
            out.push_back(Str(Get(Obj(v), u"Name").value));
        return out;
    }
};

TEST_F(FileSystemObjectTest, AsciiRoundTripWritesUtf8WithCrLf)
{
    ObjectRef t = Obj(Get(fso, u"CreateTextFile", {S(u"C:\\work\\a.txt")}).value);
    ASSERT_TRUE(Call(t, u"WriteLine", {S(u"caf\u00e9")}).Ok());
    ASSERT_TRUE(Call(t, u"Write", {S(u"end")}).Ok());
    ASSERT_TRUE(Call(t, u"Close").Ok());
    EXPECT_EQ(services.ReadBytes("work/a.txt"), "caf\xC3\xA9\r\nend");

    t = Open(u"c:\\WORK\\A.TXT", 1);
    EXPECT_EQ(Str(Get(t, u"ReadLine").value), u"caf\u00e9");
    EXPECT_EQ(Long(Get(t, u"Line").value), 2);
    EXPECT_EQ(Str(Get(t, u"ReadLine").value), u"end");
    EXPECT_TRUE(Bool(Get(t, u"AtEndOfStream").value));
    CallResult past = Get(t, u"ReadLine");
    EXPECT_EQ(past.Error(), 62);
    EXPECT_EQ(past.status.Description(), u"Input past end of file");
}

TEST_F(FileSystemObjectTest, AnsiFilesFallBackToWindows1252AndLfLinesRead)
{
    services.MakeFile("work/old.ini", "[s]\nname=Gr\xFC\xDF\n");
    ObjectRef t = Open(u"C:\\work\\old.ini", 1);
    EXPECT_EQ(Str(Get(t, u"ReadLine").value), u"[s]");
    EXPECT_EQ(Str(Get(t, u"ReadLine").value), u"name=Gr\u00fc\u00df");
    EXPECT_TRUE(Bool(Get(t, u"AtEndOfStream").value));
}

TEST_F(FileSystemObjectTest, UnicodeFilesHaveBomAndAppendDoesNotRepeatIt)
{
    ObjectRef t = Open(u"C:\\work\\u.txt", 2, true, -1);
    ASSERT_TRUE(Call(t, u"Write", {S(u"A\u20ac")}).Ok());
    ASSERT_TRUE(Call(t, u"Close").Ok());
    t = Open(u"C:\\work\\u.txt", 8, false, -1);
    ASSERT_TRUE(Call(t, u"Write", {S(u"B")}).Ok());
    ASSERT_TRUE(Call(t, u"Close").Ok());
    EXPECT_EQ(services.ReadBytes("work/u.txt"), std::string("\xFF\xFE" "A\0\xAC\x20" "B\0", 8));
    t = Open(u"C:\\work\\u.txt", 1, false, -1);
    EXPECT_EQ(Str(Get(t, u"ReadAll").value), u"A\u20acB");
    EXPECT_EQ(Get(t, u"ReadAll").Error(), 62);
}

TEST_F(FileSystemObjectTest, AppendAddsToAsciiFileAndStreamFlushesWithoutClose)
{
    services.MakeFile("work/log.txt", "one\r\n");
    {
        ObjectRef t = Open(u"C:\\work\\log.txt", 8);
        ASSERT_TRUE(Call(t, u"WriteLine", {S(u"two")}).Ok());
        ASSERT_TRUE(Call(t, u"WriteBlankLines", {L(1)}).Ok());
    }
    EXPECT_EQ(services.ReadBytes("work/log.txt"), "one\r\ntwo\r\n\r\n");
}

TEST_F(FileSystemObjectTest, StreamsRefuseTheWrongDirectionWithBadFileMode)
{
    services.MakeFile("work/r.txt", "x");
    ObjectRef r = Open(u"C:\\work\\r.txt", 1);
    EXPECT_EQ(Call(r, u"Write", {S(u"y")}).Error(), 54);
    ObjectRef w = Open(u"C:\\work\\w.txt", 2, true);
    EXPECT_EQ(Get(w, u"ReadLine").Error(), 54);
    EXPECT_EQ(Get(w, u"AtEndOfStream").Error(), 54);
}

TEST_F(FileSystemObjectTest, ReadSkipAndColumnsCountCharacters)
{
    services.MakeFile("work/c.txt", "abcdef\r\ngh");
    ObjectRef t = Open(u"C:\\work\\c.txt", 1);
    EXPECT_EQ(Str(Get(t, u"Read", {L(2)}).value), u"ab");
    ASSERT_TRUE(Call(t, u"Skip", {L(2)}).Ok());
    EXPECT_EQ(Long(Get(t, u"Column").value), 5);
    ASSERT_TRUE(Call(t, u"SkipLine").Ok());
    EXPECT_FALSE(Bool(Get(t, u"AtEndOfLine").value));
    EXPECT_EQ(Str(Get(t, u"Read", {L(10)}).value), u"gh");
    EXPECT_EQ(Call(t, u"Skip", {L(1)}).Error(), 62);
}

TEST_F(FileSystemObjectTest, OpeningMissingFilesAndFoldersReportsTheClassicErrors)
{
    EXPECT_EQ(Get(fso, u"OpenTextFile", {S(u"C:\\work\\none.txt")}).Error(), 53);
    EXPECT_EQ(Get(fso, u"OpenTextFile", {S(u"C:\\nodir\\x.txt"), L(2), Variant(true)}).Error(), 76);
    EXPECT_EQ(Get(fso, u"GetFile", {S(u"C:\\work\\none.txt")}).Error(), 53);
    EXPECT_EQ(Get(fso, u"GetFolder", {S(u"C:\\nodir")}).Error(), 76);
    services.MakeFile("work/keep.txt", "k");
    EXPECT_EQ(Get(fso, u"CreateTextFile", {S(u"C:\\work\\keep.txt"), Variant(false)}).Error(), 58);
    EXPECT_EQ(services.ReadBytes("work/keep.txt"), "k");
}

TEST_F(FileSystemObjectTest, CreateFolderRefusesExistingNamesWith58)
{
    CallResult made = Get(fso, u"CreateFolder", {S(u"C:\\work\\New")});
    ASSERT_TRUE(made.Ok());
    EXPECT_EQ(Str(Get(Obj(made.value), u"Path").value), u"C:\\work\\New");
    CallResult again = Get(fso, u"CreateFolder", {S(u"c:\\work\\new")});
    EXPECT_EQ(again.Error(), 58);
    EXPECT_EQ(again.status.Description(), u"File already exists");
    EXPECT_EQ(Get(fso, u"CreateFolder", {S(u"C:\\no\\such")}).Error(), 76);
}

TEST_F(FileSystemObjectTest, FilesAndSubFoldersEnumerateByName)
{
    services.MakeFile("work/b.txt", "bb");
    services.MakeFile("work/A.txt", "a");
    services.MakeFile("work/sub/inner.txt", "i");
    std::filesystem::create_directories(services.DriveC() / "work" / "empty");
    ObjectRef folder = Obj(Get(fso, u"GetFolder", {S(u"C:\\work")}).value);
    ObjectRef files = Obj(Get(folder, u"Files").value);
    EXPECT_EQ(Long(Get(files, u"Count").value), 2);
    EXPECT_EQ(Names(files), (std::vector<std::u16string>{u"A.txt", u"b.txt"}));
    EXPECT_EQ(Long(Get(Obj(Get(files, u"Item", {S(u"B.TXT")}).value), u"Size").value), 2);
    EXPECT_EQ(Get(files, u"Item", {S(u"zz.txt")}).Error(), 53);
    ObjectRef subs = Obj(Get(folder, u"SubFolders").value);
    EXPECT_EQ(Names(subs), (std::vector<std::u16string>{u"empty", u"sub"}));
    EXPECT_EQ(Long(Get(folder, u"Size").value), 4);
    EXPECT_EQ(Str(Get(Obj(Get(folder, u"ParentFolder").value), u"Path").value), u"C:\\");
    EXPECT_TRUE(Bool(Get(Obj(Get(fso, u"GetFolder", {S(u"C:\\")}).value), u"IsRootFolder").value));
}

TEST_F(FileSystemObjectTest, DeleteFileWithWildcardsTakesOnlyMatchingFiles)
{
    services.MakeFile("work/a.log", "");
    services.MakeFile("work/b.LOG", "");
    services.MakeFile("work/c.txt", "");
    services.MakeFile("work/d.log/inside.txt", ""); // a folder whose name matches
    ASSERT_TRUE(Call(fso, u"DeleteFile", {S(u"C:\\work\\*.log")}).Ok());
    EXPECT_FALSE(services.Exists("work/a.log"));
    EXPECT_FALSE(services.Exists("work/b.LOG"));
    EXPECT_TRUE(services.Exists("work/c.txt"));
    EXPECT_TRUE(services.Exists("work/d.log/inside.txt"));
    EXPECT_EQ(Call(fso, u"DeleteFile", {S(u"C:\\work\\*.log")}).Error(), 53);
    EXPECT_EQ(Call(fso, u"DeleteFolder", {S(u"C:\\work\\zz*")}).Error(), 76);
}

TEST_F(FileSystemObjectTest, ReadOnlyFilesNeedForce)
{
    services.MakeFile("work/ro.txt", "r");
    ObjectRef file = Obj(Get(fso, u"GetFile", {S(u"C:\\work\\ro.txt")}).value);
    ASSERT_TRUE(Let(file, u"Attributes", {}, L(1)).Ok());
    EXPECT_EQ(Long(Get(file, u"Attributes").value) & 1, 1);
    EXPECT_EQ(Call(fso, u"DeleteFile", {S(u"C:\\work\\ro.txt")}).Error(), 70);
    EXPECT_EQ(Call(fso, u"CopyFile", {S(u"C:\\work\\ro.txt"), S(u"C:\\work\\ro.txt")}).Error(), 70);
    EXPECT_EQ(Get(fso, u"OpenTextFile", {S(u"C:\\work\\ro.txt"), L(8)}).Error(), 70);
    EXPECT_EQ(services.ReadBytes("work/ro.txt"), "r");
    ASSERT_TRUE(Call(fso, u"DeleteFile", {S(u"C:\\work\\ro.txt"), Variant(true)}).Ok());
    EXPECT_FALSE(services.Exists("work/ro.txt"));
}

TEST_F(FileSystemObjectTest, CopyAndMoveFilesHonourOverwriteAndFolders)
{
    services.MakeFile("work/src.txt", "new");
    services.MakeFile("work/dst.txt", "old");
    std::filesystem::create_directories(services.DriveC() / "work" / "into");
    EXPECT_EQ(Call(fso, u"CopyFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\dst.txt"), Variant(false)}).Error(), 58);
    ASSERT_TRUE(Call(fso, u"CopyFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\dst.txt")}).Ok());
    EXPECT_EQ(services.ReadBytes("work/dst.txt"), "new");
    EXPECT_EQ(Call(fso, u"CopyFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\into")}).Error(), 70);
    ASSERT_TRUE(Call(fso, u"CopyFile", {S(u"C:\\work\\*.txt"), S(u"C:\\work\\into")}).Ok());
    EXPECT_TRUE(services.Exists("work/into/src.txt"));
    EXPECT_EQ(Call(fso, u"MoveFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\dst.txt")}).Error(), 58);
    ASSERT_TRUE(Call(fso, u"MoveFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\moved.txt")}).Ok());
    EXPECT_FALSE(services.Exists("work/src.txt"));
    EXPECT_EQ(Call(fso, u"MoveFile", {S(u"C:\\work\\src.txt"), S(u"C:\\work\\x.txt")}).Error(), 53);
}

TEST_F(FileSystemObjectTest, FolderCopyMoveAndDeleteWorkOnWholeTrees)
{
    services.MakeFile("work/tree/a/b.txt", "b");
    ASSERT_TRUE(Call(fso, u"CopyFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\copy")}).Ok());
    EXPECT_EQ(services.ReadBytes("work/copy/a/b.txt"), "b");
    EXPECT_EQ(Call(fso, u"CopyFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\tree\\a\\")}).Error(), 70);
    ASSERT_TRUE(Call(fso, u"MoveFolder", {S(u"C:\\work\\copy"), S(u"C:\\work\\tree\\")}).Ok());
    EXPECT_TRUE(services.Exists("work/tree/copy/a/b.txt"));
    EXPECT_EQ(Call(fso, u"MoveFolder", {S(u"C:\\work\\nothing"), S(u"C:\\x")}).Error(), 76);
    ASSERT_TRUE(Call(fso, u"DeleteFolder", {S(u"C:\\work\\tree")}).Ok());
    EXPECT_FALSE(services.Exists("work/tree"));
    EXPECT_EQ(Call(fso, u"DeleteFolder", {S(u"C:\\"), Variant(true)}).Error(), 76);
    EXPECT_EQ(Call(Obj(Get(fso, u"GetFolder", {S(u"c:\\")}).value), u"Delete", {Variant(true)}).Error(), 76);
    EXPECT_EQ(Let(Obj(Get(fso, u"GetFolder", {S(u"C:\\")}).value), u"Name", {}, S(u"x")).Error(), 70);
    EXPECT_TRUE(services.Exists("work"));
}

TEST_F(FileSystemObjectTest, MoveFolderRefusesExistingTargetsAndItsOwnSubtree)
{
    services.MakeFile("work/tree/a/b.txt", "b");
    services.MakeFile("work/other/c.txt", "c");
    EXPECT_EQ(Call(fso, u"MoveFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\other")}).Error(), 58);
    EXPECT_EQ(Call(fso, u"MoveFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\tree\\a\\")}).Error(), 70);
    EXPECT_TRUE(services.Exists("work/tree/a/b.txt"));
    // A wildcard moves every match.
    services.MakeFile("work/tree/one.log", "1");
    services.MakeFile("work/tree/two.log", "2");
    ASSERT_TRUE(Call(fso, u"MoveFile", {S(u"C:\\work\\tree\\*.log"), S(u"C:\\work\\other\\")}).Ok());
    EXPECT_TRUE(services.Exists("work/other/one.log"));
    EXPECT_TRUE(services.Exists("work/other/two.log"));
    EXPECT_FALSE(services.Exists("work/tree/one.log"));
}

TEST_F(FileSystemObjectTest, CopyFolderFollowsLinksButNotLoops)
{
    services.MakeFile("outside/data.txt", "d");
    services.MakeFile("work/tree/keep.txt", "k");
    std::filesystem::create_directory_symlink(services.DriveC() / "outside",
                                              services.DriveC() / "work" / "tree" / "linked");
    ASSERT_TRUE(Call(fso, u"CopyFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\copy")}).Ok());
    EXPECT_EQ(services.ReadBytes("work/copy/linked/data.txt"), "d");
    std::filesystem::create_directory_symlink(services.DriveC() / "work" / "tree",
                                              services.DriveC() / "work" / "tree" / "loop");
    EXPECT_EQ(Call(fso, u"CopyFolder", {S(u"C:\\work\\tree"), S(u"C:\\work\\copy2")}).Error(), 70);
    ASSERT_TRUE(Call(fso, u"DeleteFolder", {S(u"C:\\work\\tree"), Variant(true)}).Ok());
    EXPECT_TRUE(services.Exists("outside/data.txt"));
}

TEST_F(FileSystemObjectTest, FileObjectsRenameAndFollowTheirMoves)
{
    services.MakeFile("work/f.txt", "12345");
    ObjectRef file = Obj(Get(fso, u"GetFile", {S(u"f.txt")}).value);
    EXPECT_EQ(Str(Get(file, u"Path").value), u"C:\\work\\f.txt");
    EXPECT_EQ(Str(Get(file, u"Type").value), u"Text Document");
    EXPECT_EQ(Long(Get(file, u"Size").value), 5);
    ASSERT_TRUE(Let(file, u"Name", {}, S(u"g.txt")).Ok());
    EXPECT_TRUE(services.Exists("work/g.txt"));
    ASSERT_TRUE(Call(fso, u"CreateFolder", {S(u"C:\\work\\to")}).Ok());
    ASSERT_TRUE(Call(file, u"Move", {S(u"C:\\work\\to\\")}).Ok());
    EXPECT_EQ(Str(Get(file, u"Path").value), u"C:\\work\\to\\g.txt");
    ObjectRef stream = Obj(Get(file, u"OpenAsTextStream").value);
    EXPECT_EQ(Str(Get(stream, u"ReadAll").value), u"12345");
}

TEST_F(FileSystemObjectTest, ExistenceChecksAndSpecialFolders)
{
    services.MakeFile("work/e.txt", "");
    EXPECT_TRUE(Bool(Get(fso, u"FileExists", {S(u"C:\\WORK\\E.TXT")}).value));
    EXPECT_FALSE(Bool(Get(fso, u"FileExists", {S(u"C:\\work")}).value));
    EXPECT_TRUE(Bool(Get(fso, u"FolderExists", {S(u"C:\\work")}).value));
    EXPECT_TRUE(Bool(Get(fso, u"DriveExists", {S(u"c")}).value));
    EXPECT_FALSE(Bool(Get(fso, u"DriveExists", {S(u"Q:")}).value));
    ObjectRef temp = Obj(Get(fso, u"GetSpecialFolder", {L(2)}).value);
    EXPECT_EQ(Str(Get(temp, u"Path").value), u"C:\\Windows\\Temp");
    EXPECT_EQ(Get(fso, u"GetSpecialFolder", {L(3)}).Error(), 5);
    std::u16string temp1 = Str(Get(fso, u"GetTempName").value);
    ASSERT_EQ(temp1.size(), 12u);
    EXPECT_EQ(temp1.substr(0, 3), u"rad");
    EXPECT_EQ(temp1.substr(8), u".tmp");
    EXPECT_EQ(Str(Get(fso, u"GetBaseName", {S(u"a.b.c")}).value), u"a.b");
}

} // namespace
} // namespace cva::vbs::test
