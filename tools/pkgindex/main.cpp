// pkgindex: the package list setup.pkg of an installer image.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/atomic_output.h"
#include "common/host_path.h"
#include "common/tool_cli.h"
#include "common/tool_failure.h"
#include "pkgindex/file_list.h"
#include "pkgindex/package_index.h"

namespace {

constexpr const char* kHelp = R"(Usage:
  pkgindex.exe LISTFILE

Writes setup.pkg into the current folder: the name, size and SHA-256 of every
file named in LISTFILE, and the totals. LISTFILE is a Windows path (drive
letter, backslashes), mapped through the drive table (KITCOMP_DRIVES). All
arguments together, joined with single spaces, are taken as the one path, so a
path with blanks works quoted or not. --version prints the version.

LISTFILE: first line "1;", then one Windows path per line (a trailing space
and other trailing blanks are ignored; CRLF, LF or CR line ends; empty lines
skipped).

setup.pkg (INI text, CRLF line ends, files in list order):
  [Package]
  Format=1
  Files=<number of files>
  Bytes=<their total size>
  [Files]
  File1=<size>,<sha256 in lower-case hex>,<file name>
  File2=...
The file name is the part of the listed path after the last backslash, as the
installer finds the files beside setup.pkg. Two files of the same name keep
their own lines (a warning is printed). setup.pkg is written to a temporary
file and renamed into place.

Exit status: 0 done; 1 setup.pkg written, but some listed files could not be
read (each one is named on stderr, and left out of setup.pkg); 2 bad usage or
LISTFILE missing or not a file list; 3 setup.pkg could not be written.
)";

}  // namespace

int main(int argc, char** argv) {
  using namespace kc::tools;
  return RunTool("pkgindex", [&] {
    std::string listPath;
    if (const std::optional<int> finished =
            ParseJoinedPath("pkgindex", kHelp, std::vector<std::string>(argv + 1, argv + argc), listPath))
      return *finished;
    if (listPath.empty()) throw ToolFailure(kExitBadInput, "no file list given (see pkgindex --help)");

    const PackageIndex index = IndexFiles(ReadFileList(listPath));
    AtomicOutput output(HostPathOf("setup.pkg"), "setup.pkg");
    const std::string text = FormatPackageIndex(index);
    output.Write(text.data(), text.size());
    output.SetModificationTime(NewestTime(index));
    output.Commit();

    for (const std::string& name : index.duplicates)
      std::fprintf(stderr, "pkgindex: warning: %s is listed more than once\n", name.c_str());
    for (const std::string& missing : index.missing) std::fprintf(stderr, "pkgindex: %s\n", missing.c_str());
    return index.missing.empty() ? kExitOk : kExitIncomplete;
  });
}
