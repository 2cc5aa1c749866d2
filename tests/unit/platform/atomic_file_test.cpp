#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "scratch_folder.h"

namespace {

using kc::platform::ReadWholeFile;
using kc::platform::WriteFileAtomically;
using kc::test::ReadFile;
using kc::test::ScratchFolder;

size_t EntryCount(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(AtomicFileTest, NewFileGetsTheContentAndUmaskedDefaultMode) {
  ScratchFolder scratch;
  std::string path = scratch / "new.ini";
  std::string binary("a\r\nb\0c\n", 7);
  ASSERT_TRUE(WriteFileAtomically(path, binary));
  EXPECT_EQ(ReadFile(path), binary);
  mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(path), 0644 & ~mask);
  EXPECT_EQ(EntryCount(scratch.path()), 1u);
}

TEST(AtomicFileTest, ReplacementKeepsTheOldPermissionBits) {
  ScratchFolder scratch;
  std::string path = scratch / "keep.ini";
  kc::test::WriteFile(path, "old and longer content");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(ModeOf(path), 0640u);
  ASSERT_TRUE(WriteFileAtomically(path, ""));
  EXPECT_EQ(ReadFile(path), "");
}

TEST(AtomicFileTest, WritingThroughASymbolicLinkReplacesTheFileItNames) {
  ScratchFolder scratch;
  kc::test::WriteFile(scratch / "real.ini", "old");
  ASSERT_EQ(::symlink("real.ini", (scratch / "link.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(scratch / "link.ini", "new"));
  EXPECT_EQ(ReadFile(scratch / "real.ini"), "new");
  struct stat st {};
  ASSERT_EQ(::lstat((scratch / "link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(AtomicFileTest, TargetThatIsAFolderIsRefused) {
  ScratchFolder scratch;
  std::filesystem::create_directories(scratch / "folder/inner");
  errno = 0;
  EXPECT_FALSE(WriteFileAtomically(scratch / "folder", "x"));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_TRUE(std::filesystem::is_directory(scratch / "folder/inner"));
  EXPECT_EQ(EntryCount(scratch.path()), 1u);
}

TEST(AtomicFileTest, ReadOnlyFolderFailsAndLeavesTheOldFileAlone) {
  ScratchFolder scratch;
  std::string folder = scratch / "locked";
  kc::test::WriteFile(folder + "/choices.ini", "old");
  ::chmod((folder + "/choices.ini").c_str(), 0666);
  ::chmod(folder.c_str(), 0555);
  int status = kc::test::RunUnprivileged([&] {
    errno = 0;
    bool written = WriteFileAtomically(folder + "/choices.ini", "new");
    return written ? 1 : (errno == EACCES ? 0 : 2);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(folder + "/choices.ini"), "old");
  EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(AtomicFileTest, MissingFolderFails) {
  ScratchFolder scratch;
  errno = 0;
  EXPECT_FALSE(WriteFileAtomically(scratch / "no/such/file", "x"));
  EXPECT_EQ(errno, ENOENT);
}

TEST(AtomicFileTest, ReadWholeFileIsBinaryAndReportsFailures) {
  ScratchFolder scratch;
  std::string big(300000, 'q');
  big[1] = '\0';
  big[2] = '\r';
  kc::test::WriteFile(scratch / "big", big);
  std::string contents = "stale";
  ASSERT_TRUE(ReadWholeFile(scratch / "big", contents));
  EXPECT_EQ(contents, big);

  errno = 0;
  EXPECT_FALSE(ReadWholeFile(scratch / "missing", contents));
  EXPECT_EQ(errno, ENOENT);
  errno = 0;
  EXPECT_FALSE(ReadWholeFile(scratch.path(), contents));
  EXPECT_EQ(errno, EISDIR);
}

}  // namespace
