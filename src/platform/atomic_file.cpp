// Atomic replacement of a file: an unnamed file (O_TMPFILE) linked into place,
// or a hidden file beside the target renamed over it where the file system
// has no unnamed files.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

#include "platform/descriptor_io.h"
#include "platform/names.h"

namespace kc::platform {
namespace {

constexpr std::size_t kNameKept = 200;  // of the target's name, in a hidden name
constexpr std::size_t kHexDigits = 12;
constexpr std::size_t kLegacyHexDigits = 16;
constexpr std::string_view kPurposes[] = {"tmp", "copy"};

std::atomic<bool> g_unnamedAllowed{true};

// Linking an unnamed file needs its /proc/self/fd entry (linkat with
// AT_EMPTY_PATH would need a privilege).
bool UnnamedFilesUsable() {
  static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
  return procMounted && g_unnamedAllowed.load();
}

// The file system cannot make unnamed files (or the kernel predates them).
bool NoUnnamedFiles(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOSYS;
}

// ".<name>.<purpose>-<12 hex digits>" in the target's folder.
std::string HiddenName(const std::string& target, const std::string& purpose) {
  static thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
  char suffix[20];
  std::snprintf(suffix, sizeof suffix, "%012llx", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
  return FolderOf(target) + "/." + NameOf(target).substr(0, kNameKept) + "." + purpose + "-" + suffix;
}

bool IsLowerHex(std::string_view text, std::size_t digits) {
  if (text.size() != digits) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// The target name a temporary name stands for, or nullopt.
std::optional<std::string_view> TargetOfTemporary(std::string_view name) {
  const auto dash = name.rfind('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::string_view digits = name.substr(dash + 1);
  const std::string_view front = name.substr(0, dash);
  if (IsLowerHex(digits, kHexDigits) && name.front() == '.') {
    for (std::string_view purpose : kPurposes) {
      const std::size_t tail = purpose.size() + 1;
      if (front.size() > tail + 1 && front.substr(front.size() - tail) == "." + std::string(purpose)) {
        return front.substr(1, front.size() - tail - 1);
      }
    }
  }
  if (IsLowerHex(digits, kLegacyHexDigits) && front.size() > 4 && front.substr(front.size() - 4) == ".tmp") {
    return front.substr(0, front.size() - 4);
  }
  return std::nullopt;
}

void SyncFolder(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

AtomicFile::~AtomicFile() {
  Abandon();
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!namedPath_.empty()) ::unlink(namedPath_.c_str());
  namedPath_.clear();
}

bool AtomicFile::Open(const std::string& hostPath, mode_t mode, const char* purpose) {
  Abandon();
  target_ = hostPath;
  purpose_ = purpose;
  if (UnnamedFilesUsable()) {
    fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ >= 0 || !NoUnnamedFiles(errno)) return fd_ >= 0;
  }
  // O_EXCL: never write into a file somebody else created.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = HiddenName(target_, purpose_);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd_ >= 0) {
      namedPath_ = std::move(path);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

bool AtomicFile::Commit(Placing placing, bool sync) {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  auto fail = [this] {
    const int saved = errno;
    Abandon();
    errno = saved;
    return false;
  };
  if (sync && ::fsync(fd_) != 0) return fail();

  if (namedPath_.empty()) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      if (errno != EEXIST || placing == Placing::kCreateOnly) return fail();
      // A name is needed to rename over the old file; it lives only for the
      // moment between the two calls.
      std::string named;
      int linked = -1;
      for (int attempt = 0; attempt < 100 && linked != 0; ++attempt) {
        named = HiddenName(target_, purpose_);
        linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST) break;
      }
      if (linked != 0) return fail();
      if (::rename(named.c_str(), target_.c_str()) != 0) {
        const int saved = errno;
        ::unlink(named.c_str());
        errno = saved;
        return fail();
      }
    }
    ::close(fd_);
    fd_ = -1;
  } else {
    if (::close(fd_) != 0) {
      fd_ = -1;
      return fail();
    }
    fd_ = -1;
    if (placing == Placing::kCreateOnly) {
      // link() fails when the target appeared meanwhile; rename would replace it.
      const bool linked = ::link(namedPath_.c_str(), target_.c_str()) == 0;
      if (!linked) return fail();
      ::unlink(namedPath_.c_str());
    } else if (::rename(namedPath_.c_str(), target_.c_str()) != 0) {
      return fail();
    }
    namedPath_.clear();
  }
  // Makes the name durable too; a failure here no longer risks the content.
  if (sync) SyncFolder(FolderOf(target_));
  return true;
}

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

  AtomicFile file;
  if (!file.Open(target)) return false;
  bool ok = WriteAll(file.fd(), contents);
  if (ok && existed) ok = ::fchmod(file.fd(), old.st_mode & 07777) == 0;
  if (!ok) return false;  // the file goes with `file`, errno kept
  return file.Commit(AtomicFile::Placing::kReplace, /*sync=*/true);
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

bool IsTemporaryFileName(std::string_view name) {
  return TargetOfTemporary(name).has_value();
}

bool IsTemporaryFileName(std::string_view name, std::string_view of) {
  const auto target = TargetOfTemporary(name);
  return target && (*target == of || (of.size() > kNameKept && *target == of.substr(0, kNameKept)));
}

void AllowUnnamedFiles(bool allowed) {
  g_unnamedAllowed = allowed;
}

}  // namespace kc::platform
