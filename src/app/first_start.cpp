// Host paths enter here: the program's own location and the XDG data folder.
// They are turned into Windows paths through the drive table before anything
// else sees them.
#include "app/first_start.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/startup.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "platform/profile.h"

namespace kc::app {

namespace fs = std::filesystem;

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && platform::EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string ParentOf(const std::string& windowsPath) {
  const auto slash = windowsPath.rfind('\\');
  return slash == std::string::npos ? std::string() : windowsPath.substr(0, slash);
}

std::vector<std::string> SectionNames(const std::string& file) {
  std::string buffer(1 << 16, '\0');
  const win::DWORD n = win::GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(),
                                                     static_cast<win::DWORD>(buffer.size()), file.c_str());
  std::vector<std::string> names;
  for (std::size_t p = 0; p < n && buffer[p] != '\0'; p += names.back().size() + 1) names.emplace_back(&buffer[p]);
  return names;
}

// The sample configuration names files of the kit and an output folder beside
// it by absolute paths; the copy must name its own.
void Relocate(const std::string& file, const std::string& oldParent, const std::string& newParent) {
  if (oldParent.empty()) return;
  for (const std::string& section : SectionNames(file)) {
    for (const std::string& key : config::ReadAllKeys(file, section.c_str())) {
      const std::string value = config::ReadValue(file, section.c_str(), key.c_str());
      if (StartsWithNoCase(value, oldParent + "\\")) {
        config::WriteValue(file, section.c_str(), key.c_str(), newParent + value.substr(oldParent.size()));
      }
    }
  }
}

}  // namespace

Result<FirstStartPlaces> FindFirstStartPlaces() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return Error{"The program cannot find its own location: " + error.message()};
  FirstStartPlaces places;
  places.deliveredKit = (self.parent_path().parent_path() / "share" / "kitcomp" / "kit").string();

  fs::path dataHome;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    dataHome = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    dataHome = fs::path(home) / ".local" / "share";
  } else {
    return Error{"Neither XDG_DATA_HOME nor HOME is set: there is no folder for the kit."};
  }
  places.userKit = (dataHome / "kitcomp" / "kit").string();
  return places;
}

Result<std::string> PrepareUserKit(const FirstStartPlaces& places) {
  std::error_code error;
  const bool fresh = !fs::exists(places.userKit, error);
  if (fresh) {
    if (!fs::is_directory(places.deliveredKit, error)) {
      return Error{"The delivered kit is missing: " + places.deliveredKit};
    }
    // Copied beside its final place and renamed, so that an interrupted first
    // start never leaves half a kit that later starts would take as complete.
    const fs::path partial = places.userKit + ".partial";
    fs::remove_all(partial, error);
    fs::create_directories(partial.parent_path(), error);
    fs::copy(places.deliveredKit, partial, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) return Error{"The kit could not be copied to " + partial.string() + ": " + error.message()};
    // The installed files are read-only; the copy is the user's to change.
    for (const auto& entry : fs::recursive_directory_iterator(partial, error)) {
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
    }
    fs::rename(partial, places.userKit, error);
    if (error) return Error{"The kit could not be put in place at " + places.userKit + ": " + error.message()};
  }

  // The kit's own drives first, so that the copy keeps the paths its files name.
  const std::optional<std::string> kitDrives = win::ToWindowsPath(places.userKit + "/kitcomp/" + kKitDrivesIni);
  if (!kitDrives) return Error{"The folder " + places.userKit + " is on no drive of the drive table."};
  if (std::string problem = win::DriveTable::AddKitDrives(*kitDrives); !problem.empty()) return Error{problem};
  const std::optional<std::string> root = win::ToWindowsPath(places.userKit);
  if (!root) return Error{"The folder " + places.userKit + " is on no drive of the drive table."};
  const std::string programIni = *root + "\\kitcomp\\kitcomp.ini";
  if (fresh) {
    const std::string oldRoot = config::ReadValue(programIni, config::kKitComposer, config::kInstalledPath);
    Relocate(*root + "\\kitcomp\\default.dkb", ParentOf(oldRoot), ParentOf(*root));
  }
  if (config::ReadValue(programIni, config::kKitComposer, config::kInstalledPath) != *root &&
      !config::WriteValue(programIni, config::kKitComposer, config::kInstalledPath, *root)) {
    return Error{"The kit's " + programIni + " could not be written."};
  }
  return *root + "\\kitcomp";
}

}  // namespace kc::app
