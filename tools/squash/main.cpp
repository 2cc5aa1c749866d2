// squash: zip archives of module files.
#include <cstdio>
#include <string>
#include <vector>

#include "common/tool_failure.h"
#include "squash/archive_merge.h"
#include "squash/squash_options.h"

namespace {

constexpr const char* kHelp = R"(Usage:
  squash.exe SOURCE ARCHIVE.z [LABEL]
  squash.exe -i [-o] [-sh] "FOLDER\PATTERN" ARCHIVE.z [LABEL]
  squash.exe --list ARCHIVE.z

Makes zip archives (".z" files) of module files. Paths are Windows paths
(drive letter, backslashes), mapped through the drive table (KITCOMP_DRIVES).

SOURCE is either one file, stored under its file name ("config\velomark.cfg"
becomes "velomark.cfg"), or a folder and a wildcard pattern ("FOLDER\*.*"):
then every matching file of the folder and of all its subfolders is stored
under its path relative to FOLDER, with "/" separators ("program/defaults/
bookmark.htm"). An empty match is no error; a missing folder or file is.

  -i    merge into ARCHIVE.z when it exists (without -i it is replaced)
  -o    an added file replaces an entry of the same name (names compare
        without regard to case); without -o the existing entry is kept
  -sh   include hidden files and folders (names starting with "."); without
        it they are skipped (a SOURCE file named on its own is always taken)
  LABEL recorded with every added entry; an entry added without LABEL loses
        any label it had
  --list  print "<size><TAB><name><TAB><label>" for every entry
  --help  this text

Format: a zip archive, deflate compression, entries in name order without
regard to case, each with its input file's modification time, mode 0644 or
0755 (kept executable bit), owner 0:0 and no owner names: the same inputs give
the same bytes. Labels live in the entry ".squash/labels", one line per
labelled entry: "<entry name><TAB><label>", in entry order. The archive is
written to a temporary file beside it and renamed into place, so a failed run
leaves the old archive untouched.

Exit status: 0 done; 2 bad usage, or an input (file, folder, existing archive)
missing or unreadable; 3 the archive could not be written.
)";

}  // namespace

int main(int argc, char** argv) {
  using namespace kc::tools;
  return RunTool("squash", [&] {
    const SquashOptions options = ParseSquashOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      std::fputs(kHelp, stdout);
      return kExitOk;
    }
    if (options.list) {
      ListArchive(options.archive, stdout);
      return kExitOk;
    }
    const MergeReport report = SquashFiles(options);
    for (const std::string& warning : report.warnings) std::fprintf(stderr, "squash: warning: %s\n", warning.c_str());
    std::printf("%s: %d added, %d replaced, %d kept\n", options.archive.c_str(), report.added, report.replaced,
                report.kept);
    return kExitOk;
  });
}
