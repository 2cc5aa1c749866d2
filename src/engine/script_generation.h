// Finish: checks the output drive and turns the answers of the choices file into
// the generated installer's settings in the engine setup.ini.
#pragma once

#include <string>

#include "config/run_paths.h"

namespace kc::engine {

struct FinishRequest {
  std::string outputPath;  // the output page's path text
  bool createCd = false;   // "Create CD image" checked
  bool createDownload = false;  // "Create Network downloadable file" checked
};

struct FinishOutcome {
  bool accepted = false;
  // When refused: the text for the message box (caption "Kit Composer"),
  // string 2 or 3 of the string table or another clear reason.
  std::string message;
};

// Writes "Create CD" and "Create Download", then checks, in this order: the
// output path as the choices file will give it back (its length, the drive's
// free space for the chosen images, a file can be created at its root, not in
// the kit's own folders), the installer settings written into a draft, the
// module names they give (plain file names), and every path the build will
// form (259 characters at most). When all pass it writes "Output Path" and the
// draft replaces the engine setup.ini. A refused Finish has written only the
// two image keys.
FinishOutcome FinishInstallerScript(const config::RunPaths& paths, const FinishRequest& request);

// The two drive checks, 1 when they pass and 0 when not, on the first three
// characters of the output path.
int CheckFreeSpace(const std::string& outputPath, bool createCd, bool createDownload);
int CheckWritable(const std::string& outputPath);

}  // namespace kc::engine
