#include "squash/squash_options.h"

#include <map>

#include "common/names.h"
#include "common/tool_cli.h"
#include "common/tool_failure.h"

namespace kc::tools {
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
bookmark.htm"). An empty match is no error; a missing folder or file is, and
so is a FIFO, socket or device node. Temporary files left by an interrupted
copy or write (".<name>.tmp-<hex>", ".<name>.copy-<hex>") are never taken.

  -i    merge into ARCHIVE.z when it exists (without -i it is replaced);
        entries that stay are copied as they are, not recompressed
  -o    an added file replaces an entry of the same name (names compare
        without regard to case); without -o the existing entry is kept
  -sh   include hidden files and folders (names starting with "."); without
        it they are skipped (a SOURCE file named on its own is always taken)
  LABEL recorded with every added entry; an entry added without LABEL loses
        any label it had
  --list     print "<size><TAB><name><TAB><label>" for every entry
  --version  print the version
  --help     this text
Options are matched without regard to case.

Format: a zip archive, deflate compression, entries in name order without
regard to case, each with its input file's modification time, mode 0644 or
0755 (kept executable bit), owner 0:0 and no owner names: the same inputs give
the same bytes. A name that is valid UTF-8 and not plain ASCII carries the zip
UTF-8 flag; other names are stored as their bytes, unflagged. An entry's label
is its comment in the zip directory (archives with the older ".squash/labels"
entry are still read, and converted when rewritten). The archive is written to
a temporary file beside it and renamed into place, so a failed run leaves the
old archive untouched.

Exit status: 0 done; 2 bad usage, or an input (file, folder, existing archive)
missing, unreadable or not a file; 3 the archive could not be written.
)";

// CLI11 knows no single-dash words such as "-sh" and compares names by case:
// the spellings the engine and Windows users type are mapped onto ours.
std::vector<std::string> CanonicalSpellings(const std::vector<std::string>& arguments) {
  static const std::map<std::string, std::string> kSpellings = {
      {"-i", "-i"},     {"-o", "-o"},     {"-sh", "--sh"},      {"-l", "--list"},          {"--list", "--list"},
      {"-h", "--help"}, {"-?", "--help"}, {"--help", "--help"}, {"--version", "--version"}};
  std::vector<std::string> canonical;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    const auto found = optionsEnded ? kSpellings.end() : kSpellings.find(LowerCase(argument));
    if (argument == "--") optionsEnded = true;
    canonical.push_back(found == kSpellings.end() ? argument : found->second);
  }
  return canonical;
}

}  // namespace

SquashOptions ParseSquashOptions(const std::vector<std::string>& arguments) {
  SquashOptions options;
  const auto app = MakeToolApp("squash.exe", kHelp);
  app->add_flag("-i", options.include);
  app->add_flag("-o", options.overwrite);
  app->add_flag("--sh", options.hidden);
  app->add_flag("--list", options.list);
  std::vector<std::string> positional;
  app->add_option("arguments", positional);
  options.finished = ParseToolArguments(*app, "squash", CanonicalSpellings(arguments));
  if (options.finished) return options;
  if (options.list) {
    if (positional.size() != 1) throw ToolFailure(kExitBadInput, "--list takes one archive (see squash --help)");
    options.archive = positional[0];
    return options;
  }
  if (positional.size() < 2 || positional.size() > 3)
    throw ToolFailure(kExitBadInput, "expected SOURCE ARCHIVE [LABEL] (see squash --help)");
  options.source = positional[0];
  options.archive = positional[1];
  if (positional.size() == 3) options.label = positional[2];
  if (options.label && options.label->find_first_of("\t\r\n") != std::string::npos)
    throw ToolFailure(kExitBadInput, "a label cannot hold tabs or line breaks");
  if (options.label && options.label->size() > 1000) throw ToolFailure(kExitBadInput, "a label is at most 1000 bytes");
  return options;
}

}  // namespace kc::tools
