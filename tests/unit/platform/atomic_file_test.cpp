#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "scratch_folder.h"
#include "support/row_names.h"

namespace {

using kc::platform::AtomicFile;
using kc::platform::IsTemporaryFileName;
using kc::platform::ReadWholeFile;
using kc::platform::WriteFileAtomically;
using kc::test::ReadFile;
using kc::test::ScratchFolder;

size_t EntryCount(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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

// Both ways the writers work: unnamed files, and the hidden file that file
// systems without them get.
struct Way {
  bool unnamed;
  const char* why;
};

class AtomicWriters : public ::testing::TestWithParam<Way> {
 protected:
  void SetUp() override { kc::platform::AllowUnnamedFiles(GetParam().unnamed); }
  void TearDown() override { kc::platform::AllowUnnamedFiles(true); }
  ScratchFolder scratch_;
};

TEST_P(AtomicWriters, ReplaceKeepsTheModeCreateOnlyKeepsAnExistingFileAndNothingElseIsLeft) {
  SCOPED_TRACE(GetParam().why);
  const std::string path = scratch_ / "out.z";
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  EXPECT_EQ(ReadFile(path), "second");
  EXPECT_EQ(ModeOf(path), 0640u);

  AtomicFile late;
  ASSERT_TRUE(late.Open(path));
  ASSERT_EQ(::write(late.fd(), "third", 5), 5);
  errno = 0;
  EXPECT_FALSE(late.Commit(AtomicFile::Placing::kCreateOnly, false));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFile(path), "second");
  EXPECT_EQ(Names(scratch_.path()), std::vector<std::string>{"out.z"});
}

// A writer killed before it is done (a Ctrl+C, a crash): the old file stays.
// An unnamed file leaves nothing; the fallback one hidden file whose name a
// later run knows to remove.
TEST_P(AtomicWriters, AWriterKilledMidwayLeavesTheOldFile) {
  SCOPED_TRACE(GetParam().why);
  const std::string path = scratch_ / "choices.ini";
  kc::test::WriteFile(path, "old");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    AtomicFile file;
    if (!file.Open(path) || ::write(file.fd(), "half", 4) != 4 || ::write(ready[1], "!", 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  ::close(ready[1]);
  char signal = 0;
  EXPECT_EQ(::read(ready[0], &signal, 1), 1);
  ::close(ready[0]);
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);

  EXPECT_EQ(ReadFile(path), "old");
  std::vector<std::string> stray = Names(scratch_.path());
  std::erase(stray, "choices.ini");
  if (GetParam().unnamed) {
    EXPECT_TRUE(stray.empty()) << stray.front();
  } else {
    ASSERT_EQ(stray.size(), 1u);
    EXPECT_TRUE(IsTemporaryFileName(stray[0], "choices.ini")) << stray[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, AtomicWriters,
                         ::testing::Values(Way{true, "unnamed files (O_TMPFILE)"},
                                           Way{false, "a hidden file, where the file system has no unnamed files"}),
                         kc::test::ByWhy{});

TEST(TemporaryNames, AreTheWritersOwnAndNothingElse) {
  struct Row {
    const char* name;
    const char* of;  // nullptr: any file
    bool temporary;
    const char* why;
  };
  const Row rows[] = {
      {".velomark.cfg.copy-0123456789ab", nullptr, true, "a copy's hidden file"},
      {".setup.ini.tmp-abcdef012345", nullptr, true, "a settings write's hidden file"},
      {"lume.z.tmp-0123456789abcdef", nullptr, true, "the tools' earlier name"},
      {".lume.z.copy-0123456789ab", "lume.z", true, "the copy of that very file"},
      {".lume.z.copy-0123456789ab", "as.z", false, "another file's temporary"},
      {".lume.z.copy-0123456789AB", nullptr, false, "upper-case digits are not ours"},
      {".copy-0123456789ab", nullptr, false, "no file name in front"},
      {"lume.z.tmp-0123456789ab", nullptr, false, "twelve digits without the leading dot"},
      {".notes.tmp-1234", nullptr, false, "a user's file with a short suffix"},
      {".hidden", nullptr, false, "a plain hidden file"},
      {"lume.z", nullptr, false, "a module"},
  };
  for (const Row& row : rows) {
    const bool found = row.of ? IsTemporaryFileName(row.name, row.of) : IsTemporaryFileName(row.name);
    EXPECT_EQ(found, row.temporary) << row.name << ": " << row.why;
  }
}

}  // namespace
