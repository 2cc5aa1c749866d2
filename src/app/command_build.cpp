#include "app/command_build.h"

#include <CLI/CLI.hpp>
#include <cstdlib>

#include "app/answer_settings.h"
#include "app/build_json.h"
#include "app/build_summary.h"
#include "app/build_transcript.h"
#include "app/command_verify.h"
#include "app/startup.h"
#include "config/profile_access.h"
#include "engine/build_plan.h"
#include "engine/directory_utils.h"
#include "engine/kit_lock.h"
#include "engine/script_generation.h"
#include "platform/files.h"
#include "platform/interruption.h"
#include "platform/whole_file.h"

namespace kc::app {

namespace {

// Only the benchmark sets this: it counts the 50 ms pauses of emptying out.
void ApplyEmptyPauseOverride() {
  if (const char* pause = std::getenv("KITCOMP_EMPTY_PAUSE_MS"); pause != nullptr && *pause != '\0') {
    engine::SetEmptyDirectoryPause(static_cast<unsigned>(std::strtoul(pause, nullptr, 10)));
  }
}

void Print(std::FILE* stream, const std::string& text) {
  if (text.empty()) return;
  std::fputs(text.c_str(), stream);
  std::fflush(stream);
}

BuildTranscript::Terminal ProgressTerminal(const BuildOptions& options, const CommandStreams& streams) {
  if (options.verbosity == Verbosity::kQuiet) return {};
  // With --json standard output holds the document alone.
  if (options.json) return {streams.err, streams.errIsTerminal, options.verbosity == Verbosity::kVerbose};
  return {streams.out, streams.outIsTerminal, options.verbosity == Verbosity::kVerbose};
}

class BuildCommand {
 public:
  BuildCommand(const BuildOptions& options, const CommandStreams& streams)
      : options_(options),
        streams_(streams),
        transcript_(ProgressTerminal(options, streams), options.log.has_value()) {}

  int Run();

 private:
  int Refuse(const std::string& message);
  void ReportOutcome(const engine::BuildReport& report);
  int End(int status, const engine::BuildReport* report, const std::string& refusal);
  std::string LogProblem() const;

  const BuildOptions& options_;
  CommandStreams streams_;
  BuildTranscript transcript_;
};

// Where the log goes, or why it cannot go there (checked before anything is
// built, and again when it is written).
std::optional<std::string> LogPath(const std::string& given, std::string& problem) {
  std::optional<std::string> path = ArgumentToWindowsPath(given, problem);
  if (!path) return std::nullopt;
  const std::string folder = engine::DirectoryPart(*path);
  if (engine::IsDirectory(*path)) {
    problem = "the log " + *path + " is a folder.";
    return std::nullopt;
  }
  if (!folder.empty() && folder.back() != ':' && !engine::IsDirectory(folder)) {
    problem = "the folder " + folder + " of the log " + *path + " does not exist.";
    return std::nullopt;
  }
  return path;
}

std::string BuildCommand::LogProblem() const {
  std::string problem;
  if (options_.log && !LogPath(*options_.log, problem)) return problem;
  if (options_.log && !transcript_.keepsLog()) {
    return "no temporary file could hold the log until the end.";
  }
  return "";
}

int BuildCommand::Refuse(const std::string& message) {
  Print(streams_.err, "kitcomp: " + message + "\n");
  transcript_.Log("kitcomp: " + message + "\n");
  return End(kExitRefused, nullptr, message);
}

void BuildCommand::ReportOutcome(const engine::BuildReport& report) {
  transcript_.Log(FormatSummary(report));
  if (options_.json) {
    Print(streams_.err, FormatFailures(report));
  } else if (options_.verbosity == Verbosity::kQuiet) {
    if (!report.ok()) Print(streams_.err, FormatFailures(report) + FormatVerdict(report));
  } else {
    Print(streams_.out, FormatImages(report));
    Print(streams_.err, FormatFailures(report));
    Print(streams_.out, FormatVerdict(report));
  }
}

int BuildCommand::End(int status, const engine::BuildReport* report, const std::string& refusal) {
  if (options_.log) {
    std::string problem;
    const std::optional<std::string> path = LogPath(*options_.log, problem);
    if (path && win::WriteWholeFileA(path->c_str(), transcript_.LogText()) == win::FALSE) {
      problem = "the log could not be written to " + *path + ": " + win::LastErrorText();
    }
    // A log refused at the start has been named already.
    if (!problem.empty() && problem != refusal) {
      Print(streams_.err, "kitcomp: " + problem + "\n");
      // The log was asked for: a build without it has not done all it should.
      if (status == kExitSuccess) status = kExitBuildFailed;
    }
  }
  if (options_.json) Print(streams_.out, FormatBuildJson(status, report, refusal));
  return status;
}

int BuildCommand::Run() {
  using namespace config;
  ApplyEmptyPauseOverride();
  // Ctrl+C ends the packaging tool that is running too.
  platform::EndChildrenWhenInterrupted("kitcomp");

  Result<RunPaths> started = StartUp();
  if (!started) return Refuse(started.error());
  const RunPaths& paths = started.value();
  if (paths.installRoot.empty()) {
    return Refuse(std::string("no install root: .\\kitcomp.ini in the current directory has no \"") + kInstalledPath +
                  "\" in [" + kKitComposer + "]. Run kitcomp in the kit's kitcomp folder or give -C.");
  }
  if (!engine::IsDirectory(paths.installRoot)) {
    return Refuse("the install root " + paths.installRoot +
                  " named by .\\kitcomp.ini is not a folder: no kit is there.");
  }
  const Result<ResolvedChoice> resolved = ResolveConfigurationChoice(options_, paths);
  if (!resolved) return Refuse(resolved.error());
  if (const std::string problem = LogProblem(); !problem.empty()) return Refuse(problem);

  // Held to the end of the build: another run on the kit is refused meanwhile.
  const Result<platform::FileLock> kit = engine::ReserveKit(paths, "kitcomp build");
  if (!kit) return Refuse(kit.error());
  if (!RefreshWorkingFiles(paths, resolved->startingConfig)) {
    return Refuse("the working files could not be made from " + resolved->startingConfig + " and " +
                  paths.sourceSetupIni + ": " + win::LastErrorText());
  }

  const SettingsOutcome settings =
      ApplyAnswerSettings(paths, paths.choicesFile, resolved->settings, options_.forceSettings, SettingChecks::kPages);
  if (!settings.unknown.empty() || !settings.refused.empty()) {
    std::string message;
    for (const auto* problems : {&settings.unknown, &settings.refused}) {
      for (const SettingProblem& problem : *problems) {
        message += (message.empty() ? "" : "\nkitcomp: ") + (problem.page.empty() ? "" : problem.page + ": ") +
                   problem.message;
      }
    }
    return Refuse(message);
  }

  const engine::FinishOutcome finish =
      engine::FinishInstallerScript(paths, MakeFinishRequest(options_, *resolved, paths.choicesFile));
  if (!finish.accepted) return Refuse(finish.message);

  NoWindow mainWindow;
  // With --verify the images are verified before the outcome is told, their
  // problems counted as the build's failures.
  std::optional<engine::BuildReport> verified;
  const engine::BuildReport built = engine::RunBuildPlan(
      paths, transcript_, mainWindow,
      [&](const engine::BuildReport& done) {
        transcript_.Finish();
        if (options_.verify) {
          verified = done;
          AddVerificationFailures(*verified);
        }
        ReportOutcome(verified ? *verified : done);
      },
      &transcript_);
  const engine::BuildReport& report = verified ? *verified : built;
  return End(report.ok() ? kExitSuccess : kExitBuildFailed, &report, "");
}

}  // namespace

CLI::App* AddBuildCommand(CLI::App& app, BuildOptions& options) {
  CLI::App* build = app.add_subcommand("build", "Build the images of a configuration without windows");
  build->fallthrough();
  AddConfigurationOptions(*build, options);
  CLI::Option* quiet = build->add_flag_callback(
      "-q,--quiet", [&options] { options.verbosity = Verbosity::kQuiet; },
      "Say nothing when the build succeeds; failures and refusals are still shown");
  build
      ->add_flag_callback(
          "-v,--verbose", [&options] { options.verbosity = Verbosity::kVerbose; },
          "Show each stage and each packaging tool's command line")
      ->excludes(quiet);
  build
      ->add_option_function<std::string>(
          "--log", [&options](const std::string& value) { options.log = value; },
          "Write the full account of the build (every stage, every tool's command line, the summary) to FILE, "
          "whatever the terminal shows")
      ->type_name("FILE");
  build->add_flag("--json", options.json,
                  "Print one JSON document on standard output at the end (status, images, failures); the "
                  "progress goes to standard error");
  build->add_flag("--verify", options.verify,
                  "Verify every image made, as kitcomp verify does; each problem found is a failure of the build");
  build->footer(
      "Exit status: 0 when every image was built, 1 when the build had failures (or the log could not be written),\n"
      "2 when the build was refused (bad usage, no kit, a --set or Finish refused). Host paths are mapped to\n"
      "Windows paths through the drive table. See kitcomp(1).");
  return build;
}

int RunCommandLineBuild(const BuildOptions& options, const CommandStreams& streams) {
  BuildCommand command(options, streams);
  return command.Run();
}

}  // namespace kc::app
