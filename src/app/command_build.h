// `kitcomp build`: start-up, the working files from a configuration, the --set
// answers, Finish and the build plan, without windows.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "app/configuration_choice.h"

namespace CLI {
class App;
}

namespace kc::app {

enum class Verbosity { kQuiet, kNormal, kVerbose };

struct BuildOptions : ConfigurationChoice {
  Verbosity verbosity = Verbosity::kNormal;
  std::optional<std::string> log;  // --log FILE, as given
  bool json = false;               // --json: one JSON document on standard output
  bool verify = false;             // --verify: every image made is verified, its problems failures
};

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitBuildFailed = 1;
inline constexpr int kExitRefused = 2;

// Where a command's words go, and which of the two streams are terminals.
struct CommandStreams {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool outIsTerminal = false;
  bool errIsTerminal = false;
};

// Adds the subcommand and its options, which parsing stores in `options`.
CLI::App* AddBuildCommand(CLI::App& app, BuildOptions& options);

// Runs a build in the current directory (where .\kitcomp.ini is read). The
// progress goes to `out` (to `err` with --json, nowhere with --quiet), the
// summary to `out`, failures and refusals to `err`.
int RunCommandLineBuild(const BuildOptions& options, const CommandStreams& streams);

}  // namespace kc::app
