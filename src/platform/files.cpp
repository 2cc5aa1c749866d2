// Files and folders with the Windows semantics, on host paths from the drive table.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/atomic_file.h"
#include "platform/descriptor_io.h"
#include "platform/drives.h"
#include "platform/host_files.h"
#include "platform/names.h"
#include "platform/unique_fd.h"

namespace win {
namespace detail {

std::optional<std::string> MapArgument(LPCSTR windowsPath) {
  if (!windowsPath) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  if (std::strlen(windowsPath) >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return std::nullopt;
  }
  return ToHostPath(windowsPath);
}

DWORD AttributesOf(const std::string& name, const struct stat& linkStat, bool targetIsFolder) {
  DWORD attributes = 0;
  if (S_ISLNK(linkStat.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (targetIsFolder) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else if (S_ISDIR(linkStat.st_mode)) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  }
  if (!(linkStat.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

}  // namespace detail

namespace {

using detail::MapArgument;
using kc::platform::FolderOf;
using kc::platform::NameOf;

// ENOENT on a path whose folder is missing is "path not found" on Windows.
void SetMissingError(const std::string& hostPath) {
  struct stat st {};
  if (::stat(FolderOf(hostPath).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
  } else {
    SetLastError(ERROR_FILE_NOT_FOUND);
  }
}

}  // namespace

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
  auto source = MapArgument(existingFileName);
  if (!source) return FALSE;
  auto target = MapArgument(newFileName);
  if (!target) return FALSE;

  const kc::platform::UniqueFd in(::open(source->c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.valid()) {
    if (errno == ENOENT) {
      SetMissingError(*source);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }
  struct stat from {};
  if (::fstat(in.fd(), &from) != 0 || !S_ISREG(from.st_mode)) {
    // Windows refuses to copy a folder with "access denied".
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }

  struct stat to {};
  if (::stat(target->c_str(), &to) == 0) {
    if (to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
      // One file under two names: copying would destroy it.
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
    if (failIfExists) {
      SetLastError(ERROR_FILE_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(to.st_mode) || !(to.st_mode & S_IWUSR)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }

  // The copy is written out of sight and appears whole (see AtomicFile): an
  // interrupted copy leaves the old file and no stray file behind.
  kc::platform::AtomicFile out;
  if (!out.Open(*target, 0600, "copy")) {
    if (errno == ENOENT) {
      SetLastError(ERROR_PATH_NOT_FOUND);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }

  // A source that shrank meanwhile is copied as far as it goes.
  bool ok = kc::platform::CopyRange(in.fd(), out.fd(), 0, static_cast<std::uint64_t>(from.st_size)) >= 0;
  if (ok) ok = ::fchmod(out.fd(), from.st_mode & 07777) == 0;
  if (ok) {
    struct timespec times[2] = {from.st_atim, from.st_mtim};
    ok = ::futimens(out.fd(), times) == 0;
  }
  int saved = errno;
  // With failIfExists the copy must not replace a target that appeared meanwhile.
  if (ok && !out.Commit(failIfExists ? kc::platform::AtomicFile::Placing::kCreateOnly
                                     : kc::platform::AtomicFile::Placing::kReplace,
                        /*sync=*/false)) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    if (failIfExists && saved == EEXIST) {
      SetLastError(ERROR_FILE_EXISTS);
    } else {
      SetLastErrorFromErrno(saved);
    }
    return FALSE;
  }
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  auto path = MapArgument(fileName);
  if (!path) return FALSE;
  struct stat st {};
  if (::lstat(path->c_str(), &st) != 0) {
    SetMissingError(*path);
    return FALSE;
  }
  // A link goes as a link, whatever it points at. Read-only is judged from the
  // mode bits, since root would otherwise delete anything.
  if (!S_ISLNK(st.st_mode) && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::unlink(path->c_str()) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPVOID) {
  auto path = MapArgument(pathName);
  if (!path) return FALSE;
  if (::mkdir(path->c_str(), 0777) != 0) {
    if (errno == EEXIST) {
      SetLastError(ERROR_ALREADY_EXISTS);
    } else if (errno == ENOENT || errno == ENOTDIR) {
      SetLastError(ERROR_PATH_NOT_FOUND);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  auto path = MapArgument(pathName);
  if (!path) return FALSE;
  struct stat st {};
  if (::lstat(path->c_str(), &st) != 0) {
    SetMissingError(*path);
    return FALSE;
  }
  if (S_ISLNK(st.st_mode)) {
    // Only a link to a folder is a folder to Windows; the link goes, never
    // what it points at.
    struct stat target {};
    if (::stat(path->c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    if (::unlink(path->c_str()) != 0) {
      SetLastErrorFromErrno(errno);
      return FALSE;
    }
    return TRUE;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  if (::rmdir(path->c_str()) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) {
      SetLastError(ERROR_DIR_NOT_EMPTY);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  auto path = MapArgument(fileName);
  if (!path) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (::lstat(path->c_str(), &st) != 0) {
    SetMissingError(*path);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat target {};
  bool targetIsFolder = S_ISLNK(st.st_mode) && ::stat(path->c_str(), &target) == 0 && S_ISDIR(target.st_mode);
  return detail::AttributesOf(NameOf(*path), st, targetIsFolder);
}

BOOL GetFileWriteTime(LPCSTR fileName, std::int64_t* seconds) {
  auto path = MapArgument(fileName);
  if (!path || seconds == nullptr) return FALSE;
  struct stat st {};
  if (::stat(path->c_str(), &st) != 0) {
    SetMissingError(*path);
    return FALSE;
  }
  *seconds = st.st_mtim.tv_sec;
  return TRUE;
}

BOOL SetFileWriteTime(LPCSTR fileName, std::int64_t seconds) {
  auto path = MapArgument(fileName);
  if (!path) return FALSE;
  const struct timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  if (::utimensat(AT_FDCWD, path->c_str(), times, 0) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL GetFileExecutable(LPCSTR fileName, BOOL* executable) {
  auto path = MapArgument(fileName);
  if (!path || executable == nullptr) return FALSE;
  struct stat st {};
  if (::stat(path->c_str(), &st) != 0) {
    SetMissingError(*path);
    return FALSE;
  }
  *executable = (st.st_mode & 0111) != 0 ? TRUE : FALSE;
  return TRUE;
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  auto source = MapArgument(existingFileName);
  if (!source) return FALSE;
  auto target = MapArgument(newFileName);
  if (!target) return FALSE;
  struct stat from {};
  if (::lstat(source->c_str(), &from) != 0) {
    SetMissingError(*source);
    return FALSE;
  }
  struct stat to {};
  if (::lstat(target->c_str(), &to) == 0) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    if (S_ISDIR(to.st_mode)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  if (::rename(source->c_str(), target->c_str()) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
  auto path = MapArgument(pathName);
  if (!path) return FALSE;
  if (::chdir(path->c_str()) != 0) {
    if (errno == ENOENT) {
      SetMissingError(*path);
    } else if (errno == ENOTDIR) {
      SetLastError(ERROR_DIRECTORY);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }
  return TRUE;
}

namespace {

// The Windows buffer convention: the length without the terminator when it
// fits, else the size needed with the terminator (buffer untouched).
DWORD CopyOut(const std::string& text, DWORD bufferLength, LPSTR buffer) {
  if (!buffer || bufferLength < text.size() + 1) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  char host[4096];
  if (!::getcwd(host, sizeof host)) {
    SetLastErrorFromErrno(errno);
    return 0;
  }
  auto windows = ToWindowsPath(host);
  if (!windows) return 0;  // on no drive: the last error says so
  return CopyOut(*windows, bufferLength, buffer);
}

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
  if (filePart) *filePart = nullptr;
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (std::strlen(fileName) >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  auto full = ToFullWindowsPath(fileName);
  if (!full) return 0;
  DWORD result = CopyOut(*full, bufferLength, buffer);
  if (result == full->size() && filePart && full->back() != '\\') {
    *filePart = buffer + full->rfind('\\') + 1;
  }
  return result;
}

BOOL GetDiskFreeSpaceA(LPCSTR rootPathName, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* numberOfFreeClusters, DWORD* totalNumberOfClusters) {
  auto path = MapArgument(rootPathName ? rootPathName : "\\");
  if (!path) return FALSE;
  struct statvfs vfs {};
  if (::statvfs(path->c_str(), &vfs) != 0) {
    if (errno == ENOENT) {
      SetMissingError(*path);
    } else {
      SetLastErrorFromErrno(errno);
    }
    return FALSE;
  }
  // The four numbers are DWORDs: grow the cluster until the volume's cluster
  // count fits, as a large Windows volume reports larger clusters.
  const unsigned long long sector = 512;
  unsigned long long unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  unsigned long long totalBytes = static_cast<unsigned long long>(vfs.f_blocks) * unit;
  unsigned long long freeBytes = static_cast<unsigned long long>(vfs.f_bavail) * unit;
  unsigned long long perCluster = 8;
  while (totalBytes / (sector * perCluster) > 0xFFFFFFFFULL && perCluster < 0x80000000ULL) perCluster *= 2;
  if (sectorsPerCluster) *sectorsPerCluster = static_cast<DWORD>(perCluster);
  if (bytesPerSector) *bytesPerSector = static_cast<DWORD>(sector);
  if (numberOfFreeClusters) *numberOfFreeClusters = static_cast<DWORD>(freeBytes / (sector * perCluster));
  if (totalNumberOfClusters) *totalNumberOfClusters = static_cast<DWORD>(totalBytes / (sector * perCluster));
  return TRUE;
}

void Sleep(DWORD milliseconds) {
  struct timespec left {
    static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
  };
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace win
