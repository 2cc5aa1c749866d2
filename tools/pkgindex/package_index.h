// setup.pkg: the package list the installer checks its files against.
//
//   [Package]            (CRLF line ends)
//   Format=1
//   Files=<count>
//   Bytes=<total size>
//   [Files]
//   File1=<size>,<sha256 hex>,<file name>
//   File2=...
//
// Files are numbered from 1 in list order; the name comes last because a
// Windows file name may hold commas, and the numbered keys keep two files of
// the same name apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kc::tools {

struct IndexedFile {
  std::string name;  // the file name part of the listed path
  std::uint64_t size = 0;
  std::string sha256;      // lower-case hex
  std::int64_t mtime = 0;  // seconds since the Unix epoch
};

struct PackageIndex {
  std::vector<IndexedFile> files;
  std::vector<std::string> missing;     // listed paths that could not be read, with the reason
  std::vector<std::string> duplicates;  // names listed more than once (without regard to case)
};

// Reads every listed file once, hashing it as it is read.
PackageIndex IndexFiles(const std::vector<std::string>& windowsPaths);

// The newest modification time of the indexed files (0 when there are none):
// setup.pkg takes it, so that it carries a time of its inputs, not of the run.
std::int64_t NewestTime(const PackageIndex& index);

// The text of setup.pkg for the files that could be read.
std::string FormatPackageIndex(const PackageIndex& index);

}  // namespace kc::tools
