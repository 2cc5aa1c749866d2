#include "common/source_tree.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/host_path.h"
#include "common/names.h"
#include "common/tool_failure.h"
#include "platform/atomic_file.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

namespace fs = std::filesystem;

bool IsDotName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Archives carry 0644 or 0755 only, so that the umask of whoever made the
// input files does not change the archive's bytes.
std::uint32_t ArchiveMode(fs::perms perms) {
  const auto exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  return (perms & exec) != fs::perms::none ? 0755 : 0644;
}

const char* SpecialKind(fs::file_type type) {
  switch (type) {
    case fs::file_type::fifo:
      return "a FIFO";
    case fs::file_type::socket:
      return "a socket";
    case fs::file_type::block:
    case fs::file_type::character:
      return "a device";
    default:
      return nullptr;
  }
}

// The mode of a file to archive; a special file is refused before anyone
// opens it (opening a FIFO waits for a writer).
std::uint32_t CheckedMode(const std::string& windowsPath) {
  std::error_code error;
  const fs::file_status status = fs::status(HostPathOf(windowsPath), error);
  if (error) return 0644;  // a link to nothing: reading it names the problem
  if (const char* kind = SpecialKind(status.type()))
    throw ToolFailure(kExitBadInput, windowsPath + ": is " + kind + ", not a file");
  return ArchiveMode(status.permissions());
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

struct ScanContext {
  std::string pattern;
  bool includeHidden;
  LinkPolicy links;
  fs::path root;  // canonical host path of the scanned folder
  FolderScan& scan;
};

// A link kept as a link: its target made relative to the link's folder, or a
// ToolFailure when the target is outside the scanned folder.
std::string InsideTarget(const ScanContext& context, const std::string& windowsPath, const std::string& hostPath) {
  std::error_code error;
  const fs::path link(hostPath);
  const fs::path resolved = fs::weakly_canonical(link.parent_path() / fs::read_symlink(link, error), error);
  const fs::path relativeToRoot = error ? fs::path("..") : resolved.lexically_relative(context.root);
  if (relativeToRoot.empty() || *relativeToRoot.begin() == "..")
    throw ToolFailure(kExitBadInput, windowsPath + ": the link leads outside the folder being packed");
  return resolved.lexically_relative(fs::weakly_canonical(link.parent_path(), error)).generic_string();
}

void ScanInto(const std::string& folder, const std::string& prefix, ScanContext& context) {
  const bool everything = context.pattern == "*.*" || context.pattern == "*";
  ForEachEntry(folder, everything ? std::string("*.*") : context.pattern, [&](const win::WIN32_FIND_DATAA& data) {
    if (!context.includeHidden && data.cFileName[0] == '.') return;
    if (data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) return;
    SourceFile file;
    file.entryName = prefix + data.cFileName;
    file.windowsPath = Join(folder, data.cFileName);
    if (platform::IsTemporaryFileName(data.cFileName)) {
      context.scan.skippedLeftovers.push_back(file.windowsPath);
      return;
    }
    file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    file.mtime = data.ftLastWriteTime;
    if (context.links == LinkPolicy::KeepInside && (data.dwFileAttributes & win::FILE_ATTRIBUTE_REPARSE_POINT)) {
      file.linkTarget = InsideTarget(context, file.windowsPath, HostPathOf(file.windowsPath));
      file.size = file.linkTarget.size();
      file.mode = 0777;
    } else {
      file.mode = CheckedMode(file.windowsPath);
    }
    context.scan.files.push_back(std::move(file));
  });
  ForEachEntry(folder, "*.*", [&](const win::WIN32_FIND_DATAA& data) {
    if (!(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY)) return;
    if (!context.includeHidden && data.cFileName[0] == '.') return;
    const std::string sub = Join(folder, data.cFileName);
    if (data.dwFileAttributes & win::FILE_ATTRIBUTE_REPARSE_POINT) {
      if (context.links == LinkPolicy::Follow) {
        context.scan.skippedLinks.push_back(sub);
        return;
      }
      SourceFile link;
      link.entryName = prefix + data.cFileName;
      link.windowsPath = sub;
      link.mtime = data.ftLastWriteTime;
      link.linkTarget = InsideTarget(context, sub, HostPathOf(sub));
      link.size = link.linkTarget.size();
      link.mode = 0777;
      context.scan.files.push_back(std::move(link));
      return;
    }
    ScanInto(sub, prefix + data.cFileName + "/", context);
  });
}

}  // namespace

bool IsPattern(const std::string& windowsPath) {
  return FileNamePart(windowsPath).find_first_of("*?") != std::string::npos;
}

FolderScan ScanFolder(const std::string& windowsFolder, const std::string& pattern, bool includeHidden,
                      LinkPolicy links) {
  // An empty folder part ("\*.*") is the root of the current drive, as Windows reads it.
  const std::string folder = windowsFolder.empty() ? std::string("\\") : windowsFolder;
  const win::DWORD attributes = win::GetFileAttributesA(folder.c_str());
  if (attributes == win::INVALID_FILE_ATTRIBUTES || !(attributes & win::FILE_ATTRIBUTE_DIRECTORY))
    throw ToolFailure(kExitBadInput, folder + ": folder not found");
  FolderScan scan;
  std::error_code error;
  ScanContext context{pattern, includeHidden, links, fs::weakly_canonical(HostPathOf(folder), error), scan};
  ScanInto(folder, "", context);
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
  file.mode = CheckedMode(windowsPath);
  return file;
}

}  // namespace kc::tools
