// Starting the packaging tools of the kitcomp directory and waiting for them.
#pragma once

#include <string>
#include <vector>

#include "engine/build_report.h"

namespace kc::engine {

// The tools' file names as the engine launches them.
inline constexpr const char* kSquashTool = "squash.exe";
inline constexpr const char* kPkgIndexTool = "pkgindex.exe";
inline constexpr const char* kSfxMakerTool = "sfxmaker.exe";
// The self-extracting file sfxmaker.exe writes into its DestDir.
inline constexpr const char* kSfxFileName = "netsetup.exe";

// How the command line names the tool: by its bare file name, or (the CD
// image's package-list run) by its full path in the kitcomp directory.
enum class ToolName { kBare, kFullPath };

// The files a tool run is there to write (Windows paths).
using ToolOutputs = std::vector<std::string>;

// Runs `<kitcomp directory>\<tool> arguments` and waits for it without time-out.
// The tool is found in the kitcomp directory whatever the current directory is
// (a folder browser may have moved it), and runs with that directory as its
// current directory, where pkgindex.exe leaves setup.pkg. The child is detached
// (no terminal). A command line of more than 259 characters is refused before
// anything starts. A tool that cannot start, ends with a non-zero status, or
// ends with status 0 without having written each of `outputs` (missing, not a
// plain file, or the file of before left as it was) is recorded in `report`
// under `step` with its error output, and the temporary files it left beside
// its outputs are removed; returns true only when the tool ran, succeeded and
// wrote its outputs.
bool RunTool(const std::string& kitcompDirectory, const char* tool, const std::string& arguments,
             const ToolOutputs& outputs, const std::string& step, BuildReport& report, ToolName name = ToolName::kBare);

// The command line RunTool would pass: the tool's name, a blank, the arguments.
// A full path with a blank in it is quoted, so that it stays one argument.
std::string ToolCommandLine(const std::string& kitcompDirectory, const char* tool, const std::string& arguments,
                            ToolName name = ToolName::kBare);

}  // namespace kc::engine
