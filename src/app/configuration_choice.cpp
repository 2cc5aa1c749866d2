#include "app/configuration_choice.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdint>
#include <filesystem>

#include "config/profile_access.h"
#include "engine/directory_utils.h"
#include "platform/drives.h"

namespace kc::app {
namespace {

bool LooksLikeWindowsPath(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) ||
         path.find('\\') != std::string::npos;
}

}  // namespace

void AddConfigurationOptions(CLI::App& command, ConfigurationChoice& choice) {
  command
      .add_option_function<std::string>(
          "--config", [&choice](const std::string& value) { choice.config = value; },
          "Start from this saved configuration (*.kcm) instead of default.dkb")
      ->type_name("FILE.kcm");
  command
      .add_option_function<std::string>(
          "--output", [&choice](const std::string& value) { choice.output = value; },
          "Put the images under PATH instead of the configuration's output path")
      ->type_name("PATH");
  command.add_flag_function(
      "--cd,!--no-cd", [&choice](std::int64_t count) { choice.createCd = count > 0; },
      "Ask for the CD image (or not), whatever the configuration says");
  command.add_flag_function(
      "--download,!--no-download", [&choice](std::int64_t count) { choice.createDownload = count > 0; },
      "Ask for the downloadable network image (or not), whatever the configuration says");
  command
      .add_option("--set", choice.settings,
                  "Set an answer after the configuration is copied, through the checks of the page that owns it: "
                  "KEY=VALUE in the platform section, [SECTION]KEY=VALUE in another (repeatable)")
      ->type_name("KEY=VALUE")
      ->allow_extra_args(false);
  command.add_flag("--force-set", choice.forceSettings, "Let --set write keys that no page and no build step knows");
}

std::optional<std::string> ArgumentToWindowsPath(const std::string& argument, std::string& problem) {
  if (LooksLikeWindowsPath(argument)) return argument;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  if (error) {
    problem = "The path " + argument + " cannot be made absolute: " + error.message();
    return std::nullopt;
  }
  std::optional<std::string> windows = win::ToWindowsPath(absolute.lexically_normal().string());
  if (!windows) problem = "The path " + argument + " is on no drive of the drive table.";
  return windows;
}

Result<ResolvedChoice> ResolveConfigurationChoice(const ConfigurationChoice& choice, const config::RunPaths& paths) {
  ResolvedChoice resolved;
  std::string problem;
  std::optional<std::string> config;
  for (auto [given, mapped] : {std::pair{&choice.config, &config}, std::pair{&choice.output, &resolved.output}}) {
    if (!given->has_value()) continue;
    *mapped = ArgumentToWindowsPath(**given, problem);
    if (!*mapped) return Error{problem};
  }
  resolved.startingConfig = config.value_or(paths.defaultConfig);
  if (engine::IsDirectory(resolved.startingConfig)) {
    return Error{"the configuration " + resolved.startingConfig + " is a folder, not a file."};
  }
  if (!engine::IsFile(resolved.startingConfig)) {
    return Error{"the configuration " + resolved.startingConfig + " does not exist."};
  }
  for (const std::string& text : choice.settings) {
    std::optional<AnswerSetting> setting = ParseAnswerSetting(text, problem);
    if (!setting) return Error{problem};
    resolved.settings.push_back(std::move(*setting));
  }
  return resolved;
}

engine::FinishRequest MakeFinishRequest(const ConfigurationChoice& choice, const ResolvedChoice& resolved,
                                        const std::string& choicesFile) {
  using namespace config;
  const char* section = PlatformSection(choicesFile);
  engine::FinishRequest request;
  request.createCd = choice.createCd.value_or(IsExactly(ReadValue(choicesFile, section, kCreateCd), kYes));
  request.createDownload =
      choice.createDownload.value_or(IsExactly(ReadValue(choicesFile, section, kCreateDownload), kYes));
  request.outputPath = resolved.output.value_or(ReadValue(choicesFile, section, kOutputPath));
  return request;
}

}  // namespace kc::app
