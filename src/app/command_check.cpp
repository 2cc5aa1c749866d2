#include "app/command_check.h"

#include <CLI/CLI.hpp>

#include "app/answer_keys.h"
#include "app/configuration_check.h"
#include "app/startup.h"
#include "config/keys.h"
#include "engine/directory_utils.h"
#include "engine/output_location.h"
#include "platform/files.h"
#include "platform/temporary_folder.h"

namespace kc::app {
namespace {

int Unusable(const CommandStreams& streams, const std::string& message) {
  std::fprintf(streams.err, "kitcomp: %s\n", message.c_str());
  return kCheckUnusable;
}

std::string Listing(const std::string& configuration, const std::vector<ConfigurationProblem>& problems) {
  if (problems.empty()) {
    return "The configuration " + configuration +
           " is sound: neither a page nor Finish would refuse it, and every "
           "file and module it names is there.\n";
  }
  std::string text = "The configuration " + configuration + " has " + std::to_string(problems.size()) +
                     (problems.size() == 1 ? " problem:\n" : " problems:\n");
  for (const char* page : kPages) {
    bool named = false;
    for (const ConfigurationProblem& problem : problems) {
      if (problem.page != page) continue;
      if (!named) text += std::string(page) + (page == std::string(kOutputPage) ? " (Finish):\n" : ":\n");
      named = true;
      text += "  " + problem.message + "\n";
    }
  }
  for (const ConfigurationProblem& problem : problems) {
    if (problem.page.empty()) text += "  " + problem.message + "\n";
  }
  return text;
}

}  // namespace

CLI::App* AddCheckCommand(CLI::App& app, CheckOptions& options) {
  CLI::App* check = app.add_subcommand(
      "check", "Check a configuration as the wizard's pages and Finish would, without building or writing anything");
  check->fallthrough();
  AddConfigurationOptions(*check, options);
  check->footer(
      "Exit status: 0 when the configuration is sound, 1 when it has problems (each listed under its page),\n"
      "2 when it cannot be checked (bad usage, no kit, no configuration). See kitcomp(1).");
  return check;
}

int RunCommandLineCheck(const CheckOptions& options, const CommandStreams& streams) {
  using namespace config;
  // Nothing is made in the kit, not even its work folders.
  Result<RunPaths> started = StartUp(kStartupIni, false);
  if (!started) return Unusable(streams, started.error());
  const RunPaths& paths = started.value();
  if (paths.installRoot.empty() || !engine::IsDirectory(paths.installRoot)) {
    return Unusable(streams, "no kit: .\\kitcomp.ini names no install root that is a folder (\"" +
                                 std::string(kInstalledPath) + "\" in [" + kKitComposer + "]).");
  }
  const Result<ResolvedChoice> resolved = ResolveConfigurationChoice(options, paths);
  if (!resolved) return Unusable(streams, resolved.error());

  // Private copies: the working files of a build that may be running stay as
  // they are.
  const platform::TemporaryFolder scratch("kitcomp-check");
  if (scratch.windowsPath().empty()) return Unusable(streams, scratch.problem());
  const std::string root = engine::ComparablePath(paths.installRoot);
  if (engine::ComparablePath(scratch.windowsPath()).rfind(root + "\\", 0) == 0) {
    return Unusable(streams, "the temporary folder " + scratch.windowsPath() +
                                 " lies inside the kit; set TMPDIR to "
                                 "a folder outside it.");
  }
  const std::string choices = scratch.windowsPath() + "\\choices.ini";
  const std::string settings = scratch.windowsPath() + "\\setup.ini";
  if (win::CopyFileA(resolved->startingConfig.c_str(), choices.c_str(), win::FALSE) == win::FALSE) {
    return Unusable(streams,
                    "the configuration " + resolved->startingConfig + " cannot be read: " + win::LastErrorText());
  }
  // As the run driver copies it over the engine setup.ini; a kit without one
  // gets its settings from the rows alone, as a build would.
  if (engine::IsFile(paths.sourceSetupIni)) win::CopyFileA(paths.sourceSetupIni.c_str(), settings.c_str(), win::FALSE);

  const SettingsOutcome set =
      ApplyAnswerSettings(paths, choices, resolved->settings, options.forceSettings, SettingChecks::kValuesOnly);
  if (!set.unknown.empty()) {
    for (const SettingProblem& problem : set.unknown) Unusable(streams, problem.message);
    return kCheckUnusable;
  }
  std::vector<ConfigurationProblem> problems;
  for (const SettingProblem& problem : set.refused) problems.push_back({problem.page, problem.message});
  const std::vector<ConfigurationProblem> found =
      CheckConfiguration(paths, choices, settings, MakeFinishRequest(options, *resolved, choices));
  problems.insert(problems.end(), found.begin(), found.end());

  std::fputs(Listing(resolved->startingConfig, problems).c_str(), streams.out);
  std::fflush(streams.out);
  return problems.empty() ? kCheckSound : kCheckProblems;
}

}  // namespace kc::app
