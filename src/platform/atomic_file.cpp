// Atomic replacement of a file: temporary file beside the target, fsync, rename.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace kc::platform {
namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Opens a new, uniquely named file in `folder`; O_EXCL makes sure we never
// write into a file somebody else created.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& tempPath) {
  static thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    tempPath = folder + "/." + name.substr(0, 200) + ".tmp-" + suffix;
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

bool WriteFileAtomically(const std::string& hostPath, std::string_view contents) {
  if (hostPath.empty()) {
    errno = ENOENT;
    return false;
  }
  // Writing through a symbolic link replaces the file it names, not the link.
  std::string target = hostPath;
  struct stat old {};
  bool existed = false;
  if (::lstat(hostPath.c_str(), &old) == 0 && S_ISLNK(old.st_mode)) {
    if (char* real = ::realpath(hostPath.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  if (::stat(target.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) {
      errno = EISDIR;
      return false;
    }
    existed = true;
  }

  std::string tempPath;
  int fd = CreateTemporary(FolderOf(target), NameOf(target), tempPath);
  if (fd < 0) return false;

  bool ok = WriteAll(fd, contents);
  if (ok && existed) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(tempPath.c_str(), target.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(tempPath.c_str());
    errno = saved;
    return false;
  }
  // Make the rename itself durable; a failure here no longer risks the content.
  int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool ReadWholeFile(const std::string& hostPath, std::string& contents) {
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return false;
  }
  std::string data;
  if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  contents = std::move(data);
  return true;
}

}  // namespace kc::platform
