#include "engine/directory_utils.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine_test_support.h"
#include "platform/files.h"

namespace fs = std::filesystem;
using kc::test::TempDrive;

namespace kc::engine {
namespace {

TEST(EmptyDirectory, RemovesFilesAndFirstLevelFoldersButNotDeeperOnes) {
  TempDrive drive;
  drive.Write("img/a.txt", "a");
  drive.Write("img/sub/b.txt", "b");
  drive.Write("img/deep/inner/c.txt", "c");
  EmptyDirectory(TempDrive::Win("img"));
  EXPECT_TRUE(drive.Exists("img"));
  EXPECT_FALSE(drive.Exists("img/a.txt"));
  EXPECT_FALSE(drive.Exists("img/sub"));
  // Deeper folders are not entered: the nested folder and its parent stay.
  EXPECT_TRUE(drive.Exists("img/deep/inner/c.txt"));
  EXPECT_EQ(drive.List("img"), std::vector<std::string>{"deep"});
}

TEST(EmptyDirectory, AcceptsATrailingBackslashAndIgnoresAMissingFolder) {
  TempDrive drive;
  drive.Write("img/a.txt", "a");
  EmptyDirectory(TempDrive::Win("img\\"));
  EXPECT_TRUE(drive.List("img").empty());
  EmptyDirectory(TempDrive::Win("absent"));
  EXPECT_FALSE(drive.Exists("absent"));
}

TEST(EmptyDirectory, LeavesAReadOnlyFile) {
  TempDrive drive;
  drive.Write("img/locked.txt", "keep");
  fs::permissions(drive.Host("img/locked.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
  EmptyDirectory(TempDrive::Win("img"));
  EXPECT_EQ(drive.Read("img/locked.txt"), "keep");
}

TEST(RemoveTree, RemovesEveryLevelButNothingALinkPointsAt) {
  TempDrive drive;
  drive.Write("precious/data.txt", "keep me");
  drive.Write("work/a/b/c/d/deep.txt", "deep");
  drive.Write("work/.hidden", "h");
  fs::create_directory_symlink(drive.Host("precious"), drive.Host("work/a/linked"));
  EXPECT_TRUE(RemoveTree(TempDrive::Win("work\\")));
  EXPECT_FALSE(drive.Exists("work"));
  EXPECT_EQ(drive.Read("precious/data.txt"), "keep me");
  EXPECT_TRUE(RemoveTree(TempDrive::Win("work")));  // nothing there is no failure
}

TEST(EmptyDirectory, RemovesLinksWithoutTouchingWhatTheyPointAt) {
  TempDrive drive;
  drive.Write("precious/data.txt", "keep me");
  drive.Write("precious/inner/more.txt", "keep me too");
  drive.Write("img/sub/x.txt", "x");
  fs::create_directory_symlink(drive.Host("precious"), drive.Host("img/linked"));
  fs::create_directory_symlink(drive.Host("precious"), drive.Host("img/sub/linked"));
  fs::create_symlink(drive.Host("precious/data.txt"), drive.Host("img/file-link"));
  EmptyDirectory(TempDrive::Win("img"));
  EXPECT_TRUE(drive.List("img").empty());
  EXPECT_EQ(drive.Read("precious/data.txt"), "keep me");
  EXPECT_EQ(drive.Read("precious/inner/more.txt"), "keep me too");
}

TEST(EmptyDirectory, PausesBeforeEveryTopLevelEntry) {
  TempDrive drive;
  for (int i = 0; i < 4; ++i) drive.Write("img/f" + std::to_string(i), "x");
  SetEmptyDirectoryPause(20);
  const auto start = std::chrono::steady_clock::now();
  EmptyDirectory(TempDrive::Win("img"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  SetEmptyDirectoryPause(0);
  // Four files plus "." and "..".
  EXPECT_GE(elapsed, std::chrono::milliseconds(6 * 20));
}

TEST(CopyDirectoryFiles, CopiesFilesInNameOrderAndPassesOverFolders) {
  TempDrive drive;
  drive.Write("src/b.txt", "b");
  drive.Write("src/A.txt", "a");
  drive.Write("src/folder/c.txt", "c");
  fs::create_directories(drive.Host("dst"));
  std::vector<std::string> copied;
  std::vector<std::string> failed;
  EXPECT_TRUE(CopyDirectoryFiles(
      TempDrive::Win("src"), TempDrive::Win("dst"), [&](const std::string& path) { copied.push_back(path); },
      [&](const std::string& path, const std::string&) { failed.push_back(path); }));
  EXPECT_EQ(copied, (std::vector<std::string>{"T:\\dst\\A.txt", "T:\\dst\\b.txt"}));
  EXPECT_TRUE(failed.empty());
  EXPECT_FALSE(drive.Exists("dst/folder"));
}

TEST(CopyDirectoryFiles, YieldsNothingForFoldersOnlyOrAMissingSource) {
  TempDrive drive;
  drive.Write("src/one/x", "x");
  fs::create_directories(drive.Host("dst"));
  std::vector<std::string> copied;
  EXPECT_TRUE(CopyDirectoryFiles(TempDrive::Win("src"), TempDrive::Win("dst"),
                                 [&](const std::string& path) { copied.push_back(path); }));
  EXPECT_TRUE(copied.empty());
  EXPECT_FALSE(CopyDirectoryFiles(TempDrive::Win("absent"), TempDrive::Win("dst"),
                                  [&](const std::string& path) { copied.push_back(path); }));
  EXPECT_TRUE(copied.empty());
}

TEST(CopyDirectoryFiles, ReportsAFileThatCannotBeCopied) {
  TempDrive drive;
  drive.Write("src/a.txt", "a");
  std::vector<std::string> failed;
  CopyDirectoryFiles(TempDrive::Win("src"), TempDrive::Win("missing-destination"), {},
                     [&](const std::string& path, const std::string&) { failed.push_back(path); });
  EXPECT_EQ(failed, std::vector<std::string>{"T:\\src\\a.txt"});
}

TEST(MakeDirectory, CreatesOneLevelAndFailsOnExistingOrOrphan) {
  TempDrive drive;
  EXPECT_EQ(MakeDirectory(TempDrive::Win("one")), 0);
  EXPECT_EQ(MakeDirectory(TempDrive::Win("one")), -1);
  EXPECT_EQ(MakeDirectory(TempDrive::Win("two\\three")), -1);
  EXPECT_TRUE(IsDirectory(TempDrive::Win("one")));
}

struct PathSplit {
  const char* path;
  const char* fileName;
  const char* directory;
};

class PathParts : public ::testing::TestWithParam<PathSplit> {};

TEST_P(PathParts, SplitAtTheLastBackslashOrSlash) {
  EXPECT_EQ(FileNamePart(GetParam().path), GetParam().fileName);
  EXPECT_EQ(DirectoryPart(GetParam().path), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(Cases, PathParts,
                         ::testing::Values(PathSplit{"C:\\a\\b\\anim.gif", "anim.gif", "C:\\a\\b"},
                                           PathSplit{"C:\\anim.gif", "anim.gif", "C:"},
                                           PathSplit{"C:\\dir\\", "", "C:\\dir"}, PathSplit{"anim.gif", "anim.gif", ""},
                                           PathSplit{"", "", ""},
                                           PathSplit{"\\\\srv\\share\\main.htm", "main.htm", "\\\\srv\\share"},
                                           PathSplit{"C:/files/My Tool.exe", "My Tool.exe", "C:/files"},
                                           PathSplit{"C:\\kits/dial\\main.htm", "main.htm", "C:\\kits/dial"},
                                           PathSplit{"C:\\kits\\dial/", "", "C:\\kits\\dial"}));

TEST(FullOutputPath, KeepsAPathThatNamesItsRootAndResolvesAnyOther) {
  TempDrive drive;
  drive.Write("work/keep", "");
  ASSERT_TRUE(win::SetCurrentDirectoryA("T:\\work"));
  // Kept as written, doubled or trailing backslashes included.
  EXPECT_EQ(FullOutputPath("T:\\out\\kits\\"), "T:\\out\\kits\\");
  EXPECT_EQ(FullOutputPath("T:\\out\\\\kits"), "T:\\out\\\\kits");
  EXPECT_EQ(FullOutputPath("\\\\server\\share\\kits"), "\\\\server\\share\\kits");
  EXPECT_EQ(FullOutputPath(""), "");
  // Made full against the current directory.
  EXPECT_EQ(FullOutputPath("images\\kits"), "T:\\work\\images\\kits");
  EXPECT_EQ(FullOutputPath("..\\images"), "T:\\images");
  EXPECT_EQ(FullOutputPath("\\images"), "T:\\images");
  EXPECT_EQ(FullOutputPath("T:/out/kits"), "T:\\out\\kits");
  // A drive that does not exist cannot be resolved: kept for Finish to refuse.
  EXPECT_EQ(FullOutputPath("Q:images"), "Q:images");
}

TEST(MeasureDirectory, CountsFilesAndBytesRecursivelyWithoutFollowingLinks) {
  TempDrive drive;
  drive.Write("img/a", "12345");
  drive.Write("img/sub/b", "123");
  drive.Write("outside/big", std::string(1000, 'x'));
  fs::create_directory_symlink(drive.Host("outside"), drive.Host("img/link"));
  const DirectorySize size = MeasureDirectory(TempDrive::Win("img\\"));
  EXPECT_EQ(size.files, 2u);
  EXPECT_EQ(size.bytes, 8u);
}

}  // namespace
}  // namespace kc::engine
