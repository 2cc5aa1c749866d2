// The configuration a command starts from, as `kitcomp build` and `kitcomp
// check` take it: the saved configuration (or default.dkb), the output path
// and image overrides, and the --set answers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/answer_settings.h"
#include "config/run_paths.h"
#include "engine/script_generation.h"
#include "platform/result.h"

namespace CLI {
class App;
}

namespace kc::app {

struct ConfigurationChoice {
  // As given: a Windows path, or a host path that is mapped after start-up
  // (ArgumentToWindowsPath), when the kit's own drives are in the table.
  std::optional<std::string> config;   // a saved configuration
  std::optional<std::string> output;   // replaces "Output Path"
  std::optional<bool> createCd;        // replaces "Create CD"
  std::optional<bool> createDownload;  // replaces "Create Download"
  std::vector<std::string> settings;   // --set, in the order given
  bool forceSettings = false;          // --force-set: keys no page knows too
};

// Adds --config, --output, --cd/--no-cd, --download/--no-download, --set and
// --force-set to a subcommand.
void AddConfigurationOptions(CLI::App& command, ConfigurationChoice& choice);

// The choice with its paths mapped and its settings parsed.
struct ResolvedChoice {
  std::string startingConfig;         // Windows path of an existing file
  std::optional<std::string> output;  // Windows path
  std::vector<AnswerSetting> settings;
};
// The refusal names the path that maps onto no drive, the configuration that
// is missing or a folder, or the --set that is not KEY=VALUE.
Result<ResolvedChoice> ResolveConfigurationChoice(const ConfigurationChoice& choice, const config::RunPaths& paths);

// What Finish is asked for: the overrides, else what the output page would
// show from the choices file.
engine::FinishRequest MakeFinishRequest(const ConfigurationChoice& choice, const ResolvedChoice& resolved,
                                        const std::string& choicesFile);

// A command-line path in the system's form: a Windows path is taken as it is,
// a host path is made absolute and mapped through the drive table. nullopt
// (with `problem` set) when no drive holds it.
std::optional<std::string> ArgumentToWindowsPath(const std::string& argument, std::string& problem);

}  // namespace kc::app
