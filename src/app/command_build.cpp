#include "app/command_build.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "app/build_summary.h"
#include "app/startup.h"
#include "app/terminal_progress.h"
#include "engine/build_plan.h"
#include "engine/directory_utils.h"
#include "engine/kit_lock.h"
#include "engine/script_generation.h"
#include "config/profile_access.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/interruption.h"

namespace kc::app {

namespace {

bool LooksLikeWindowsPath(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) ||
         path.find('\\') != std::string::npos;
}

// Only the benchmark sets this: it counts the 50 ms pauses of emptying out.
void ApplyEmptyPauseOverride() {
  if (const char* pause = std::getenv("KITCOMP_EMPTY_PAUSE_MS"); pause != nullptr && *pause != '\0') {
    engine::SetEmptyDirectoryPause(static_cast<unsigned>(std::strtoul(pause, nullptr, 10)));
  }
}

}  // namespace

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

int RunCommandLineBuild(const BuildOptions& options, std::FILE* out, std::FILE* err, bool interactive) {
  using namespace config;
  ApplyEmptyPauseOverride();
  // Ctrl+C ends the packaging tool that is running too.
  platform::EndChildrenWhenInterrupted("kitcomp");

  Result<RunPaths> started = StartUp();
  if (!started) {
    std::fprintf(err, "kitcomp: %s\n", started.error().c_str());
    return kExitRefused;
  }
  const RunPaths& paths = started.value();
  if (paths.installRoot.empty()) {
    std::fprintf(err, "kitcomp: no install root: .\\kitcomp.ini in the current directory has no \"%s\" in [%s]. "
                      "Run kitcomp in the kit's kitcomp folder or give -C.\n",
                 kInstalledPath, kKitComposer);
    return kExitRefused;
  }

  if (!engine::IsDirectory(paths.installRoot)) {
    std::fprintf(err, "kitcomp: the install root %s named by .\\kitcomp.ini is not a folder: no kit is there.\n",
                 paths.installRoot.c_str());
    return kExitRefused;
  }

  std::optional<std::string> config, output;
  std::string problem;
  for (auto [given, mapped] : {std::pair{&options.config, &config}, std::pair{&options.output, &output}}) {
    if (!given->has_value()) continue;
    *mapped = ArgumentToWindowsPath(**given, problem);
    if (!*mapped) {
      std::fprintf(err, "kitcomp: %s\n", problem.c_str());
      return kExitRefused;
    }
  }

  const std::string startingConfig = config.value_or(paths.defaultConfig);
  if (!engine::IsFile(startingConfig)) {
    std::fprintf(err,
                 engine::IsDirectory(startingConfig) ? "kitcomp: the configuration %s is a folder, not a file.\n"
                                                    : "kitcomp: the configuration %s does not exist.\n",
                 startingConfig.c_str());
    return kExitRefused;
  }
  // Held to the end of the build: another run on the kit is refused meanwhile.
  const Result<platform::FileLock> kit = engine::ReserveKit(paths, "kitcomp build");
  if (!kit) {
    std::fprintf(err, "kitcomp: %s\n", kit.error().c_str());
    return kExitRefused;
  }
  if (!RefreshWorkingFiles(paths, startingConfig)) {
    std::fprintf(err, "kitcomp: the working files could not be made from %s and %s: %s\n", startingConfig.c_str(),
                 paths.sourceSetupIni.c_str(), win::LastErrorText().c_str());
    return kExitRefused;
  }

  // What the output page would show, with the command line's overrides.
  const char* section = PlatformSection(paths.choicesFile);
  engine::FinishRequest request;
  request.createCd = options.createCd.value_or(IsExactly(ReadValue(paths.choicesFile, section, kCreateCd), kYes));
  request.createDownload =
      options.createDownload.value_or(IsExactly(ReadValue(paths.choicesFile, section, kCreateDownload), kYes));
  request.outputPath = output.value_or(ReadValue(paths.choicesFile, section, kOutputPath));

  const engine::FinishOutcome finish = engine::FinishInstallerScript(paths, request);
  if (!finish.accepted) {
    std::fprintf(err, "kitcomp: %s\n", finish.message.c_str());
    return kExitRefused;
  }

  TerminalProgress progress(out, interactive);
  NoWindow mainWindow;
  const engine::BuildReport report =
      engine::RunBuildPlan(paths, progress, mainWindow, [&](const engine::BuildReport& done) {
        progress.Finish();
        std::fputs(FormatSummary(done).c_str(), out);
        std::fflush(out);
      });
  return report.ok() ? kExitSuccess : kExitBuildFailed;
}

}  // namespace kc::app
