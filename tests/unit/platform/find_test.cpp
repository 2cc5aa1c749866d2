#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

using kc::test::PlatformState;
using kc::test::ScratchFolder;
using kc::test::WriteFile;

// C:\dir holds files, a folder, links and a read-only and a hidden file.
class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c_ = scratch_ / "c";
    std::string dir = c_ + "/dir";
    for (const char* name : {"README", "setup", "setup.ini", "Zeta.z", "alpha.z", ".hidden", "a.TXT", "A.txt"}) {
      WriteFile(dir + "/" + name, "");
    }
    WriteFile(dir + "/setup.exe", "12345");
    WriteFile(dir + "/ro.txt", "");
    ::chmod((dir + "/ro.txt").c_str(), 0444);
    std::filesystem::create_directories(dir + "/sub");
    ::symlink("sub", (dir + "/link").c_str());
    ::symlink("setup.exe", (dir + "/flink").c_str());
    struct timespec times[2] = {{1234567890, 0}, {1234567890, 0}};
    ::utimensat(AT_FDCWD, (dir + "/setup.exe").c_str(), times, 0);
    win::DriveTable::Set({{"C:", c_}});
    ASSERT_EQ(::chdir(c_.c_str()), 0);
  }

  std::vector<std::string> List(const char* pattern) {
    std::vector<std::string> names;
    win::WIN32_FIND_DATAA data;
    win::HANDLE h = win::FindFirstFileA(pattern, &data);
    if (h == win::INVALID_HANDLE_VALUE) return names;
    do {
      names.emplace_back(data.cFileName);
    } while (win::FindNextFileA(h, &data));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
    EXPECT_TRUE(win::FindClose(h));
    return names;
  }

  win::WIN32_FIND_DATAA Find(const char* path) {
    win::WIN32_FIND_DATAA data;
    win::HANDLE h = win::FindFirstFileA(path, &data);
    EXPECT_NE(h, win::INVALID_HANDLE_VALUE) << path;
    if (h != win::INVALID_HANDLE_VALUE) win::FindClose(h);
    return data;
  }

  PlatformState state_;
  ScratchFolder scratch_;
  std::string c_;
};

using Names = std::vector<std::string>;

TEST_F(FindTest, EverythingComesSortedWithoutRegardToCaseAfterDotAndDotDot) {
  Names all = {".",      "..",     ".hidden", "A.txt",     "a.TXT",     "alpha.z", "flink", "link",
               "README", "ro.txt", "setup",   "setup.exe", "setup.ini", "sub",     "Zeta.z"};
  EXPECT_EQ(List("C:\\dir\\*.*"), all);
  EXPECT_EQ(List("C:\\DIR\\*"), all);
  EXPECT_EQ(List("dir/*.*"), all);
}

// The Windows file system collates names in upper case: the characters
// between "Z" and "a" ("[", "_", "`") come after every letter, not between
// the cases.
TEST_F(FindTest, NamesCollateInUpperCaseAsOnWindows) {
  const std::string dir = c_ + "/order";
  for (const char* name : {"_under", "beta", "Alpha", "[x]", "zeta", "9", "~tilde"}) WriteFile(dir + "/" + name, "");
  EXPECT_EQ(List("C:\\order\\*.*"), (Names{".", "..", "9", "Alpha", "beta", "zeta", "[x]", "_under", "~tilde"}));
}

struct PatternCase {
  const char* pattern;
  Names names;
};

class FindPatterns : public FindTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(FindPatterns, MatchLikeWindows) {
  EXPECT_EQ(List(GetParam().pattern), GetParam().names) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, FindPatterns,
    ::testing::Values(PatternCase{"C:\\dir\\*.z", {"alpha.z", "Zeta.z"}},
                      PatternCase{"C:\\dir\\setup.*", {"setup", "setup.exe", "setup.ini"}},
                      PatternCase{"C:\\dir\\?e*", {"README", "setup", "setup.exe", "setup.ini", "Zeta.z"}},
                      PatternCase{"C:\\dir\\*.TXT", {"A.txt", "a.TXT", "ro.txt"}},
                      PatternCase{"C:\\dir\\s?tup.???", {"setup.exe", "setup.ini"}},
                      PatternCase{"C:\\dir\\*e*.*i*", {"setup.ini"}}, PatternCase{"C:\\dir\\SETUP", {"setup"}},
                      PatternCase{"C:\\dir\\*.", {".", "..", "flink", "link", "README", "setup", "sub"}},
                      PatternCase{"C:\\dir\\?", {"."}}));

TEST_F(FindTest, DriveRootsHaveNoDotEntries) {
  EXPECT_EQ(List("C:\\*.*"), (Names{"dir"}));
  EXPECT_EQ(List("\\*"), (Names{"dir"}));
}

TEST_F(FindTest, AttributesSizesAndTimesAreFilled) {
  using namespace win;
  EXPECT_EQ(Find("C:\\dir\\sub").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Find("C:\\dir\\link").dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Find("C:\\dir\\flink").dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(Find("C:\\dir\\ro.txt").dwFileAttributes, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Find("C:\\dir\\.hidden").dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Find("C:\\dir\\README").dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Find("C:\\dir\\*.*").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);  // "."
  WIN32_FIND_DATAA exe = Find("C:\\dir\\setup.exe");
  EXPECT_EQ(exe.nFileSizeLow, 5u);
  EXPECT_EQ(exe.nFileSizeHigh, 0u);
  EXPECT_EQ(exe.ftLastWriteTime, 1234567890);
}

TEST_F(FindTest, NoMatchAndMissingFolderAreDistinguished) {
  win::WIN32_FIND_DATAA data;
  win::SetLastError(0);
  EXPECT_EQ(win::FindFirstFileA("C:\\dir\\*.none", &data), win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(win::FindFirstFileA("C:\\nodir\\*.*", &data), win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(win::FindFirstFileA("C:\\dir\\README\\*.*", &data), win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
  std::string tooLong = "C:\\dir\\" + std::string(win::MAX_PATH, 'x') + "\\*.*";
  EXPECT_EQ(win::FindFirstFileA(tooLong.c_str(), &data), win::INVALID_HANDLE_VALUE);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILENAME_EXCED_RANGE);
}

TEST_F(FindTest, DeletingWhileEnumeratingLosesNothingAndHandlesCloseOnce) {
  win::WIN32_FIND_DATAA data;
  win::HANDLE h = win::FindFirstFileA("C:\\dir\\*.z", &data);
  ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
  Names seen = {data.cFileName};
  ::unlink((c_ + "/dir/alpha.z").c_str());
  ::unlink((c_ + "/dir/Zeta.z").c_str());
  while (win::FindNextFileA(h, &data)) seen.emplace_back(data.cFileName);
  EXPECT_EQ(seen, (Names{"alpha.z", "Zeta.z"}));
  EXPECT_FALSE(win::FindNextFileA(h, &data));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
  EXPECT_TRUE(win::FindClose(h));
  EXPECT_FALSE(win::FindClose(h));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  EXPECT_FALSE(win::FindNextFileA(h, &data));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

}  // namespace
