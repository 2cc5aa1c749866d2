// Builds that are interrupted or meet another build on the same kit: leftovers
// of an interrupted run are removed and never shipped, a second build of a kit
// is refused while the first runs, and a stopped kitcomp takes its running
// tool with it and leaves nothing that blocks or spoils the next build.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e_support.h"
#include "platform/atomic_file.h"
#include "support/row_names.h"

namespace kc::e2e {
namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Running, and not a zombie nobody has reaped yet.
bool Running(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z' && text[close + 2] != 'X';
}

int Await(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

// Every temporary file of the writers below the kit's work areas and the output.
std::vector<std::string> Temporaries(const KitCopy& kit) {
  std::vector<std::string> found;
  for (const char* area : {"kit/custom", "kit/kitcomp", "kit/source/modules", "out"}) {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(kit.Host(area), error)) {
      if (platform::IsTemporaryFileName(entry.path().filename().string())) found.push_back(entry.path().string());
    }
  }
  return found;
}

// squash.exe made to wait, once started, until the file "go" appears, with a
// process of its own group beside it ("grandchild.pid") and its own pid in
// "tool.pid".
void MakeSquashWait(const KitCopy& kit) {
  fs::rename(kit.Host("kit/kitcomp/squash.exe"), kit.Host("kit/kitcomp/squash.real"));
  kit.Write("kit/kitcomp/squash.exe",
            "#!/bin/sh\n"
            "echo $$ > '" +
                kit.Host("tool.pid") +
                "'\n"
                "sleep 300 & echo $! > '" +
                kit.Host("grandchild.pid") +
                "'\n"
                ": > '" +
                kit.Host("started") +
                "'\n"
                "while [ ! -e '" +
                kit.Host("go") +
                "' ]; do sleep 0.05; done\n"
                "kill $! 2>/dev/null\n"
                "exec '" +
                kit.Host("kit/kitcomp/squash.real") + "' \"$@\"\n",
            true);
}

TEST(InterruptedBuilds, LeftoversOfAnInterruptedRunAreRemovedAndNeverShipped) {
  KitCopy kit;
  const std::string copy = "kit/custom/temptree/config/.velomark.cfg.copy-0123456789ab";
  const std::string archive = "kit/custom/tempmod/lume.z.tmp-0123456789abcdef";
  const std::string installer = "kit/source/install/.setup.exe.copy-0123456789ab";
  for (const std::string& file : {copy, archive, installer}) kit.Write(file, "half a file");
  const KitCopy::Outcome built = kit.Build();
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_FALSE(fs::exists(kit.Host(copy)));
  EXPECT_FALSE(fs::exists(kit.Host(archive)));
  std::string listed;
  ASSERT_EQ(kit.Shell(kit.Host("kit/kitcomp/squash.exe") + " --list 'T:\\out\\CD\\lume.z'", &listed), 0);
  EXPECT_TRUE(Has(listed, "velomark.cfg")) << listed;
  EXPECT_FALSE(Has(listed, ".copy-")) << listed;
  // Not a work area: it stays, but the installer's files are copied without it.
  EXPECT_TRUE(fs::exists(kit.Host(installer)));
  EXPECT_FALSE(fs::exists(kit.Host("out/CD/.setup.exe.copy-0123456789ab")));
  ASSERT_EQ(kit.Shell(kit.Host("out/network/netsetup.exe") + " --list", &listed), 0);
  EXPECT_FALSE(Has(listed, ".copy-") || Has(listed, ".tmp-")) << listed;
}

TEST(InterruptedBuilds, ASecondBuildOfTheKitIsRefusedWhileTheFirstRuns) {
  KitCopy kit;
  MakeSquashWait(kit);
  const pid_t first = kit.BuildInBackground("", "first.log");
  ASSERT_GT(first, 0);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(kit.Host("started")); })) << kit.Read("first.log");

  kit.Write("other.kcm", kit.Read("kit/kitcomp/default.dkb"));
  const KitCopy::Outcome second = kit.Build("--config 'T:\\other.kcm' --output 'T:\\second'");
  EXPECT_EQ(second.status, 2) << second.output;
  EXPECT_TRUE(Has(second.output, "kitcomp: The kit T:\\kit is in use by another build (process " +
                                     std::to_string(first) + ", kitcomp build). Wait until that build has finished"))
      << second.output;
  EXPECT_FALSE(fs::exists(kit.Host("second")));

  kit.Write("go", "");
  const int status = Await(first);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << kit.Read("first.log");
  // The first build's images are those the kit gives on its own.
  const auto images = kit.Tree("out");
  const KitCopy::Outcome alone = kit.Build();
  ASSERT_EQ(alone.status, 0) << alone.output;
  ExpectSameTrees(kit.Tree("out"), images);
}

struct Stop {
  int signal;
  const char* message;  // on kitcomp's standard error; "" for none
  bool wholeGroup;      // the tool's whole process group ends, not only the tool
  const char* why;
};

class StoppedBuild : public ::testing::TestWithParam<Stop> {};

TEST_P(StoppedBuild, EndsTheRunningToolAndTheNextBuildIsNeitherBlockedNorSpoilt) {
  const Stop& stop = GetParam();
  SCOPED_TRACE(stop.why);
  KitCopy kit;
  MakeSquashWait(kit);
  const pid_t build = kit.BuildInBackground("", "stopped.log");
  ASSERT_GT(build, 0);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(kit.Host("started")); })) << kit.Read("stopped.log");
  const long tool = std::stol(kit.Read("tool.pid"));
  const long grandchild = std::stol(kit.Read("grandchild.pid"));

  ::kill(build, stop.signal);
  const int status = Await(build);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stop.signal) << kit.Read("stopped.log");
  if (*stop.message) {
    EXPECT_TRUE(Has(kit.Read("stopped.log"), stop.message)) << kit.Read("stopped.log");
  }
  EXPECT_TRUE(WaitFor([&] { return !Running(tool); })) << "the tool goes on running";
  if (stop.wholeGroup) {
    EXPECT_TRUE(WaitFor([&] { return !Running(grandchild); })) << "its group goes on running";
  }
  ::kill(static_cast<pid_t>(grandchild), SIGKILL);

  kit.Write("go", "");
  const KitCopy::Outcome next = kit.Build();
  EXPECT_EQ(next.status, 0) << next.output;
  EXPECT_TRUE(Has(next.output, "Your installation creation is complete.")) << next.output;
  EXPECT_TRUE(Temporaries(kit).empty()) << Temporaries(kit).front();
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StoppedBuild,
    ::testing::Values(
        Stop{SIGINT, "kitcomp: stopped by Ctrl+C (SIGINT), and with it any packaging tool it was running", true,
             "Ctrl+C"},
        Stop{SIGTERM, "kitcomp: stopped by a request to terminate (SIGTERM)", true, "closing the program"},
        Stop{SIGHUP, "kitcomp: stopped because its terminal was closed (SIGHUP)", true, "a closed terminal"},
        Stop{SIGKILL, "", false, "killed outright: the kernel ends the tool and releases the kit"}),
    kc::test::ByWhy{});

}  // namespace
}  // namespace kc::e2e
