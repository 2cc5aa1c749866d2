// Open file description locks (F_OFD_SETLK): owned by the open file, not by the
// process, so two locks taken in one process exclude each other too, and a
// child that inherited nothing (O_CLOEXEC) holds nothing.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/drives.h"
#include "platform/win_types.h"

namespace kc::platform {
namespace {

constexpr std::size_t kLongestNote = 200;

bool Alive(long pid) {
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// "<pid> <program>\n", as Take writes it.
LockHolder ParseNote(const std::string& text) {
  LockHolder holder;
  char* end = nullptr;
  holder.pid = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || holder.pid <= 0) return {};
  std::string program = end;
  while (!program.empty() && (program.front() == ' ')) program.erase(0, 1);
  while (!program.empty() && (program.back() == '\n' || program.back() == '\r')) program.pop_back();
  for (char& c : program) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  holder.program = program.substr(0, kLongestNote);
  return holder;
}

std::string ReadNote(int fd) {
  char buffer[512];
  ssize_t n;
  while ((n = ::pread(fd, buffer, sizeof buffer, 0)) < 0 && errno == EINTR) {
  }
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// The holder may have taken the lock a moment ago and not written its note
// yet: a note naming a process that is gone is from an earlier holder.
LockHolder WhoHolds(int fd) {
  for (int attempt = 0; attempt < 25; ++attempt) {
    LockHolder holder = ParseNote(ReadNote(fd));
    if (Alive(holder.pid)) return holder;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)), holder_(std::move(other.holder_)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    holder_ = std::move(other.holder_);
  }
  return *this;
}

FileLock::Outcome FileLock::Take(const std::string& windowsPath, std::string_view program) {
  Release();
  holder_ = {};
  auto host = win::ToHostPath(windowsPath);
  if (!host) return Outcome::kFailed;
  // A holder's file that was removed and made anew would let two in: the path
  // must still name the locked file once the lock is ours.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = ::open(host->c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      win::SetLastErrorFromErrno(errno);
      if (errno == ELOOP) win::SetLastError(win::ERROR_ACCESS_DENIED);
      return Outcome::kFailed;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      ::close(fd);
      win::SetLastError(win::ERROR_ACCESS_DENIED);
      return Outcome::kFailed;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
      const int error = errno;
      if (error == EAGAIN || error == EACCES) {
        holder_ = WhoHolds(fd);
        ::close(fd);
        return Outcome::kHeld;
      }
      ::close(fd);
      win::SetLastErrorFromErrno(error);
      return Outcome::kFailed;
    }
    struct stat named {};
    if (::stat(host->c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
      ::close(fd);
      continue;
    }
    const std::string note = std::to_string(::getpid()) + " " + std::string(program.substr(0, kLongestNote)) + "\n";
    // Without the note others cannot name us; the lock holds all the same.
    [[maybe_unused]] const bool noted =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, note.data(), note.size(), 0) == static_cast<ssize_t>(note.size());
    fd_ = fd;
    holder_ = ParseNote(note);
    return Outcome::kTaken;
  }
  win::SetLastError(win::ERROR_SHARING_VIOLATION);
  return Outcome::kFailed;
}

void FileLock::Release() {
  if (fd_ < 0) return;
  // The note goes first, so that nobody reads it as that of a live holder.
  [[maybe_unused]] int cleared = ::ftruncate(fd_, 0);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace kc::platform
