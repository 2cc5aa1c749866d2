// `kitcomp verify`: proves images complete and consistent (package list,
// installer settings, module settings and archives, a network image's
// integrity) without a kit and without changing anything; and the same
// verification for `kitcomp build --verify`.
#pragma once

#include <string>
#include <vector>

#include "app/command_build.h"
#include "engine/build_report.h"

namespace CLI {
class App;
}

namespace kc::app {

struct VerifyOptions {
  std::vector<std::string> paths;  // as given: host or Windows paths
  bool json = false;
};

// Exit statuses: every image sound, problems found, a path that is no image or
// cannot be read (or bad usage).
inline constexpr int kVerifySound = 0;
inline constexpr int kVerifyProblems = 1;
inline constexpr int kVerifyUnusable = 2;

CLI::App* AddVerifyCommand(CLI::App& app, VerifyOptions& options);

int RunCommandLineVerify(const VerifyOptions& options, const CommandStreams& streams);

// Verifies every image of a finished build; each problem becomes a failure of
// the build in `report`.
void AddVerificationFailures(engine::BuildReport& report);

}  // namespace kc::app
