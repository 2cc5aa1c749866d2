// Folder enumeration with the Windows wildcard rules.
//
// The whole listing is read and sorted when the search starts, so entries
// deleted or added while enumerating do not disturb it. Matching quirks kept
// from Windows: "*.*" matches every name, a pattern ending in ".*" also
// matches the name without any extension ("setup.*" finds "setup"), and one
// ending in "." matches names without a dot ("*." finds "README").
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/handle_registry.h"
#include "platform/host_files.h"
#include "platform/names.h"

namespace win {
namespace {

using kc::platform::Lower;
using kc::platform::Upper;

bool Glob(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || Glob(pattern, name)) return true;
  if (pattern.size() > 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      Glob(pattern.substr(0, pattern.size() - 2), name)) {
    return true;
  }
  if (pattern.size() > 1 && pattern.back() == '.' && pattern != ".." && name.find('.') == std::string_view::npos &&
      Glob(pattern.substr(0, pattern.size() - 1), name)) {
    return true;
  }
  return false;
}

// Windows order: names compared in upper case, as the Windows file system
// collates them (so "_" comes after the letters), ties in byte order; "." and
// ".." first.
bool ComesBefore(const std::string& a, const std::string& b) {
  auto rank = [](const std::string& s) { return s == "." ? 0 : s == ".." ? 1 : 2; };
  if (rank(a) != rank(b)) return rank(a) < rank(b);
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = Upper(a[i]), y = Upper(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

class FindHandle : public detail::HandleObject {
 public:
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

WIN32_FIND_DATAA Describe(int folder, const std::string& name) {
  WIN32_FIND_DATAA data;
  std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
  struct stat st {};
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    return data;
  }
  struct stat target = st;
  bool followed = S_ISLNK(st.st_mode) && ::fstatat(folder, name.c_str(), &target, 0) == 0;
  bool targetIsFolder = followed && S_ISDIR(target.st_mode);
  data.dwFileAttributes = detail::AttributesOf(name, st, targetIsFolder);
  const struct stat& sized = followed ? target : st;
  if (S_ISREG(sized.st_mode)) {
    auto size = static_cast<unsigned long long>(sized.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  data.ftLastWriteTime = static_cast<std::int64_t>(st.st_mtime);
  return data;
}

}  // namespace

bool NameMatchesPattern(std::string_view pattern, std::string_view name) {
  return MatchesPattern(pattern, name);
}

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
  if (!fileName || !findData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string_view path = fileName;
  if (path.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return INVALID_HANDLE_VALUE;
  }
  size_t cut = path.find_last_of("\\/");
  std::string folder, pattern;
  if (cut != std::string_view::npos) {
    folder = path.substr(0, cut + 1);
    pattern = path.substr(cut + 1);
  } else if (path.size() >= 2 && path[1] == ':') {
    folder = path.substr(0, 2);
    pattern = path.substr(2);
  } else {
    folder = ".";
    pattern = path;
  }
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto host = detail::MapArgument(folder.c_str());
  if (!host) return INVALID_HANDLE_VALUE;

  int dirFd = ::open(host->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  DIR* dir = ::fdopendir(::dup(dirFd));
  if (!dir) {
    SetLastErrorFromErrno(errno);
    ::close(dirFd);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  // A drive's own folder is a root: Windows lists no "." or ".." there.
  auto windows = ToWindowsPath(*host);
  if (!windows || windows->back() != '\\') {
    names.emplace_back(".");
    names.emplace_back("..");
  }
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);

  auto handle = std::make_unique<FindHandle>();
  std::sort(names.begin(), names.end(), ComesBefore);
  for (const auto& name : names) {
    if (MatchesPattern(pattern, name)) handle->entries.push_back(Describe(dirFd, name));
  }
  ::close(dirFd);
  if (handle->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *findData = handle->entries[0];
  handle->next = 1;
  SetLastError(ERROR_SUCCESS);
  return detail::RegisterHandle(std::move(handle));
}

BOOL FindNextFileA(HANDLE findFile, WIN32_FIND_DATAA* findData) {
  auto* handle = detail::LookUp<FindHandle>(findFile);
  if (!handle) return FALSE;
  if (!findData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (handle->next >= handle->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *findData = handle->entries[handle->next++];
  return TRUE;
}

BOOL FindClose(HANDLE findFile) {
  return detail::ReleaseHandle<FindHandle>(findFile) ? TRUE : FALSE;
}

}  // namespace win
