// Asking a folder whether it takes files gives the answer that making one
// gives, for a user without root's power over permissions.
#include "platform/folder_access.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/files.h"
#include "scratch_folder.h"

namespace kc::test {
namespace {

TEST(CanCreateFilesIn, AnswersAsCreatingAFileWould) {
  ScratchFolder scratch;
  PlatformState state;
  std::filesystem::create_directories(scratch / "open");
  std::filesystem::create_directories(scratch / "closed");
  WriteFile(scratch / "file", "x");
  ::chmod((scratch / "open").c_str(), 0777);
  ::chmod((scratch / "closed").c_str(), 0555);
  win::DriveTable::Set({{"S:", scratch.path()}});
  struct Row {
    const char* folder;
    bool takesFiles;
    const char* why;
  };
  const Row rows[] = {
      {"S:\\open", true, "a folder everybody may write"},
      {"S:\\closed", false, "a folder without write permission"},
      {"S:\\missing", false, "no such folder"},
      {"S:\\file", false, "a file, not a folder"},
      {"Q:\\", false, "no such drive"},
  };
  for (const Row& row : rows) {
    const int status = RunUnprivileged([&] {
      const bool asked = win::CanCreateFilesIn(row.folder) == win::TRUE;
      std::FILE* made = win::fopen((std::string(row.folder) + "\\probe").c_str(), "wx");
      if (made != nullptr) std::fclose(made);
      return (asked ? 1 : 0) + (made != nullptr ? 2 : 0);
    });
    EXPECT_EQ(status, row.takesFiles ? 3 : 0) << row.why << " (1: asked yes, 2: made one)";
  }
}

}  // namespace
}  // namespace kc::test
