// What the verifier knows of one image once it has read it: every file with
// its size and SHA-256, the directory of every module archive with its damaged
// entries, and where the settings files can be read by the profile functions.
// Each kind of image is read into this once; the checks look only at it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kc::verify {

struct Problem {
  std::string file;    // the file of the image it concerns (its name in the image)
  std::string reason;  // in plain words
};

struct ArchiveEntry {
  std::string name;   // as stored, "/" separated
  std::string label;  // squash's label (the entry's comment)
  bool directory = false;
};

struct ArchiveListing {
  bool opened = false;
  std::string openProblem;  // why it is no archive ("" when it opened)
  std::vector<ArchiveEntry> entries;
  std::vector<Problem> damaged;  // entries whose data or CRC is wrong (file = entry name)
};

struct ImageFile {
  std::string name;  // relative to the image, "/" separated
  std::uint64_t size = 0;
  bool folder = false;
  std::string readProblem;  // why it could not be read to its end ("" when it was)
  std::array<unsigned char, 32> sha256{};
  bool isArchive = false;  // a module archive (".z"): `archive` is filled
  ArchiveListing archive;
  // A Windows path where the profile functions read this settings file (the
  // file itself in a folder image, a private copy for a file read out of a
  // container); "" for files that are not settings.
  std::string settingsPath;
};

struct ImageContents {
  std::string kind;  // "CD", "administrator CD", "end-user CD", "disk", "network", ...
  std::vector<ImageFile> files;
  std::vector<Problem> problems;  // found while reading (integrity, unreadable files)
  std::string container;          // the file the image was read from (netsetup.exe, setup.iso), "" for a folder
  std::string commandLine;        // a network image's

  // The file of that name, letter case ignored as the installer finds it; null
  // when there is none.
  const ImageFile* Find(const std::string& name) const;
};

// Settings files are read with the profile functions: ".ini" and ".pkg".
bool IsSettingsName(const std::string& name);
// Module archives: ".z".
bool IsArchiveName(const std::string& name);

}  // namespace kc::verify
