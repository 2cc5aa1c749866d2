// RunTool: a tool counts as done only when it wrote what it is there to write,
// and one that fails takes its temporary files with it.
#include "engine/tool_launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine_test_support.h"

namespace kc::engine {
namespace {

struct Row {
  const char* why;
  const char* script;   // run in the output's folder; "made.z" is the output
  bool earlierFile;     // made.z exists before the run
  const char* failure;  // nullptr: success
};

TEST(RunTool, SucceedsOnlyWhenTheToolWroteItsOutput) {
  const Row rows[] = {
      {"a new file by rename", "echo new > made.new && mv made.new made.z", true, nullptr},
      {"the file rewritten in place", "sleep 0.02; echo more >> made.z", true, nullptr},
      {"a file where there was none", "echo new > made.z", false, nullptr},
      {"exit 0 and nothing written", "true", false,
       "squash.exe reported success but did not write this file: it is not there."},
      {"exit 0 and the earlier file left as it was", "true", true,
       "squash.exe reported success but did not write this file: the file there is the one from before it ran."},
      {"exit 0 and a folder made instead", "mkdir made.z", false,
       "squash.exe reported success but did not write this file: what is there is not a file."},
      {"a failure that leaves its temporary file", "touch .made.z.tmp-0123456789ab; echo broken >&2; exit 3", true,
       "squash.exe failed with exit status 3: broken"},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    test::TempDrive drive;
    const std::string folder = "out" + std::to_string(n++);
    drive.Write("kit/kitcomp/squash.exe", "#!/bin/sh\ncd '" + drive.Host(folder) + "' || exit 9\n" + row.script + "\n");
    std::filesystem::permissions(drive.Host("kit/kitcomp/squash.exe"), std::filesystem::perms::owner_all);
    drive.Write(folder + "/.other.z.tmp-0123456789ab", "another file's, not this run's");
    if (row.earlierFile) drive.Write(folder + "/made.z", "earlier");
    const std::string output = test::TempDrive::Win(folder + "/made.z");

    BuildReport report;
    const bool ran = RunTool("T:\\kit\\kitcomp", kSquashTool, "x", {output}, "Staging", report);
    EXPECT_EQ(ran, row.failure == nullptr);
    EXPECT_EQ(report.ok(), row.failure == nullptr);
    if (row.failure) {
      ASSERT_EQ(report.failures().size(), 1u);
      EXPECT_EQ(report.failures()[0].reason, row.failure);
    }
    EXPECT_FALSE(drive.Exists(folder + "/.made.z.tmp-0123456789ab")) << "the failed run's temporary file stays";
    EXPECT_TRUE(drive.Exists(folder + "/.other.z.tmp-0123456789ab"));
  }
}

}  // namespace
}  // namespace kc::engine
