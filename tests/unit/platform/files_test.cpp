#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "platform/drives.h"
#include "scratch_folder.h"

namespace {

using kc::test::Exists;
using kc::test::PlatformState;
using kc::test::ReadFile;
using kc::test::ScratchFolder;
using kc::test::WriteFile;

// C: is the folder "c" of a scratch folder and the current directory.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c_ = scratch_ / "c";
    std::filesystem::create_directories(c_);
    win::DriveTable::Set({{"C:", c_}});
    ASSERT_EQ(::chdir(c_.c_str()), 0);
  }
  size_t EntryCount(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
  }
  // Expects the call to have failed with `error`.
  void ExpectFailure(win::BOOL result, win::DWORD error, const char* what) {
    EXPECT_FALSE(result) << what;
    EXPECT_EQ(win::GetLastError(), error) << what;
  }

  PlatformState state_;
  ScratchFolder scratch_;
  std::string c_;
};

TEST_F(FilesTest, CopyKeepsContentModificationTimeAndMode) {
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
  WriteFile(c_ + "/src.bin", big);
  ::chmod((c_ + "/src.bin").c_str(), 0750);
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (c_ + "/src.bin").c_str(), times, 0), 0);

  ASSERT_TRUE(win::CopyFileA("C:\\src.bin", "C:\\copy.bin", win::TRUE));
  EXPECT_EQ(ReadFile(c_ + "/copy.bin"), big);
  struct stat st {};
  ASSERT_EQ(::stat((c_ + "/copy.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(st.st_mode & 07777, 0750u);
  EXPECT_EQ(EntryCount(c_), 2u);
}

TEST_F(FilesTest, WriteTimeIsReadAndSetByName) {
  WriteFile(c_ + "/made.ini", "[s]\r\n");
  ASSERT_TRUE(win::SetFileWriteTime("C:\\MADE.ini", 1234567890));
  std::int64_t seconds = 0;
  ASSERT_TRUE(win::GetFileWriteTime("C:\\made.ini", &seconds));
  EXPECT_EQ(seconds, 1234567890);
  ExpectFailure(win::GetFileWriteTime("C:\\absent.ini", &seconds), win::ERROR_FILE_NOT_FOUND, "absent");
  ExpectFailure(win::SetFileWriteTime("Q:\\made.ini", 1), win::ERROR_INVALID_DRIVE, "no such drive");
}

TEST_F(FilesTest, MoveReplacesAFileOnlyWhenAskedAndNeverAFolder) {
  WriteFile(c_ + "/new.iso", "new");
  WriteFile(c_ + "/old.iso", "old");
  std::filesystem::create_directories(c_ + "/folder.iso");
  ExpectFailure(win::MoveFileExA("C:\\new.iso", "C:\\old.iso", 0), win::ERROR_ALREADY_EXISTS, "not asked");
  ExpectFailure(win::MoveFileExA("C:\\new.iso", "C:\\folder.iso", win::MOVEFILE_REPLACE_EXISTING),
                win::ERROR_ACCESS_DENIED, "a folder");
  ExpectFailure(win::MoveFileExA("C:\\absent.iso", "C:\\x.iso", 0), win::ERROR_FILE_NOT_FOUND, "absent");
  ASSERT_TRUE(win::MoveFileExA("C:\\new.iso", "C:\\old.iso", win::MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadFile(c_ + "/old.iso"), "new");
  EXPECT_FALSE(Exists(c_ + "/new.iso"));

  win::BOOL executable = win::TRUE;
  ASSERT_TRUE(win::GetFileExecutable("C:\\old.iso", &executable));
  EXPECT_FALSE(executable);
  ::chmod((c_ + "/old.iso").c_str(), 0710);
  ASSERT_TRUE(win::GetFileExecutable("C:\\old.iso", &executable));
  EXPECT_TRUE(executable);
}

TEST_F(FilesTest, CopyOverAnExistingFileOnlyWhenAllowed) {
  WriteFile(c_ + "/a.txt", "new");
  WriteFile(c_ + "/b.txt", "old content");
  win::SetLastError(0);
  ExpectFailure(win::CopyFileA("C:\\a.txt", "C:\\b.txt", win::TRUE), win::ERROR_FILE_EXISTS, "fail if exists");
  EXPECT_EQ(ReadFile(c_ + "/b.txt"), "old content");
  ASSERT_TRUE(win::CopyFileA("a.txt", "b.txt", win::FALSE));
  EXPECT_EQ(ReadFile(c_ + "/b.txt"), "new");
  EXPECT_EQ(EntryCount(c_), 2u);
}

TEST_F(FilesTest, CopyOntoTheSameFileUnderAnotherNameFailsAndKeepsIt) {
  WriteFile(c_ + "/choices.tmp", "precious");
  ASSERT_EQ(::link((c_ + "/choices.tmp").c_str(), (c_ + "/hard.tmp").c_str()), 0);
  ExpectFailure(win::CopyFileA("C:\\choices.tmp", "C:\\CHOICES.TMP", win::FALSE), win::ERROR_SHARING_VIOLATION,
                "case variant");
  ExpectFailure(win::CopyFileA("C:\\choices.tmp", "C:\\sub\\..\\\\choices.tmp", win::FALSE),
                win::ERROR_SHARING_VIOLATION, "same path");
  ExpectFailure(win::CopyFileA("C:\\hard.tmp", "C:\\choices.tmp", win::FALSE), win::ERROR_SHARING_VIOLATION,
                "hard link");
  EXPECT_EQ(ReadFile(c_ + "/choices.tmp"), "precious");
  EXPECT_EQ(EntryCount(c_), 2u);
}

TEST_F(FilesTest, CopyRefusesFoldersMissingFilesAndReadOnlyTargets) {
  std::filesystem::create_directories(c_ + "/dir");
  WriteFile(c_ + "/f.txt", "f");
  WriteFile(c_ + "/ro.txt", "ro");
  ::chmod((c_ + "/ro.txt").c_str(), 0444);
  ExpectFailure(win::CopyFileA("C:\\dir", "C:\\x", win::FALSE), win::ERROR_ACCESS_DENIED, "folder source");
  ExpectFailure(win::CopyFileA("C:\\f.txt", "C:\\dir", win::FALSE), win::ERROR_ACCESS_DENIED, "folder target");
  ExpectFailure(win::CopyFileA("C:\\f.txt", "C:\\ro.txt", win::FALSE), win::ERROR_ACCESS_DENIED, "read-only");
  ExpectFailure(win::CopyFileA("C:\\none.txt", "C:\\x", win::FALSE), win::ERROR_FILE_NOT_FOUND, "no source");
  ExpectFailure(win::CopyFileA("C:\\f.txt", "C:\\no\\x", win::FALSE), win::ERROR_PATH_NOT_FOUND, "no folder");
  ExpectFailure(win::CopyFileA("C:\\f.txt", "Q:\\x", win::FALSE), win::ERROR_INVALID_DRIVE, "no drive");
  EXPECT_EQ(ReadFile(c_ + "/ro.txt"), "ro");
  EXPECT_TRUE(std::filesystem::is_directory(c_ + "/dir"));
  EXPECT_EQ(EntryCount(c_), 3u);
}

TEST_F(FilesTest, DeleteRemovesFilesButNotFoldersOrReadOnlyFiles) {
  WriteFile(c_ + "/f.txt", "f");
  WriteFile(c_ + "/ro.txt", "ro");
  ::chmod((c_ + "/ro.txt").c_str(), 0444);
  std::filesystem::create_directories(c_ + "/dir");
  EXPECT_TRUE(win::DeleteFileA("C:\\F.TXT"));
  EXPECT_FALSE(Exists(c_ + "/f.txt"));
  ExpectFailure(win::DeleteFileA("C:\\ro.txt"), win::ERROR_ACCESS_DENIED, "read-only");
  EXPECT_TRUE(Exists(c_ + "/ro.txt"));
  ExpectFailure(win::DeleteFileA("C:\\dir"), win::ERROR_ACCESS_DENIED, "folder");
  ExpectFailure(win::DeleteFileA("C:\\f.txt"), win::ERROR_FILE_NOT_FOUND, "missing");
  ExpectFailure(win::DeleteFileA("C:\\none\\f.txt"), win::ERROR_PATH_NOT_FOUND, "missing folder");
}

TEST_F(FilesTest, SymbolicLinksAreRemovedAsLinksAndTheirTargetsKept) {
  WriteFile(c_ + "/target/inside.txt", "kept");
  ASSERT_EQ(::symlink((c_ + "/target").c_str(), (c_ + "/link1").c_str()), 0);
  ASSERT_EQ(::symlink((c_ + "/target").c_str(), (c_ + "/link2").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (c_ + "/dangling").c_str()), 0);
  EXPECT_TRUE(win::DeleteFileA("C:\\link1"));
  EXPECT_TRUE(win::RemoveDirectoryA("C:\\link2"));
  EXPECT_TRUE(win::DeleteFileA("C:\\dangling"));
  EXPECT_FALSE(Exists(c_ + "/link1"));
  EXPECT_FALSE(Exists(c_ + "/link2"));
  EXPECT_FALSE(Exists(c_ + "/dangling"));
  EXPECT_EQ(ReadFile(c_ + "/target/inside.txt"), "kept");
}

TEST_F(FilesTest, FoldersAreCreatedOneLevelAndRemovedOnlyWhenEmpty) {
  EXPECT_TRUE(win::CreateDirectoryA("C:\\New", nullptr));
  EXPECT_TRUE(std::filesystem::is_directory(c_ + "/New"));
  ExpectFailure(win::CreateDirectoryA("C:\\new", nullptr), win::ERROR_ALREADY_EXISTS, "exists");
  WriteFile(c_ + "/file", "");
  ExpectFailure(win::CreateDirectoryA("C:\\file", nullptr), win::ERROR_ALREADY_EXISTS, "file there");
  ExpectFailure(win::CreateDirectoryA("C:\\a\\b", nullptr), win::ERROR_PATH_NOT_FOUND, "no parent");
  ExpectFailure(win::CreateDirectoryA("", nullptr), win::ERROR_PATH_NOT_FOUND, "empty");
  ExpectFailure(win::CreateDirectoryA("Q:\\x", nullptr), win::ERROR_INVALID_DRIVE, "no drive");
  EXPECT_FALSE(win::CreateDirectoryA("C:", nullptr));
  std::string tooLong = "C:\\" + std::string(win::MAX_PATH, 'd');
  ExpectFailure(win::CreateDirectoryA(tooLong.c_str(), nullptr), win::ERROR_FILENAME_EXCED_RANGE, "too long");

  WriteFile(c_ + "/New/x", "");
  ExpectFailure(win::RemoveDirectoryA("C:\\new"), win::ERROR_DIR_NOT_EMPTY, "not empty");
  ExpectFailure(win::RemoveDirectoryA("C:\\new\\x"), win::ERROR_DIRECTORY, "a file");
  ::unlink((c_ + "/New/x").c_str());
  EXPECT_TRUE(win::RemoveDirectoryA("C:\\NEW"));
  EXPECT_FALSE(Exists(c_ + "/New"));
}

TEST_F(FilesTest, AttributesFollowModeBitsAndNames) {
  WriteFile(c_ + "/ro.txt", "");
  ::chmod((c_ + "/ro.txt").c_str(), 0444);
  WriteFile(c_ + "/.hidden", "");
  WriteFile(c_ + "/plain", "");
  std::filesystem::create_directories(c_ + "/dir");
  EXPECT_EQ(win::GetFileAttributesA("C:\\ro.txt"), win::FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(win::GetFileAttributesA("C:\\.hidden"), win::FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(win::GetFileAttributesA("plain"), win::FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(win::GetFileAttributesA("C:\\DIR"), win::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(win::GetFileAttributesA("C:\\"), win::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(win::GetFileAttributesA("C:\\none"), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, CurrentDirectoryRoundTripsThroughWindowsPaths) {
  std::filesystem::create_directories(c_ + "/Sub/Deeper");
  ASSERT_TRUE(win::SetCurrentDirectoryA("C:\\sub\\deeper"));
  char buffer[win::MAX_PATH];
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof buffer, buffer), std::strlen("C:\\Sub\\Deeper"));
  EXPECT_STREQ(buffer, "C:\\Sub\\Deeper");
  // Too small: the size needed, terminator included.
  char tiny[4] = "xyz";
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof tiny, tiny), std::strlen("C:\\Sub\\Deeper") + 1);
  EXPECT_STREQ(tiny, "xyz");

  ASSERT_TRUE(win::SetCurrentDirectoryA(".."));
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof buffer, buffer), 6u);
  EXPECT_STREQ(buffer, "C:\\Sub");
  ExpectFailure(win::SetCurrentDirectoryA("C:\\missing"), win::ERROR_FILE_NOT_FOUND, "missing");

  ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
}

TEST_F(FilesTest, FullPathNamesAreCollapsedAgainstTheCurrentDirectory) {
  std::filesystem::create_directories(c_ + "/work");
  ASSERT_EQ(::chdir((c_ + "/work").c_str()), 0);
  char buffer[win::MAX_PATH];
  char* filePart = nullptr;
  EXPECT_EQ(win::GetFullPathNameA("sub\\..\\x.txt", sizeof buffer, buffer, &filePart), 13u);
  EXPECT_STREQ(buffer, "C:\\work\\x.txt");
  EXPECT_STREQ(filePart, "x.txt");
  EXPECT_EQ(win::GetFullPathNameA("\\", sizeof buffer, buffer, &filePart), 3u);
  EXPECT_STREQ(buffer, "C:\\");
  EXPECT_EQ(filePart, nullptr);
  EXPECT_EQ(win::GetFullPathNameA("C:\\a\\\\b", 5, buffer, nullptr), 7u);
}

TEST_F(FilesTest, DiskFreeSpaceFitsDwordsAndLeavesNumbersAloneOnFailure) {
  win::DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  ASSERT_TRUE(win::GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &total));
  struct statvfs vfs {};
  ASSERT_EQ(::statvfs(c_.c_str(), &vfs), 0);
  unsigned long long cluster = 1ull * sectors * bytes;
  EXPECT_EQ(bytes, 512u);
  EXPECT_EQ(total, 1ull * vfs.f_blocks * vfs.f_frsize / cluster);
  EXPECT_LE(freeClusters, total);

  win::DWORD a = 11, b = 22, f = 33, t = 44;
  EXPECT_FALSE(win::GetDiskFreeSpaceA("Q:\\", &a, &b, &f, &t));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_DRIVE);
  EXPECT_EQ(a + b + f + t, 110u);
}

TEST_F(FilesTest, LastErrorTextNamesTheFailureAndTheHostsReason) {
  EXPECT_FALSE(win::DeleteFileA("C:\\none.txt"));
  EXPECT_EQ(win::LastErrorText(), "The system cannot find the file specified.");
  win::SetLastErrorFromErrno(EACCES);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(win::LastErrorText(), std::string("Access is denied. (") + std::strerror(EACCES) + ")");
  win::SetLastErrorFromErrno(ENOSPC);
  EXPECT_EQ(win::GetLastError(), win::ERROR_DISK_FULL);
  win::SetLastError(9999);
  EXPECT_EQ(win::LastErrorText(), "Error 9999.");
}

TEST_F(FilesTest, SleepWaitsAtLeastTheTimeAsked) {
  auto start = std::chrono::steady_clock::now();
  win::Sleep(30);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST_F(FilesTest, TextModeWritesCrlfAndReadsItBackAsNewlines) {
  std::FILE* out = win::fopen("C:\\text.ini", "w");
  ASSERT_NE(out, nullptr);
  std::fprintf(out, "[s]\nk=%d\n", 5);
  std::fputs("tail", out);
  ASSERT_EQ(std::fclose(out), 0);
  EXPECT_EQ(ReadFile(c_ + "/text.ini"), "[s]\r\nk=5\r\ntail");

  // A lone CR stays; CRLF across the stream's buffer boundaries still pairs.
  std::string lines;
  for (int i = 0; i < 5000; ++i) lines += "line\r\n";
  WriteFile(c_ + "/in.txt", "x\ry\r\n" + lines + "end\r");
  std::FILE* in = win::fopen("C:\\IN.TXT", "r");
  ASSERT_NE(in, nullptr);
  std::string text;
  char chunk[777];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
  std::fclose(in);
  std::string expected = "x\ry\n";
  for (int i = 0; i < 5000; ++i) expected += "line\n";
  EXPECT_EQ(text, expected + "end\r");
}

TEST_F(FilesTest, BinaryModeIsUntouchedAndMissingDrivesGiveEnoent) {
  std::FILE* out = win::fopen("C:\\bin.dat", "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("a\nb\r\n", out);
  std::fclose(out);
  EXPECT_EQ(ReadFile(c_ + "/bin.dat"), "a\nb\r\n");

  errno = 0;
  EXPECT_EQ(win::fopen("Q:\\x.txt", "r"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  errno = 0;
  EXPECT_EQ(win::fopen("C:\\missing.txt", "r"), nullptr);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(FilesTest, AFolderCannotBeOpenedAsAFile) {
  std::filesystem::create_directories(c_ + "/setup.exe");
  for (const char* mode : {"r", "rb"}) {
    errno = 0;
    EXPECT_EQ(win::fopen("C:\\setup.exe", mode), nullptr) << mode;
    EXPECT_EQ(errno, EACCES) << mode;
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED) << mode;
  }
}

}  // namespace
