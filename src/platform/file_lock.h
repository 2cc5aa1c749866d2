// An exclusive lock on a file, held until it is released or the process ends:
// the kernel releases it however the process ended, so a killed holder never
// blocks the next one. The holder writes its process id and a description into
// the file, for whoever finds the lock taken. Windows paths.
#pragma once

#include <string>
#include <string_view>

namespace kc::platform {

struct LockHolder {
  long pid = 0;         // 0 when not known
  std::string program;  // how the holder described itself; may be empty
};

class FileLock {
 public:
  enum class Outcome { kTaken, kHeld, kFailed };

  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock on `windowsPath` (the file is created when missing, never
  // through a symbolic link) without waiting. kHeld: another holder has it,
  // in this process or another; holder() says who. kFailed: the last error
  // says why (no such folder, a read-only folder, not a plain file).
  Outcome Take(const std::string& windowsPath, std::string_view program);
  const LockHolder& holder() const { return holder_; }
  bool held() const { return fd_ >= 0; }
  void Release();

 private:
  int fd_ = -1;
  LockHolder holder_;
};

}  // namespace kc::platform
