#include "engine/directory_utils.h"

#include <atomic>

#include "platform/atomic_file.h"
#include "platform/files.h"

namespace kc::engine {

namespace {

std::atomic<unsigned> g_emptyPause{50};

bool IsDotEntry(const char* name) {
  return std::string_view(name) == "." || std::string_view(name) == "..";
}

std::string WithoutTrailingBackslash(const std::string& directory) {
  if (!directory.empty() && directory.back() == '\\') return directory.substr(0, directory.size() - 1);
  return directory;
}

// Calls `visit` for every entry of "<directory>\*.*"; false when the
// enumeration cannot start.
template <typename Visit>
bool ForEachEntry(const std::string& directory, Visit visit) {
  const std::string pattern = WithoutTrailingBackslash(directory) + "\\*.*";
  win::WIN32_FIND_DATAA data;
  win::HANDLE find = win::FindFirstFileA(pattern.c_str(), &data);
  if (find == win::INVALID_HANDLE_VALUE) return false;
  do {
    visit(data);
  } while (win::FindNextFileA(find, &data) == win::TRUE);
  win::FindClose(find);
  return true;
}

bool IsLink(const win::WIN32_FIND_DATAA& data) {
  return (data.dwFileAttributes & win::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

void SetEmptyDirectoryPause(unsigned milliseconds) {
  g_emptyPause = milliseconds;
}
unsigned EmptyDirectoryPause() {
  return g_emptyPause;
}

void EmptyDirectory(const std::string& directory) {
  const std::string base = WithoutTrailingBackslash(directory);
  ForEachEntry(directory, [&](const win::WIN32_FIND_DATAA& entry) {
    if (g_emptyPause > 0) win::Sleep(g_emptyPause);
    const std::string path = base + "\\" + entry.cFileName;
    // A symbolic link (to a file or a folder) goes as a link; DeleteFileA never
    // follows it, so whatever it points at stays.
    if (win::DeleteFileA(path.c_str()) == win::TRUE) return;
    if (IsDotEntry(entry.cFileName)) return;
    if (IsLink(entry)) {
      win::RemoveDirectoryA(path.c_str());
      return;
    }
    bool isFolder = ForEachEntry(path, [](const win::WIN32_FIND_DATAA&) {});
    if (!isFolder) {
      // Not a folder after all (a read-only file, say): a few more attempts.
      for (int i = 0; i < 10; ++i) win::DeleteFileA(path.c_str());
    }
    ForEachEntry(path, [&](const win::WIN32_FIND_DATAA& inner) {
      const std::string innerPath = path + "\\" + inner.cFileName;
      if (win::DeleteFileA(innerPath.c_str()) == win::FALSE && IsLink(inner) && !IsDotEntry(inner.cFileName)) {
        win::RemoveDirectoryA(innerPath.c_str());
      }
    });
    win::RemoveDirectoryA(path.c_str());
  });
}

bool RemoveTree(const std::string& directory) {
  const std::string base = WithoutTrailingBackslash(directory);
  ForEachEntry(base, [&](const win::WIN32_FIND_DATAA& entry) {
    if (IsDotEntry(entry.cFileName)) return;
    const std::string path = base + "\\" + entry.cFileName;
    if (win::DeleteFileA(path.c_str()) == win::TRUE) return;
    if (IsLink(entry)) {
      win::RemoveDirectoryA(path.c_str());
    } else if ((entry.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveTree(path);
    }
  });
  win::RemoveDirectoryA(base.c_str());
  return win::GetFileAttributesA(base.c_str()) == win::INVALID_FILE_ATTRIBUTES;
}

bool CopyDirectoryFiles(const std::string& source, const std::string& destination,
                        const std::function<void(const std::string&)>& copied,
                        const std::function<void(const std::string& file, const std::string& reason)>& failed) {
  return ForEachEntry(source, [&](const win::WIN32_FIND_DATAA& entry) {
    // An interrupted writer's temporary file is nobody's input.
    if (platform::IsTemporaryFileName(entry.cFileName)) return;
    const std::string from = source + "\\" + entry.cFileName;
    const std::string to = destination + "\\" + entry.cFileName;
    if (win::CopyFileA(from.c_str(), to.c_str(), win::FALSE) == win::TRUE) {
      if (copied) copied(to);
      return;
    }
    // Folders cannot be copied and are not meant to be; a file that fails is.
    if (IsDotEntry(entry.cFileName) || (entry.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    if (failed) failed(from, win::LastErrorText());
  });
}

int MakeDirectory(const std::string& path) {
  return win::CreateDirectoryA(path.c_str(), nullptr) == win::TRUE ? 0 : -1;
}

// "/" separates as "\\" does: the drive table accepts both.
std::string FullOutputPath(const std::string& path) {
  const bool namesItsRoot = (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
  if (path.empty() || (namesItsRoot && path.find('/') == std::string::npos)) return path;
  char buffer[win::MAX_PATH] = {};
  const win::DWORD length = win::GetFullPathNameA(path.c_str(), win::MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= win::MAX_PATH) return path;
  return std::string(buffer, length);
}

bool IsDirectory(const std::string& path) {
  const win::DWORD attributes = win::GetFileAttributesA(path.c_str());
  return attributes != win::INVALID_FILE_ATTRIBUTES && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::string& path) {
  const win::DWORD attributes = win::GetFileAttributesA(path.c_str());
  return attributes != win::INVALID_FILE_ATTRIBUTES && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

DirectorySize MeasureDirectory(const std::string& directory) {
  DirectorySize size;
  const std::string base = WithoutTrailingBackslash(directory);
  ForEachEntry(base, [&](const win::WIN32_FIND_DATAA& entry) {
    if (IsDotEntry(entry.cFileName) || IsLink(entry)) return;
    if ((entry.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) {
      const DirectorySize inner = MeasureDirectory(base + "\\" + entry.cFileName);
      size.files += inner.files;
      size.bytes += inner.bytes;
      return;
    }
    ++size.files;
    size.bytes += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
  });
  return size;
}

}  // namespace kc::engine
