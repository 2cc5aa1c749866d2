// Child processes: fork and exec without a shell, awaited through handles.
// fork rather than posix_spawn, because a detached child must learn of our
// death (PR_SET_PDEATHSIG) before it runs the program.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/drives.h"
#include "platform/error_tail.h"
#include "platform/handle_registry.h"
#include "platform/interruption.h"
#include "platform/unique_fd.h"

extern char** environ;

namespace win {
namespace {

// Windows takes command lines of up to 32767 characters.
constexpr size_t kMaxCommandLine = 32767;
constexpr std::size_t kErrorOutputKept = 64 * 1024;

// What the process and thread handles of one child share.
struct Child {
  Child(pid_t p, std::unique_ptr<detail::ErrorTail> e) : pid(p), errors(std::move(e)) {}

  // Reaps the child if it has ended; true once it has been reaped.
  bool Poll() {
    std::lock_guard lock(mutex);
    if (reaped) return true;
    siginfo_t info{};
    int r;
    do {
      r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
      // Reaped by someone else (ECHILD): nothing more will come.
      if (errors) kc::platform::detail::ForgetChildGroup(pid);
      reaped = true;
      exitCode = 0xFFFFFFFFu;
      return true;
    }
    if (info.si_pid == 0) return false;
    // Its group is no longer ours to end once the pid can be reused.
    if (errors) kc::platform::detail::ForgetChildGroup(pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    reaped = true;
    exitCode =
        WIFSIGNALED(status) ? 128u + static_cast<DWORD>(WTERMSIG(status)) : static_cast<DWORD>(WEXITSTATUS(status));
    return true;
  }

  // Blocks until the child has ended, without reaping it, so that another
  // thread may poll meanwhile.
  void AwaitEnd() {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
  }

  pid_t pid;
  std::unique_ptr<detail::ErrorTail> errors;  // a detached child's standard error
  std::mutex mutex;
  bool reaped = false;
  DWORD exitCode = 0;
};

class ProcessHandle : public detail::HandleObject {
 public:
  explicit ProcessHandle(std::shared_ptr<Child> c) : child(std::move(c)) {}
  ~ProcessHandle() override {
    // Closing the handle does not stop the child; it is still reaped when it
    // ends, so that no zombie stays behind.
    if (child && !child->Poll()) {
      std::thread([c = child] {
        c->AwaitEnd();
        c->Poll();
      }).detach();
    }
  }
  std::shared_ptr<Child> child;
};

// The primary thread's handle: waits like the process.
class ThreadHandle : public detail::HandleObject {
 public:
  explicit ThreadHandle(std::shared_ptr<Child> c) : child(std::move(c)) {}
  std::shared_ptr<Child> child;
};

std::shared_ptr<Child> ChildOf(HANDLE handle) {
  auto* object = detail::LookUpHandle(handle);
  if (auto* process = dynamic_cast<ProcessHandle*>(object)) return process->child;
  if (auto* thread = dynamic_cast<ThreadHandle*>(object)) return thread->child;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

// The program file: a bare name is in the current directory, anything else a
// Windows path; both through the drive table.
std::optional<std::string> ResolveProgram(const std::string& name) {
  if (name.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  auto host = ToHostPath(name);
  if (!host) return std::nullopt;
  struct stat st {};
  if (::stat(host->c_str(), &st) != 0) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode) || (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return std::nullopt;
  }
  return host;
}

// A Windows environment block: "k=v\0k=v\0\0".
std::vector<std::string> EnvironmentBlock(const char* block) {
  std::vector<std::string> entries;
  while (*block) {
    entries.emplace_back(block);
    block += entries.back().size() + 1;
  }
  return entries;
}

using kc::platform::UniqueFd;

// What a started child needs, all made before fork: after it, the child may
// only make system calls.
struct SpawnPlan {
  std::string program;
  std::vector<char*> argv;
  char** envp = nullptr;
  std::optional<std::string> folder;
  bool detached = false;
  int nullIn = -1, nullOut = -1, errorOut = -1;  // detached only
};

[[noreturn]] void FailInChild(int reportFd) {
  const int error = errno;
  [[maybe_unused]] ssize_t written = ::write(reportFd, &error, sizeof error);
  ::_exit(127);
}

// The child's side of fork: async-signal-safe calls only.
[[noreturn]] void RunChild(const SpawnPlan& plan, pid_t parent, const sigset_t& mask, int reportFd) {
  // Our own handlers must not run here; exec would reset them anyway.
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN && current.sa_handler != SIG_DFL) {
      struct sigaction fallback {};
      fallback.sa_handler = SIG_DFL;
      ::sigaction(signal, &fallback, nullptr);
    }
  }
  if (plan.detached) {
    // Its own process group: a Ctrl+C on our terminal is not the child's; we
    // end the group ourselves when we are stopped (interruption.h), and the
    // kernel ends the child when we die without a chance to.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // we died before the line above
    if (::dup2(plan.nullIn, 0) < 0 || ::dup2(plan.nullOut, 1) < 0 || ::dup2(plan.errorOut, 2) < 0) {
      FailInChild(reportFd);
    }
  }
  if (plan.folder && ::chdir(plan.folder->c_str()) != 0) FailInChild(reportFd);
  ::sigprocmask(SIG_SETMASK, &mask, nullptr);
  ::execve(plan.program.c_str(), plan.argv.data(), plan.envp);
  FailInChild(reportFd);
}

// Starts the child; its pid, or -1 with the errno of what failed (the exec's
// own failure included).
pid_t Spawn(const SpawnPlan& plan) {
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return -1;
  UniqueFd reportIn(report[0]);
  UniqueFd reportOut(report[1]);

  sigset_t all, old;
  sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &old);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) RunChild(plan, parent, old, report[1]);
  const int forkError = errno;
  if (pid > 0 && plan.detached) {
    // Both sides set the group, so that it exists before it is tracked.
    ::setpgid(pid, pid);
    kc::platform::detail::TrackChildGroup(pid);
  }
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  if (pid < 0) {
    errno = forkError;
    return -1;
  }

  reportOut.Reset();
  int childError = 0;
  ssize_t n;
  while ((n = ::read(reportIn.fd(), &childError, sizeof childError)) < 0 && errno == EINTR) {
  }
  if (n <= 0) return pid;  // closed by the exec
  if (plan.detached) kc::platform::detail::ForgetChildGroup(pid);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  errno = childError;
  return -1;
}

}  // namespace

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPVOID, LPVOID, BOOL, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA*,
                    PROCESS_INFORMATION* processInformation) {
  if (!processInformation || (!applicationName && !commandLine)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (commandLine && std::strlen(commandLine) > kMaxCommandLine) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  std::vector<std::string> args =
      commandLine ? CommandLineToArgs(commandLine) : std::vector<std::string>{applicationName};
  if (args.empty()) args.emplace_back(applicationName ? applicationName : "");

  auto program = ResolveProgram(applicationName ? applicationName : args[0]);
  if (!program) return FALSE;

  SpawnPlan plan;
  plan.program = *program;
  if (currentDirectory) {
    auto folder = ToHostPath(currentDirectory);
    if (!folder) return FALSE;
    struct stat st {};
    if (::stat(folder->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    plan.folder = std::move(folder);
  }

  // A detached child: no terminal, standard input and output the null device,
  // standard error kept (its end) through a pipe.
  UniqueFd nullIn, nullOut, errorIn, errorOut;
  if (creationFlags & DETACHED_PROCESS) {
    int pipeEnds[2];
    nullIn.Reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    nullOut.Reset(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!nullIn.valid() || !nullOut.valid() || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
      SetLastErrorFromErrno(errno);
      return FALSE;
    }
    errorIn.Reset(pipeEnds[0]);
    errorOut.Reset(pipeEnds[1]);
    plan.detached = true;
    plan.nullIn = nullIn.fd();
    plan.nullOut = nullOut.fd();
    plan.errorOut = errorOut.fd();
  }

  for (auto& arg : args) plan.argv.push_back(arg.data());
  plan.argv.push_back(nullptr);
  std::vector<std::string> envStrings;
  std::vector<char*> envp;
  plan.envp = environ;
  if (environment) {
    envStrings = EnvironmentBlock(static_cast<const char*>(environment));
    for (auto& entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);
    plan.envp = envp.data();
  }

  const pid_t pid = Spawn(plan);
  if (pid < 0) {
    const int rc = errno;
    SetLastError(rc == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    if (rc != ENOENT && rc != EACCES && rc != ENOEXEC) SetLastErrorFromErrno(rc);
    return FALSE;
  }

  // Only the child writes to the pipe now: its end comes when the child's does.
  errorOut.Reset();
  std::unique_ptr<detail::ErrorTail> errors;
  if (plan.detached) errors = std::make_unique<detail::ErrorTail>(errorIn.Release(), kErrorOutputKept);
  auto child = std::make_shared<Child>(pid, std::move(errors));
  processInformation->hProcess = detail::RegisterHandle(std::make_unique<ProcessHandle>(child));
  processInformation->hThread = detail::RegisterHandle(std::make_unique<ThreadHandle>(child));
  processInformation->dwProcessId = static_cast<DWORD>(pid);
  processInformation->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto child = ChildOf(handle);
  if (!child) return WAIT_FAILED;
  if (child->Poll()) return WAIT_OBJECT_0;
  if (milliseconds == INFINITE) {
    child->AwaitEnd();
    child->Poll();
    return WAIT_OBJECT_0;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  auto pause = std::chrono::microseconds(200);
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - std::chrono::steady_clock::now()));
    if (child->Poll()) return WAIT_OBJECT_0;
    pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(10));
  }
  return child->Poll() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
  auto child = ChildOf(process);
  if (!child) return FALSE;
  if (!exitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!child->Poll()) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  std::lock_guard lock(child->mutex);
  *exitCode = child->exitCode;
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  auto object = detail::ReleaseAnyHandle(handle, [](detail::HandleObject* o) {
    return dynamic_cast<ProcessHandle*>(o) != nullptr || dynamic_cast<ThreadHandle*>(o) != nullptr;
  });
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

std::string GetProcessErrorOutput(HANDLE process) {
  auto child = ChildOf(process);
  if (!child || !child->errors) return {};
  // Everything the child wrote is in the pipe once it has ended.
  if (child->Poll()) child->errors->Finish();
  return child->errors->Text();
}

}  // namespace win
