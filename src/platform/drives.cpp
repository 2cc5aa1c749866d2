// The drive table and the translation between Windows and host paths.
//
// Drive-relative paths ("D:a\b") are taken against the current directory when D
// is the drive of the current directory, else against the root of D: the
// process has one current directory, not one per drive.
#include "platform/drives.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include "platform/names.h"
#include "platform/win_types.h"

namespace win {
namespace {

using kc::platform::EqualNoCase;
using kc::platform::Lower;
using kc::platform::Upper;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// "/a//b/./c/" -> "/a/b/c"; ".." is taken lexically and stops at "/".
std::string NormalHostFolder(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string_view::npos) j = path.size();
    std::string_view part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  if (parts.empty()) return "/";
  std::string out;
  for (auto part : parts) {
    out += '/';
    out += part;
  }
  return out;
}

// Turns a table key ("c", "C:", "\\srv\share", "//srv/share") into an entry
// name, or "" when it names neither a drive nor a share.
std::string EntryName(std::string_view key) {
  key = Trim(key);
  if ((key.size() == 1 || (key.size() == 2 && key[1] == ':')) && std::isalpha(static_cast<unsigned char>(key[0]))) {
    return std::string(1, Upper(key[0])) + ":";
  }
  std::string name(key);
  std::replace(name.begin(), name.end(), '/', '\\');
  if (name.size() < 5 || name[0] != '\\' || name[1] != '\\') return "";
  while (!name.empty() && name.back() == '\\') name.pop_back();
  size_t sep = name.find('\\', 2);
  if (sep == std::string::npos || sep == 2 || sep + 1 >= name.size()) return "";
  if (name.find('\\', sep + 1) != std::string::npos) return "";
  return name;
}

// `base`: the folder a relative host folder is taken against; without one a
// relative folder would move with the current directory and is ignored.
void AddEntry(std::vector<DriveEntry>& entries, std::string_view key, std::string_view folder,
              std::string_view base = {}) {
  std::string name = EntryName(key);
  folder = Trim(folder);
  if (name.empty() || folder.empty()) return;
  std::string absolute(folder);
  if (folder.front() != '/') {
    if (base.empty()) return;
    absolute = std::string(base) + "/" + absolute;
  }
  DriveEntry entry{name, NormalHostFolder(absolute)};
  for (auto& existing : entries) {
    if (EqualNoCase(existing.name, name)) {
      existing = entry;
      return;
    }
  }
  entries.push_back(std::move(entry));
}

std::vector<DriveEntry> ParseEnvironmentTable(std::string_view text) {
  std::vector<DriveEntry> entries;
  size_t i = 0;
  while (i <= text.size()) {
    size_t j = text.find(';', i);
    if (j == std::string_view::npos) j = text.size();
    std::string_view item = text.substr(i, j - i);
    size_t eq = item.find('=');
    if (eq != std::string_view::npos) AddEntry(entries, item.substr(0, eq), item.substr(eq + 1));
    i = j + 1;
  }
  return entries;
}

// A small reader for drives.ini: section [Drives], "key=value" lines, ";"
// comments. The profile functions are not used here because they map their
// file names through this very table.
std::optional<std::vector<DriveEntry>> ReadIniTable(const std::string& file, std::string_view base = {}) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<DriveEntry> entries;
  bool inDrives = false;
  std::string line;
  while (std::getline(in, line)) {
    std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      size_t close = text.find(']');
      inDrives = close != std::string_view::npos && EqualNoCase(Trim(text.substr(1, close - 1)), "Drives");
      continue;
    }
    size_t eq = text.find('=');
    if (inDrives && eq != std::string_view::npos) AddEntry(entries, text.substr(0, eq), text.substr(eq + 1), base);
  }
  return entries;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return "/";
}

std::vector<DriveEntry> LoadTable() {
  if (const char* env = std::getenv("KITCOMP_DRIVES"); env && *env) return ParseEnvironmentTable(env);
  std::string configHome;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    configHome = xdg;
  } else {
    configHome = HomeFolder() + "/.config";
  }
  if (auto entries = ReadIniTable(configHome + "/kitcomp/drives.ini")) return *entries;
  return {{"C:", NormalHostFolder(HomeFolder())}, {"Z:", "/"}};
}

std::mutex tableMutex;
std::optional<DriveTable>& TableSlot() {
  static std::optional<DriveTable> table;
  return table;
}

std::optional<std::string> RealCurrentDirectory() {
  char buffer[4096];
  if (!::getcwd(buffer, sizeof buffer)) return std::nullopt;
  return std::string(buffer);
}

// True when `path` is `folder` or below it (component boundaries).
bool IsUnder(std::string_view path, std::string_view folder, std::string_view& rest) {
  if (folder == "/") {
    rest = path.substr(1);
    return true;
  }
  if (path.substr(0, folder.size()) != folder) return false;
  if (path.size() == folder.size()) {
    rest = {};
    return true;
  }
  if (path[folder.size()] != '/') return false;
  rest = path.substr(folder.size() + 1);
  return true;
}

// The entry holding a normalised absolute host path: the longest folder wins,
// and a drive letter wins a tie with a share.
const DriveEntry* EntryHolding(const DriveTable& table, std::string_view hostPath, std::string_view& rest) {
  const DriveEntry* best = nullptr;
  for (const auto& entry : table.Entries()) {
    std::string_view r;
    if (!IsUnder(hostPath, entry.hostFolder, r)) continue;
    bool better =
        !best || entry.hostFolder.size() > best->hostFolder.size() ||
        (entry.hostFolder.size() == best->hostFolder.size() && best->name[0] == '\\' && entry.name[0] != '\\') ||
        (entry.hostFolder.size() == best->hostFolder.size() && best->name[0] != '\\' && entry.name[0] != '\\' &&
         entry.name < best->name);
    if (better) {
      best = &entry;
      rest = r;
    }
  }
  return best;
}

void AppendComponents(std::vector<std::string>& parts, std::string_view path, char separator1, char separator2) {
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = i;
    while (j < path.size() && path[j] != separator1 && path[j] != separator2) ++j;
    std::string_view part = path.substr(i, j - i);
    if (part == "..") {
      // Never above the drive's own folder.
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.emplace_back(part);
    }
    i = j + 1;
  }
}

// A Windows path taken apart: the drive or share it is on, its host folder,
// and the collapsed components below it.
struct ResolvedPath {
  std::string rootName;  // "C:", "\\srv\share", or "" for a host folder on no drive
  std::string hostRoot;
  std::vector<std::string> parts;
};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// "\\server\share\rest": the share must be an entry of the table.
std::optional<ResolvedPath> ResolveShare(const DriveTable& table, std::string_view path) {
  size_t i = 2;
  while (i < path.size() && !IsSeparator(path[i])) ++i;
  size_t j = i + 1;
  while (j < path.size() && !IsSeparator(path[j])) ++j;
  std::string share = "\\\\" + std::string(path.substr(2, i - 2));
  if (i < path.size()) share += "\\" + std::string(path.substr(i + 1, j - i - 1));
  const DriveEntry* found = nullptr;
  for (const auto& entry : table.Entries()) {
    if (entry.name[0] == '\\' && EqualNoCase(entry.name, share)) found = &entry;
  }
  if (!found) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  ResolvedPath out;
  out.rootName = found->name;
  out.hostRoot = found->hostFolder;
  if (j < path.size()) AppendComponents(out.parts, path.substr(j + 1), '\\', '/');
  return out;
}

std::optional<ResolvedPath> Resolve(std::string_view path) {
  if (path.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return std::nullopt;
  }
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  const DriveTable& table = DriveTable::Current();
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return ResolveShare(table, path);
  ResolvedPath out;

  // Where the current directory is: its drive and its components there.
  auto cwd = RealCurrentDirectory();
  ResolvedPath current;
  bool haveCurrent = false;
  if (cwd) {
    std::string normal = NormalHostFolder(*cwd);
    std::string_view rest;
    if (const DriveEntry* entry = EntryHolding(table, normal, rest)) {
      current.rootName = entry->name;
      current.hostRoot = entry->hostFolder;
      AppendComponents(current.parts, rest, '/', '/');
    } else {
      current.rootName = "";
      current.hostRoot = "/";
      AppendComponents(current.parts, normal, '/', '/');
    }
    haveCurrent = true;
  }

  std::string_view rest = path;
  if (path.size() >= 2 && path[1] == ':') {
    char letter = path[0];
    auto folder = std::isalpha(static_cast<unsigned char>(letter)) ? table.HostFolder(letter) : std::nullopt;
    if (!folder) {
      SetLastError(ERROR_INVALID_DRIVE);
      return std::nullopt;
    }
    out.rootName = std::string(1, Upper(letter)) + ":";
    out.hostRoot = *folder;
    rest = path.substr(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      if (haveCurrent && current.rootName == out.rootName) out.parts = current.parts;
    }
  } else if (IsSeparator(path[0])) {
    if (!haveCurrent || current.rootName.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return std::nullopt;
    }
    out.rootName = current.rootName;
    out.hostRoot = current.hostRoot;
  } else {
    if (!haveCurrent) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return std::nullopt;
    }
    out = current;
  }
  AppendComponents(out.parts, rest, '\\', '/');
  return out;
}

std::string JoinHost(const std::string& root, const std::string& name) {
  return root == "/" ? "/" + name : root + "/" + name;
}

// A component that does not exist as written is replaced by the entry of its
// folder that differs only in ASCII letter case (the first in byte order when
// there are several). Once a component is missing the rest is kept as written.
std::string ApplyCaseFallback(const ResolvedPath& resolved) {
  std::string host = resolved.hostRoot;
  bool searching = true;
  for (const auto& part : resolved.parts) {
    std::string candidate = JoinHost(host, part);
    if (searching) {
      struct stat st {};
      if (::lstat(candidate.c_str(), &st) != 0) {
        std::string match;
        if (DIR* dir = ::opendir(host.c_str())) {
          while (dirent* e = ::readdir(dir)) {
            std::string_view name = e->d_name;
            if (EqualNoCase(name, part) && (match.empty() || name < match)) match = name;
          }
          ::closedir(dir);
        }
        if (match.empty()) {
          searching = false;
        } else {
          candidate = JoinHost(host, match);
        }
      }
    }
    host = std::move(candidate);
  }
  return host;
}

}  // namespace

DriveTable::DriveTable(std::vector<DriveEntry> entries) : entries_(std::move(entries)) {}

const DriveTable& DriveTable::Current() {
  std::lock_guard lock(tableMutex);
  auto& slot = TableSlot();
  if (!slot) slot.emplace(LoadTable());
  return *slot;
}

void DriveTable::Reload() {
  std::lock_guard lock(tableMutex);
  TableSlot().emplace(LoadTable());
}

void DriveTable::Set(std::vector<DriveEntry> entries) {
  // Entries go through the same checks as those read from the environment.
  std::vector<DriveEntry> checked;
  for (const auto& entry : entries) AddEntry(checked, entry.name, entry.hostFolder);
  std::lock_guard lock(tableMutex);
  TableSlot().emplace(std::move(checked));
}

std::string DriveTable::AddKitDrives(std::string_view windowsIniPath) {
  const std::optional<std::string> file = ToHostPath(windowsIniPath);
  if (!file) return "The kit's drive table " + std::string(windowsIniPath) + " is on no drive.";
  const std::optional<std::vector<DriveEntry>> declared = ReadIniTable(*file, file->substr(0, file->rfind('/')));
  if (!declared || declared->empty()) return "";

  std::vector<DriveEntry> entries = Current().Entries();
  for (const auto& entry : *declared) AddEntry(entries, entry.name, entry.hostFolder);
  // KITCOMP_DRIVES separates its entries with ";", which a folder name cannot
  // then hold.
  std::string exported;
  for (const auto& entry : entries) {
    if (entry.hostFolder.find(';') != std::string::npos) {
      return "The folder " + entry.hostFolder + " of drive " + entry.name +
             " holds a \";\", which the drive table cannot hand on to the packaging tools.";
    }
    exported += (exported.empty() ? "" : ";") + entry.name + "=" + entry.hostFolder;
  }
  if (::setenv("KITCOMP_DRIVES", exported.c_str(), 1) != 0) {
    return "The kit's drives cannot be handed on to the packaging tools: the environment is full.";
  }
  std::lock_guard lock(tableMutex);
  TableSlot().emplace(std::move(entries));
  return "";
}

std::optional<std::string> DriveTable::HostFolder(char letter) const {
  for (const auto& entry : entries_) {
    if (entry.name.size() == 2 && entry.name[1] == ':' && Lower(entry.name[0]) == Lower(letter)) {
      return entry.hostFolder;
    }
  }
  return std::nullopt;
}

std::vector<char> DriveTable::Letters() const {
  std::vector<char> letters;
  for (const auto& entry : entries_) {
    if (entry.name.size() == 2 && entry.name[1] == ':') letters.push_back(Lower(entry.name[0]));
  }
  std::sort(letters.begin(), letters.end());
  return letters;
}

bool DriveTable::IsFloppy(char letter) {
  return Lower(letter) == 'a' || Lower(letter) == 'b';
}

std::optional<std::string> ToHostPath(std::string_view windowsPath) {
  auto resolved = Resolve(windowsPath);
  if (!resolved) return std::nullopt;
  return ApplyCaseFallback(*resolved);
}

std::optional<std::string> ToFullWindowsPath(std::string_view windowsPath) {
  auto resolved = Resolve(windowsPath);
  if (!resolved) return std::nullopt;
  if (resolved->rootName.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  std::string out = resolved->rootName;
  for (const auto& part : resolved->parts) out += "\\" + part;
  if (resolved->parts.empty()) out += "\\";
  if (out.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> ToWindowsPath(std::string_view hostPath) {
  std::string absolute(hostPath);
  if (absolute.empty() || absolute.front() != '/') {
    auto cwd = RealCurrentDirectory();
    if (!cwd) {
      SetLastErrorFromErrno(errno);
      return std::nullopt;
    }
    absolute = *cwd + "/" + absolute;
  }
  std::string normal = NormalHostFolder(absolute);
  std::string_view rest;
  const DriveEntry* entry = EntryHolding(DriveTable::Current(), normal, rest);
  if (!entry) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return std::nullopt;
  }
  std::string out = entry->name + "\\";
  for (char c : rest) out += c == '/' ? '\\' : c;
  if (out.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return std::nullopt;
  }
  return out;
}

}  // namespace win
