// The drive table: which host folder each Windows drive letter names, and the
// mapping of Windows paths onto host paths and back.
//
// The table comes from KITCOMP_DRIVES ("c=/srv/kits;d=/mnt/data;\\srv\share=/mnt/s"),
// else from $XDG_CONFIG_HOME/kitcomp/drives.ini (section [Drives], "c=/srv/kits"),
// else the default: C: is the user's home folder and Z: the host root. A letter
// not in the table is a drive that does not exist; A: and B: are floppy drives.
// A kit may declare drives of its own (AddKitDrives), which are added on top.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

struct DriveEntry {
  std::string name;        // "C:" for a drive letter, or "\\server\share" for a network share
  std::string hostFolder;  // absolute host path without a trailing slash ("/" for the root)
};

class DriveTable {
 public:
  // The table in force for this process; loaded at first use.
  static const DriveTable& Current();
  // Reads the environment and drives.ini again (tests change KITCOMP_DRIVES).
  static void Reload();
  // Replaces the table in force (tests).
  static void Set(std::vector<DriveEntry> entries);
  // Adds the drives a kit declares for itself in the [Drives] section of an INI
  // file beside its kitcomp.ini (a Windows path); a relative folder there is
  // taken against the file's own folder, so the kit can move. The kit's
  // letters replace the same letters of the table in force. The table is then
  // put into KITCOMP_DRIVES, so that the programs the system starts (the
  // packaging tools) map paths as it does. A missing file adds nothing.
  // Returns "" or a message saying why the drives could not be added.
  static std::string AddKitDrives(std::string_view windowsIniPath);

  const std::vector<DriveEntry>& Entries() const { return entries_; }
  // Host folder of a drive letter (either case), or nullopt.
  std::optional<std::string> HostFolder(char letter) const;
  // Drive letters in the table, lower case, sorted.
  std::vector<char> Letters() const;
  static bool IsFloppy(char letter);

  explicit DriveTable(std::vector<DriveEntry> entries);

 private:
  std::vector<DriveEntry> entries_;
};

// Turns a Windows path into a host path. "X:\a\b" maps below X's folder; "\a\b"
// is on the drive of the current directory; a relative path is taken against
// the current directory; "/" also separates; doubled separators count once;
// "\\server\share\..." maps only where the table names the share. A component
// that does not exist as written is replaced by one that differs only in letter
// case, when there is one. nullopt: no such drive, an unmapped share, or a path
// of MAX_PATH characters or more (the last error says which).
std::optional<std::string> ToHostPath(std::string_view windowsPath);

// Turns a host path into a Windows path through the longest matching drive
// folder ("/home/u/kits/a" -> "C:\kits\a"); nullopt when no drive holds it.
std::optional<std::string> ToWindowsPath(std::string_view hostPath);

// The absolute Windows form of a Windows path, worked out without touching the
// disk: drive (or share), then the components with "." and ".." collapsed
// ("C:\kits\a"; "C:\" for a drive root). nullopt as for ToHostPath, and when
// a relative path is given while the current directory is on no drive.
std::optional<std::string> ToFullWindowsPath(std::string_view windowsPath);

}  // namespace win
