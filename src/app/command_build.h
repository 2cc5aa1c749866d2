// `kitcomp build`: start-up, the working files from a configuration, Finish
// and the build plan, without windows.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace kc::app {

struct BuildOptions {
  // As given: a Windows path, or a host path that is mapped after start-up
  // (ArgumentToWindowsPath), when the kit's own drives are in the table.
  std::optional<std::string> config;  // a saved configuration
  std::optional<std::string> output;  // replaces "Output Path"
  std::optional<bool> createCd;       // replaces "Create CD"
  std::optional<bool> createDownload; // replaces "Create Download"
};

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitBuildFailed = 1;
inline constexpr int kExitRefused = 2;

// Runs a build in the current directory (where .\kitcomp.ini is read) and
// reports on `out` (progress, summary) and `err` (refusals).
int RunCommandLineBuild(const BuildOptions& options, std::FILE* out, std::FILE* err, bool interactive);

// A command-line path in the system's form: a Windows path is taken as it is,
// a host path is made absolute and mapped through the drive table. nullopt
// (with `problem` set) when no drive holds it.
std::optional<std::string> ArgumentToWindowsPath(const std::string& argument, std::string& problem);

}  // namespace kc::app
