#include "common/source_tree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/host_path.h"
#include "common/names.h"
#include "common/tool_failure.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

bool IsDotName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Archives carry 0644 or 0755 only, so that the umask of whoever made the
// input files does not change the archive's bytes.
std::uint32_t ArchiveMode(const std::string& windowsPath) {
  std::error_code error;
  const auto perms = std::filesystem::status(HostPathOf(windowsPath), error).permissions();
  if (error) return 0644;
  const auto exec =
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec;
  return (perms & exec) != std::filesystem::perms::none ? 0755 : 0644;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
  return folder + "\\" + name;
}

template <typename Visit>
void ForEachEntry(const std::string& folder, const std::string& pattern, Visit visit) {
  win::WIN32_FIND_DATAA data;
  win::HANDLE find = win::FindFirstFileA(Join(folder, pattern).c_str(), &data);
  if (find == win::INVALID_HANDLE_VALUE) return;
  do {
    if (!IsDotName(data.cFileName)) visit(data);
  } while (win::FindNextFileA(find, &data));
  win::FindClose(find);
}

void ScanInto(const std::string& folder, const std::string& prefix, const std::string& pattern, bool includeHidden,
              FolderScan& scan) {
  const bool everything = pattern == "*.*" || pattern == "*";
  ForEachEntry(folder, everything ? std::string("*.*") : pattern, [&](const win::WIN32_FIND_DATAA& data) {
    if (!includeHidden && data.cFileName[0] == '.') return;
    if (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) return;
    SourceFile file;
    file.entryName = prefix + data.cFileName;
    file.windowsPath = Join(folder, data.cFileName);
    file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    file.mtime = data.ftLastWriteTime;
    file.mode = ArchiveMode(file.windowsPath);
    scan.files.push_back(std::move(file));
  });
  ForEachEntry(folder, "*.*", [&](const win::WIN32_FIND_DATAA& data) {
    if (!(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY)) return;
    if (!includeHidden && data.cFileName[0] == '.') return;
    const std::string sub = Join(folder, data.cFileName);
    if (data.dwFileAttributes & win::FILE_ATTRIBUTE_REPARSE_POINT) {
      scan.skippedLinks.push_back(sub);
      return;
    }
    ScanInto(sub, prefix + data.cFileName + "/", pattern, includeHidden, scan);
  });
}

}  // namespace

bool IsPattern(const std::string& windowsPath) {
  return FileNamePart(windowsPath).find_first_of("*?") != std::string::npos;
}

FolderScan ScanFolder(const std::string& windowsFolder, const std::string& pattern, bool includeHidden) {
  // An empty folder part ("\*.*") is the root of the current drive, as Windows reads it.
  const std::string folder = windowsFolder.empty() ? std::string("\\") : windowsFolder;
  const win::DWORD attributes = win::GetFileAttributesA(folder.c_str());
  if (attributes == win::INVALID_FILE_ATTRIBUTES || !(attributes & win::FILE_ATTRIBUTE_DIRECTORY))
    throw ToolFailure(kExitBadInput, folder + ": folder not found");
  FolderScan scan;
  ScanInto(folder, "", pattern, includeHidden, scan);
  std::sort(scan.files.begin(), scan.files.end(),
            [](const SourceFile& a, const SourceFile& b) { return NameLess(a.entryName, b.entryName); });
  return scan;
}

SourceFile DescribeFile(const std::string& windowsPath, const std::string& entryName) {
  const win::DWORD attributes = win::GetFileAttributesA(windowsPath.c_str());
  if (attributes == win::INVALID_FILE_ATTRIBUTES) throw ToolFailure(kExitBadInput, windowsPath + ": file not found");
  if (attributes & win::FILE_ATTRIBUTE_DIRECTORY)
    throw ToolFailure(kExitBadInput,
                      windowsPath + ": is a folder, not a file (add its files with \"" + windowsPath + "\\*.*\")");
  win::WIN32_FIND_DATAA data;
  win::HANDLE find = win::FindFirstFileA(windowsPath.c_str(), &data);
  if (find == win::INVALID_HANDLE_VALUE) throw ToolFailure(kExitBadInput, windowsPath + ": " + win::LastErrorText());
  win::FindClose(find);
  SourceFile file;
  file.entryName = entryName;
  file.windowsPath = windowsPath;
  file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  file.mtime = data.ftLastWriteTime;
  file.mode = ArchiveMode(windowsPath);
  return file;
}

}  // namespace kc::tools
