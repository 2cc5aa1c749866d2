#include "app/command_verify.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "app/build_json.h"
#include "app/configuration_choice.h"
#include "app/startup.h"
#include "verify/verifier.h"

namespace kc::app {

namespace {

std::string Join(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
  return text;
}

std::string FormatText(const verify::Verdict& verdict) {
  const std::size_t problems = verdict.problems.size();
  std::string text =
      verdict.path + " (" + verdict.kind + " image, " + std::to_string(verdict.filesChecked) + " files checked): " +
      (problems == 0 ? "sound" : std::to_string(problems) + (problems == 1 ? " problem" : " problems")) + "\n";
  for (const verify::Problem& problem : verdict.problems) {
    text += "  problem: " + (problem.file.empty() ? "" : problem.file + ": ") + problem.reason + "\n";
  }
  if (!verdict.modules.empty()) text += "  modules: " + Join(verdict.modules, ", ") + "\n";
  if (!verdict.mode.empty()) text += "  mode: " + verdict.mode + "\n";
  for (const verify::Finding& found : verdict.customizations) {
    text += "  under a staging name: " + found.file + ": " + found.detail + " (" + found.what + ")\n";
  }
  if (!verdict.commandLine.empty()) text += "  command line: " + verdict.commandLine + "\n";
  return text;
}

std::string Field(const char* name, const std::string& json) {
  return JsonString(name) + ": " + json;
}

std::string JsonOrNull(const std::string& text) {
  return text.empty() ? "null" : JsonString(text);
}

std::string FormatJsonImage(const verify::Verdict& verdict) {
  std::string problems, modules, staged;
  for (const verify::Problem& problem : verdict.problems) {
    problems += std::string(problems.empty() ? "\n" : ",\n") + "        {" + Field("file", JsonString(problem.file)) +
                ", " + Field("reason", JsonString(problem.reason)) + "}";
  }
  if (!problems.empty()) problems += "\n      ";
  for (const std::string& stem : verdict.modules) modules += (modules.empty() ? "" : ", ") + JsonString(stem);
  for (const verify::Finding& found : verdict.customizations) {
    staged += std::string(staged.empty() ? "" : ", ") + "{" + Field("what", JsonString(found.what)) + ", " +
              Field("file", JsonString(found.file)) + ", " + Field("detail", JsonString(found.detail)) + "}";
  }
  return "    {\n      " + Field("path", JsonString(verdict.path)) + ",\n      " +
         Field("kind", JsonOrNull(verdict.kind)) + ",\n      " + Field("sound", verdict.sound() ? "true" : "false") +
         ",\n      " + Field("error", JsonOrNull(verdict.unusable)) + ",\n      " +
         Field("files_checked", std::to_string(verdict.filesChecked)) + ",\n      " +
         Field("problems", "[" + problems + "]") + ",\n      " +
         Field("found", "{" + Field("mode", JsonOrNull(verdict.mode)) + ", " + Field("modules", "[" + modules + "]") +
                            ", " + Field("customizations", "[" + staged + "]") + ", " +
                            Field("command_line", JsonOrNull(verdict.commandLine)) + "}") +
         "\n    }";
}

int StatusOf(const std::vector<verify::Verdict>& verdicts) {
  int status = kVerifySound;
  for (const verify::Verdict& verdict : verdicts) {
    if (!verdict.unusable.empty()) return kVerifyUnusable;
    if (!verdict.problems.empty()) status = kVerifyProblems;
  }
  return status;
}

}  // namespace

CLI::App* AddVerifyCommand(CLI::App& app, VerifyOptions& options) {
  CLI::App* verify = app.add_subcommand(
      "verify", "Check that images are complete and consistent, without a kit and without changing anything");
  verify
      ->add_option("PATH", options.paths,
                   "An image: a CD image folder, a disk image (its folder or setup.iso), a network image (its "
                   "folder or netsetup.exe); a host path or a drive path")
      ->required();
  verify->add_flag("--json", options.json,
                   "Print one JSON document on standard output (each image's path, kind, files checked, problems "
                   "and what was found)");
  verify->footer(
      "Exit status: 0 when every image is sound, 1 when problems were found (each named with its file),\n"
      "2 for bad usage or a path that cannot be read or names no image. See kitcomp(1).");
  return verify;
}

int RunCommandLineVerify(const VerifyOptions& options, const CommandStreams& streams) {
  // Started in a kit's kitcomp folder (-C), drive paths of the kit's own drives
  // (K:\kit-output\CD) name what they name for a build there.
  std::error_code ignored;
  if (const std::string problem = std::filesystem::exists(kKitDrivesIni, ignored) ? UseKitDrives() : "";
      !problem.empty()) {
    std::fprintf(streams.err, "kitcomp: %s\n", problem.c_str());
    return kVerifyUnusable;
  }
  std::vector<verify::Verdict> verdicts;
  for (const std::string& given : options.paths) {
    std::string problem;
    const std::optional<std::string> path = ArgumentToWindowsPath(given, problem);
    if (!path) {
      verify::Verdict verdict;
      verdict.path = given;
      verdict.unusable = problem;
      verdicts.push_back(std::move(verdict));
      continue;
    }
    verdicts.push_back(verify::VerifyImage(given, *path));
  }
  const int status = StatusOf(verdicts);
  std::string out;
  for (const verify::Verdict& verdict : verdicts) {
    if (!verdict.unusable.empty()) {
      std::fprintf(streams.err, "kitcomp: %s: %s\n", verdict.path.c_str(), verdict.unusable.c_str());
    } else if (!options.json) {
      out += FormatText(verdict);
    }
  }
  if (options.json) {
    out = "{\n  " + Field("exit_status", std::to_string(status)) + ",\n  \"images\": [\n";
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
      out += FormatJsonImage(verdicts[i]) + (i + 1 < verdicts.size() ? ",\n" : "\n");
    }
    out += "  ]\n}\n";
  }
  std::fputs(out.c_str(), streams.out);
  std::fflush(streams.out);
  return status;
}

void AddVerificationFailures(engine::BuildReport& report) {
  for (const engine::ImageResult& image : report.images()) {
    const verify::Verdict verdict = verify::VerifyImage(image.directory, image.directory);
    const std::string step = "Verifying the " + image.kind + " image";
    if (!verdict.unusable.empty()) report.AddFailure(step, image.directory, verdict.unusable);
    for (const verify::Problem& problem : verdict.problems) {
      // A file inside a disk or network image is named by the file that holds it.
      std::string file = image.directory;
      if (!verdict.container.empty()) file += "\\" + verdict.container;
      if (!problem.file.empty() && problem.file != verdict.container) {
        file += verdict.container.empty() ? "\\" + problem.file : " (" + problem.file + ")";
      }
      report.AddFailure(step, file, problem.reason);
    }
  }
}

}  // namespace kc::app
