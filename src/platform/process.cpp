// Child processes: posix_spawn without a shell, awaited through handles.
#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/drives.h"
#include "platform/handle_registry.h"

extern char** environ;

namespace win {
namespace {

// Windows takes command lines of up to 32767 characters.
constexpr size_t kMaxCommandLine = 32767;
constexpr off_t kErrorOutputKept = 64 * 1024;

// What the process and thread handles of one child share.
struct Child {
  explicit Child(pid_t p, int err) : pid(p), errorFd(err) {}
  ~Child() {
    if (errorFd >= 0) ::close(errorFd);
  }

  // Reaps the child if it has ended; true once it has been reaped.
  bool Poll() {
    std::lock_guard lock(mutex);
    if (reaped) return true;
    int status = 0;
    pid_t r;
    do {
      r = ::waitpid(pid, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid) {
      reaped = true;
      exitCode = WIFSIGNALED(status) ? 128u + static_cast<DWORD>(WTERMSIG(status))
                                     : static_cast<DWORD>(WEXITSTATUS(status));
    } else if (r < 0) {
      // Reaped by someone else (ECHILD): nothing more will come.
      reaped = true;
      exitCode = 0xFFFFFFFFu;
    }
    return reaped;
  }

  // Blocks until the child has ended, without reaping it, so that another
  // thread may poll meanwhile.
  void AwaitEnd() {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
  }

  pid_t pid;
  int errorFd;  // the memfd holding a detached child's standard error, or -1
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

std::string ReadTail(int fd) {
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size <= 0) return {};
  off_t start = st.st_size > kErrorOutputKept ? st.st_size - kErrorOutputKept : 0;
  std::string text(static_cast<size_t>(st.st_size - start), '\0');
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::pread(fd, text.data() + done, text.size() - done, start + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  text.resize(done);
  return text;
}

class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

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

  SpawnSetup setup;
  if (currentDirectory) {
    auto folder = ToHostPath(currentDirectory);
    if (!folder) return FALSE;
    struct stat st {};
    if (::stat(folder->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    posix_spawn_file_actions_addchdir_np(&setup.actions, folder->c_str());
  }

  int errorFd = -1;
  if (creationFlags & DETACHED_PROCESS) {
    errorFd = ::memfd_create("child-stderr", MFD_CLOEXEC);
    if (errorFd < 0) {
      SetLastErrorFromErrno(errno);
      return FALSE;
    }
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, errorFd, 2);
    // Its own process group: a Ctrl+C on our terminal is not the child's.
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
  }

  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings;
  std::vector<char*> envp;
  char** env = environ;
  if (environment) {
    envStrings = EnvironmentBlock(static_cast<const char*>(environment));
    for (auto& entry : envStrings) envp.push_back(entry.data());
    envp.push_back(nullptr);
    env = envp.data();
  }

  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, program->c_str(), &setup.actions, &setup.attributes, argv.data(), env);
  if (rc != 0) {
    if (errorFd >= 0) ::close(errorFd);
    SetLastError(rc == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    if (rc != ENOENT && rc != EACCES && rc != ENOEXEC) SetLastErrorFromErrno(rc);
    return FALSE;
  }

  auto child = std::make_shared<Child>(pid, errorFd);
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
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        pause, deadline - std::chrono::steady_clock::now()));
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
  if (!child) return {};
  return ReadTail(child->errorFd);
}

}  // namespace win
