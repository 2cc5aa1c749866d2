#include "platform/drives.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/win_types.h"
#include "scratch_folder.h"

namespace {

using kc::test::PlatformState;
using kc::test::ScratchFolder;
using win::DriveEntry;
using win::DriveTable;

std::string Describe(const DriveTable& table) {
  std::string out;
  for (const auto& e : table.Entries()) out += e.name + "=" + e.hostFolder + ";";
  return out;
}

class DriveTableTest : public ::testing::Test {
 protected:
  PlatformState state_;
  ScratchFolder scratch_;
};

TEST_F(DriveTableTest, EnvironmentListsDrivesAndSharesIgnoringBadEntries) {
  ::setenv("KITCOMP_DRIVES",
           "c=/srv/kits;D:=/mnt/data/;\\\\srv\\share=/mnt/s;e=relative/folder;bogus;q=;"
           "//host/pub=/net//pub/./x;C=/srv/other",
           1);
  DriveTable::Reload();
  EXPECT_EQ(Describe(DriveTable::Current()),
            "C:=/srv/other;D:=/mnt/data;\\\\srv\\share=/mnt/s;\\\\host\\pub=/net/pub/x;");
  EXPECT_EQ(DriveTable::Current().HostFolder('d'), "/mnt/data");
  EXPECT_EQ(DriveTable::Current().HostFolder('D'), "/mnt/data");
  EXPECT_EQ(DriveTable::Current().HostFolder('e'), std::nullopt);
  EXPECT_EQ(DriveTable::Current().Letters(), (std::vector<char>{'c', 'd'}));
}

TEST_F(DriveTableTest, IniFileUnderXdgConfigHomeIsReadWhenTheEnvironmentIsSilent) {
  ::unsetenv("KITCOMP_DRIVES");
  ::setenv("XDG_CONFIG_HOME", scratch_.path().c_str(), 1);
  kc::test::WriteFile(scratch_ / "kitcomp/drives.ini",
                      "x=/not/in/a/section\r\n[Other]\r\nk=/wrong\r\n[ drives ]\r\n; comment=/no\r\n"
                      " K = /kits/here/ \r\n\\\\nas\\vol=/mnt/nas\r\nw=relative\r\n");
  DriveTable::Reload();
  EXPECT_EQ(Describe(DriveTable::Current()), "K:=/kits/here;\\\\nas\\vol=/mnt/nas;");
}

TEST_F(DriveTableTest, DefaultIsHomeAsCAndHostRootAsZ) {
  ::unsetenv("KITCOMP_DRIVES");
  ::setenv("XDG_CONFIG_HOME", (scratch_ / "empty").c_str(), 1);
  ::setenv("HOME", (scratch_ / "home/").c_str(), 1);
  DriveTable::Reload();
  EXPECT_EQ(Describe(DriveTable::Current()), "C:=" + scratch_.path() + "/home;Z:=/;");
}

TEST_F(DriveTableTest, SetReplacesTheTableAndChecksItsEntries) {
  DriveTable::Set({{"m", "/media/m/"}, {"N:", "not/absolute"}});
  EXPECT_EQ(Describe(DriveTable::Current()), "M:=/media/m;");
  EXPECT_TRUE(DriveTable::IsFloppy('a'));
  EXPECT_TRUE(DriveTable::IsFloppy('B'));
  EXPECT_FALSE(DriveTable::IsFloppy('c'));
}

// The path mapping, with C: and D: in a scratch folder, a share, and the
// current directory at C:\work.
class PathMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c_ = scratch_ / "c";
    d_ = scratch_ / "d";
    s_ = scratch_ / "s";
    for (const auto& folder : {c_ + "/work", d_, s_}) std::filesystem::create_directories(folder);
    DriveTable::Set({{"C:", c_}, {"d", d_}, {"\\\\srv\\share", s_}});
    ASSERT_EQ(::chdir((c_ + "/work").c_str()), 0);
  }
  PlatformState state_;
  ScratchFolder scratch_;
  std::string c_, d_, s_;
};

struct MappingCase {
  const char* windows;
  const char* host;  // below the scratch folder; nullptr: refused
  win::DWORD error;
};

class ToHostPathTable : public PathMappingTest, public ::testing::WithParamInterface<MappingCase> {};

TEST_P(ToHostPathTable, MapsOrRefuses) {
  const MappingCase& c = GetParam();
  win::SetLastError(0);
  auto host = win::ToHostPath(c.windows);
  if (c.host) {
    ASSERT_TRUE(host.has_value()) << c.windows << " error " << win::GetLastError();
    EXPECT_EQ(*host, scratch_.path() + c.host) << c.windows;
  } else {
    EXPECT_FALSE(host.has_value()) << c.windows << " gave " << *host;
    EXPECT_EQ(win::GetLastError(), c.error) << c.windows;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ToHostPathTable,
    ::testing::Values(MappingCase{"C:\\a\\b", "/c/a/b", 0}, MappingCase{"c:/a/b", "/c/a/b", 0},
                      MappingCase{"C:\\\\a\\\\\\b\\", "/c/a/b", 0}, MappingCase{"C:\\", "/c", 0},
                      MappingCase{"d:\\", "/d", 0}, MappingCase{"C:\\a\\.\\..\\..\\..\\b", "/c/b", 0},
                      MappingCase{"\\x\\y", "/c/x/y", 0}, MappingCase{"rel\\f", "/c/work/rel/f", 0},
                      MappingCase{"..\\up", "/c/up", 0}, MappingCase{"..\\..\\..\\up", "/c/up", 0},
                      MappingCase{".", "/c/work", 0}, MappingCase{"C:x", "/c/work/x", 0},
                      MappingCase{"D:x\\y", "/d/x/y", 0}, MappingCase{"\\\\srv\\share\\q\\r", "/s/q/r", 0},
                      MappingCase{"\\\\SRV\\Share", "/s", 0}, MappingCase{"//srv/share/q", "/s/q", 0},
                      MappingCase{"\\\\srv\\other\\q", nullptr, win::ERROR_PATH_NOT_FOUND},
                      MappingCase{"\\\\srv", nullptr, win::ERROR_PATH_NOT_FOUND},
                      MappingCase{"Q:\\a", nullptr, win::ERROR_INVALID_DRIVE},
                      MappingCase{"a:\\", nullptr, win::ERROR_INVALID_DRIVE},
                      MappingCase{"", nullptr, win::ERROR_PATH_NOT_FOUND}));

TEST_F(PathMappingTest, PathsOfMaxPathCharactersOrMoreAreRefused) {
  std::string longest = "C:\\" + std::string(win::MAX_PATH - 4, 'x');  // 259 characters
  ASSERT_EQ(longest.size(), win::MAX_PATH - 1);
  auto host = win::ToHostPath(longest);
  ASSERT_TRUE(host.has_value());
  EXPECT_EQ(*host, c_ + "/" + std::string(win::MAX_PATH - 4, 'x'));

  win::SetLastError(0);
  EXPECT_FALSE(win::ToHostPath(longest + "y").has_value());
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILENAME_EXCED_RANGE);
  EXPECT_FALSE(win::ToFullWindowsPath(longest + "y").has_value());
}

TEST_F(PathMappingTest, ComponentsDifferingInCaseAreFoundAndMissingOnesKept) {
  kc::test::WriteFile(c_ + "/Kits/Setup.INI", "x");
  kc::test::WriteFile(c_ + "/dup/ABC", "upper");
  kc::test::WriteFile(c_ + "/dup/abc", "lower");
  EXPECT_EQ(win::ToHostPath("C:\\KITS\\setup.ini"), c_ + "/Kits/Setup.INI");
  EXPECT_EQ(win::ToHostPath("C:\\kits\\New\\NEWER\\file.txt"), c_ + "/Kits/New/NEWER/file.txt");
  // Several candidates: the first in byte order; an exact match always wins.
  EXPECT_EQ(win::ToHostPath("C:\\dup\\Abc"), c_ + "/dup/ABC");
  EXPECT_EQ(win::ToHostPath("C:\\dup\\abc"), c_ + "/dup/abc");
}

TEST_F(PathMappingTest, RootRelativePathsFailWhenTheCurrentDirectoryIsOnNoDrive) {
  ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
  win::SetLastError(0);
  EXPECT_FALSE(win::ToHostPath("\\a").has_value());
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  // A relative path still means the real current directory.
  EXPECT_EQ(win::ToHostPath("c\\x"), c_ + "/x");
  EXPECT_FALSE(win::ToFullWindowsPath("c\\x").has_value());
}

TEST_F(PathMappingTest, FullWindowsPathCollapsesWithoutTouchingTheDisk) {
  EXPECT_EQ(win::ToFullWindowsPath("rel\\..\\x\\.\\y"), "C:\\work\\x\\y");
  EXPECT_EQ(win::ToFullWindowsPath("\\"), "C:\\");
  EXPECT_EQ(win::ToFullWindowsPath("d:/a//b"), "D:\\a\\b");
  EXPECT_EQ(win::ToFullWindowsPath("\\\\SRV\\share\\z"), "\\\\srv\\share\\z");
}

TEST_F(DriveTableTest, ToWindowsPathTakesTheLongestFolderOnComponentBoundaries) {
  std::string home = scratch_ / "home/u";
  DriveTable::Set({{"Z:", "/"}, {"c", home}, {"d", home + "/kits"}, {"\\\\srv\\share", scratch_ / "net"}});
  EXPECT_EQ(win::ToWindowsPath(home + "/docs/a.txt"), "C:\\docs\\a.txt");
  EXPECT_EQ(win::ToWindowsPath(home + "/kits/a"), "D:\\a");
  EXPECT_EQ(win::ToWindowsPath(home + "/kitsune"), "C:\\kitsune");
  EXPECT_EQ(win::ToWindowsPath(home), "C:\\");
  EXPECT_EQ(win::ToWindowsPath(home + "/"), "C:\\");
  std::string outside = "Z:" + home + "2/x";
  std::replace(outside.begin(), outside.end(), '/', '\\');
  EXPECT_EQ(win::ToWindowsPath(home + "2/x"), outside);
  EXPECT_EQ(win::ToWindowsPath(scratch_ / "net/x/y"), "\\\\srv\\share\\x\\y");
  EXPECT_EQ(win::ToWindowsPath("/etc/./x/../hosts"), "Z:\\etc\\hosts");

  DriveTable::Set({{"c", home}});
  win::SetLastError(0);
  EXPECT_EQ(win::ToWindowsPath(home + "2/x"), std::nullopt);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
  std::filesystem::create_directories(home);
  ASSERT_EQ(::chdir(home.c_str()), 0);
  EXPECT_EQ(win::ToWindowsPath("sub/f"), "C:\\sub\\f");
}

// A kit's own table: its letters on top of the user's, relative folders taken
// against the table's folder, and the result handed on to the tools started.
TEST_F(DriveTableTest, KitDrivesAreAddedRelativeToTheirTableAndHandedOnToTheTools) {
  const std::string kit = scratch_ / "my builds/kit";
  kc::test::WriteFile(kit + "/kitcomp/drives.ini", "[Drives]\r\nk=../..\r\nC=/srv/kits\r\n");
  DriveTable::Set({{"C:", scratch_ / "home"}, {"Z:", "/"}});
  EXPECT_EQ(DriveTable::AddKitDrives("Z:" + kit + "/kitcomp/none.ini"), "");
  EXPECT_EQ(Describe(DriveTable::Current()), "C:=" + scratch_ / "home" + ";Z:=/;") << "a missing table adds nothing";

  EXPECT_EQ(DriveTable::AddKitDrives("Z:" + kit + "/kitcomp/drives.ini"), "");
  const std::string expected = "C:=/srv/kits;Z:=/;K:=" + scratch_ / "my builds";
  EXPECT_EQ(Describe(DriveTable::Current()), expected + ";");
  EXPECT_EQ(std::string(std::getenv("KITCOMP_DRIVES")), expected);
  DriveTable::Reload();
  EXPECT_EQ(Describe(DriveTable::Current()), expected + ";") << "a reload (and a tool) reads the same table";

  kc::test::WriteFile(kit + "/kitcomp/bad.ini", "[Drives]\r\nq=/a;b\r\n");
  EXPECT_NE(DriveTable::AddKitDrives("Z:" + kit + "/kitcomp/bad.ini"), "");
  EXPECT_EQ(Describe(DriveTable::Current()), expected + ";") << "a refused table changes nothing";
}

}  // namespace
