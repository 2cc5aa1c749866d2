// `kitcomp check`: a configuration's answers through every page's checks and
// Finish's, without building and without writing anything into the kit or
// the configuration (the work is done on private copies in a temporary folder).
#pragma once

#include "app/command_build.h"
#include "app/configuration_choice.h"

namespace CLI {
class App;
}

namespace kc::app {

struct CheckOptions : ConfigurationChoice {};

// Exit statuses: sound, problems found (each listed by page), and the check
// could not be made (bad usage, no kit, no configuration, no temporary folder).
inline constexpr int kCheckSound = 0;
inline constexpr int kCheckProblems = 1;
inline constexpr int kCheckUnusable = 2;

CLI::App* AddCheckCommand(CLI::App& app, CheckOptions& options);

// Checks in the current directory (where .\kitcomp.ini is read); the findings
// go to `out`, a check that cannot be made to `err`.
int RunCommandLineCheck(const CheckOptions& options, const CommandStreams& streams);

}  // namespace kc::app
