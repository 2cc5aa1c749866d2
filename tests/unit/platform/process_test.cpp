#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/drives.h"
#include "scratch_folder.h"

namespace {

using kc::test::PlatformState;
using kc::test::ScratchFolder;

// C: is a scratch folder (and the current directory), Z: the host root.
class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::DriveTable::Set({{"C:", scratch_.path()}, {"Z:", "/"}});
    ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
  }

  void WriteScript(const std::string& name, const std::string& body, mode_t mode = 0755) {
    kc::test::WriteFile(scratch_ / name, "#!/bin/sh\n" + body + "\n");
    ::chmod((scratch_ / name).c_str(), mode);
  }

  // Runs a command line to the end; the exit code, or -1 when it did not start.
  long Run(const char* application, std::string commandLine, win::DWORD flags = 0, const char* folder = nullptr,
           std::string* errors = nullptr) {
    win::PROCESS_INFORMATION info;
    win::STARTUPINFOA startup;
    startup.cb = sizeof startup;
    if (!win::CreateProcessA(application, commandLine.data(), nullptr, nullptr, win::FALSE, flags, nullptr, folder,
                             &startup, &info)) {
      return -1;
    }
    EXPECT_EQ(win::WaitForSingleObject(info.hProcess, win::INFINITE), win::WAIT_OBJECT_0);
    win::DWORD code = 0;
    EXPECT_TRUE(win::GetExitCodeProcess(info.hProcess, &code));
    if (errors) *errors = win::GetProcessErrorOutput(info.hProcess);
    EXPECT_TRUE(win::CloseHandle(info.hThread));
    EXPECT_TRUE(win::CloseHandle(info.hProcess));
    return code;
  }

  PlatformState state_;
  ScratchFolder scratch_;
};

TEST_F(ProcessTest, ExitCodesComeBack) {
  EXPECT_EQ(Run("Z:\\bin\\true", "true"), 0);
  EXPECT_EQ(Run("Z:\\bin\\false", "false"), 1);
  EXPECT_EQ(Run(nullptr, "Z:\\bin\\sh -c \"exit 7\""), 7);
  EXPECT_EQ(Run("z:/BIN/SH", "sh -c \"exit 255\""), 255);
}

TEST_F(ProcessTest, BareNamesAreFoundInTheCurrentDirectoryNotOnThePath) {
  WriteScript("tool", "exit 3");
  EXPECT_EQ(Run(nullptr, "tool a b"), 3);
  EXPECT_EQ(Run("tool", "whatever"), 3);
  // "true" is on PATH, but not here.
  win::SetLastError(0);
  EXPECT_EQ(Run(nullptr, "true"), -1);
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(ProcessTest, ProgramsThatCannotRunAreRefusedWithoutAChild) {
  WriteScript("plain.txt", "exit 0", 0644);
  std::filesystem::create_directories(scratch_ / "folder");
  struct Case {
    const char* line;
    win::DWORD error;
  };
  for (Case c : {Case{"plain.txt", win::ERROR_ACCESS_DENIED}, Case{"folder", win::ERROR_ACCESS_DENIED},
                 Case{"C:\\missing\\tool", win::ERROR_FILE_NOT_FOUND}, Case{"Q:\\tool", win::ERROR_INVALID_DRIVE}}) {
    win::SetLastError(0);
    EXPECT_EQ(Run(nullptr, c.line), -1) << c.line;
    EXPECT_EQ(win::GetLastError(), c.error) << c.line;
  }
  // A file without an interpreter line cannot be executed.
  kc::test::WriteFile(scratch_ / "noexec",
                      "\x7f"
                      "ELF junk");
  ::chmod((scratch_ / "noexec").c_str(), 0755);
  EXPECT_EQ(Run(nullptr, "noexec"), -1);
}

TEST_F(ProcessTest, ArgumentsArriveIntact) {
  WriteScript("args", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > args.txt");
  std::vector<std::string> args = {"with space", "", "quote\"d", "back\\slash\\", "C:\\x y\\", "tab\tx", "*.*"};
  std::string line = "args";
  std::string expected;
  for (const auto& a : args) {
    line += " " + win::QuoteArgument(a);
    expected += "[" + a + "]\n";
  }
  ASSERT_EQ(Run(nullptr, line), 0);
  EXPECT_EQ(kc::test::ReadFile(scratch_ / "args.txt"), expected);
}

TEST_F(ProcessTest, CurrentDirectoryIsAWindowsPath) {
  std::filesystem::create_directories(scratch_ / "Work");
  ASSERT_EQ(Run("Z:\\bin\\sh", "sh -c \"pwd > here.txt\"", 0, "C:\\work"), 0);
  EXPECT_EQ(kc::test::ReadFile(scratch_ / "Work/here.txt"), scratch_ / "Work\n");
  win::SetLastError(0);
  EXPECT_EQ(Run("Z:\\bin\\true", "true", 0, "C:\\nowhere"), -1);
  EXPECT_EQ(win::GetLastError(), win::ERROR_DIRECTORY);
}

TEST_F(ProcessTest, DetachedChildHasNullInputAndOutputAndItsErrorsAreKept) {
  std::string errors;
  ASSERT_EQ(Run("Z:\\bin\\sh", "sh -c \"echo to-null; read x; echo read=$? >&2; echo oops >&2; exit 4\"",
                win::DETACHED_PROCESS, nullptr, &errors),
            4);
  EXPECT_EQ(errors, "read=1\noops\n");
}

TEST_F(ProcessTest, OnlyTheLast64KiBOfErrorOutputAreKept) {
  WriteScript("noisy", "head -c 100000 /dev/zero | tr '\\0' x >&2; printf END >&2");
  std::string errors;
  ASSERT_EQ(Run(nullptr, "noisy", win::DETACHED_PROCESS, nullptr, &errors), 0);
  EXPECT_EQ(errors.size(), 65536u);
  EXPECT_EQ(errors.substr(errors.size() - 4), "xEND");
}

TEST_F(ProcessTest, KilledChildReports128PlusSignalAndRunningChildIsStillActive) {
  win::PROCESS_INFORMATION info;
  char line[] = "sleep 30";
  ASSERT_TRUE(
      win::CreateProcessA("Z:\\bin\\sleep", line, nullptr, nullptr, win::FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(win::WaitForSingleObject(info.hProcess, 50), win::WAIT_TIMEOUT);
  win::DWORD code = 0;
  ASSERT_TRUE(win::GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, win::STILL_ACTIVE);
  ::kill(static_cast<pid_t>(info.dwProcessId), SIGTERM);
  EXPECT_EQ(win::WaitForSingleObject(info.hProcess, 5000), win::WAIT_OBJECT_0);
  ASSERT_TRUE(win::GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 128u + SIGTERM);
  EXPECT_TRUE(win::CloseHandle(info.hProcess));
  EXPECT_TRUE(win::CloseHandle(info.hThread));
  // A handle goes once.
  win::SetLastError(0);
  EXPECT_FALSE(win::CloseHandle(info.hProcess));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  EXPECT_EQ(win::WaitForSingleObject(info.hProcess, 0), win::WAIT_FAILED);
}

TEST_F(ProcessTest, ClosingTheHandleEarlyLeavesNoZombie) {
  win::PROCESS_INFORMATION info;
  char line[] = "sh -c \"sleep 0.2\"";
  ASSERT_TRUE(
      win::CreateProcessA("Z:\\bin\\sh", line, nullptr, nullptr, win::FALSE, 0, nullptr, nullptr, nullptr, &info));
  std::string proc = "/proc/" + std::to_string(info.dwProcessId);
  EXPECT_TRUE(win::CloseHandle(info.hProcess));
  EXPECT_TRUE(win::CloseHandle(info.hThread));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (kc::test::Exists(proc) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(kc::test::Exists(proc)) << "child not reaped";
}

// Kibibytes of shared memory on the machine (where a memfd's pages are) and of
// our own resident memory.
long MemoryInUseKiB() {
  long total = 0;
  auto add = [&total](const char* file, const std::string& field) {
    std::ifstream in(file);
    for (std::string name; in >> name;) {
      long value = 0;
      if (name == field && in >> value) total += value;
    }
  };
  add("/proc/meminfo", "Shmem:");
  add("/proc/self/status", "VmRSS:");
  return total;
}

TEST_F(ProcessTest, AFloodOfErrorOutputIsReadAsItComesAndCostsNoMemory) {
  // 384 MiB on standard error; then the child waits while we look at memory.
  WriteScript("flood",
              "head -c 402653184 /dev/zero >&2; printf END >&2; : > written; "
              "while [ ! -e go ]; do sleep 0.01; done");
  const long before = MemoryInUseKiB();
  win::PROCESS_INFORMATION info;
  char line[] = "flood";
  ASSERT_TRUE(win::CreateProcessA(nullptr, line, nullptr, nullptr, win::FALSE, win::DETACHED_PROCESS, nullptr, nullptr,
                                  nullptr, &info));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!kc::test::Exists(scratch_ / "written") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(kc::test::Exists(scratch_ / "written")) << "the child could not write its errors";
  EXPECT_LT(MemoryInUseKiB() - before, 64 * 1024) << "KiB held for 384 MiB of error output";

  kc::test::WriteFile(scratch_ / "go", "");
  EXPECT_EQ(win::WaitForSingleObject(info.hProcess, win::INFINITE), win::WAIT_OBJECT_0);
  const std::string errors = win::GetProcessErrorOutput(info.hProcess);
  EXPECT_EQ(errors.size(), 65536u);
  EXPECT_EQ(errors.substr(errors.size() - 4), std::string("\0END", 4));
  EXPECT_TRUE(win::CloseHandle(info.hThread));
  EXPECT_TRUE(win::CloseHandle(info.hProcess));
}

}  // namespace
