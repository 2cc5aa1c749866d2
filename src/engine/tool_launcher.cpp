#include "engine/tool_launcher.h"

#include <optional>
#include <vector>

#include "config/run_paths.h"
#include "engine/leftover_temporaries.h"
#include "platform/file_stamp.h"
#include "platform/process.h"

namespace kc::engine {
namespace {

// Records each output the run did not write; true when it wrote them all.
bool CheckOutputs(const char* tool, const ToolOutputs& outputs,
                  const std::vector<std::optional<platform::FileStamp>>& before, const std::string& step,
                  BuildReport& report) {
  bool allWritten = true;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const std::optional<platform::FileStamp> after = platform::StampOf(outputs[i]);
    std::string problem;
    if (!after) {
      problem = "it is not there";
    } else if (!after->regular) {
      problem = "what is there is not a file";
    } else if (before[i] && *before[i] == *after) {
      problem = "the file there is the one from before it ran";
    } else {
      continue;
    }
    report.AddFailure(step, outputs[i],
                      std::string(tool) + " reported success but did not write this file: " + problem + ".");
    allWritten = false;
  }
  return allWritten;
}

}  // namespace

std::string ToolCommandLine(const std::string& kitcompDirectory, const char* tool, const std::string& arguments,
                            ToolName name) {
  std::string program = tool;
  if (name == ToolName::kFullPath) {
    program = kitcompDirectory + "\\" + tool;
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
  }
  return program + " " + arguments;
}

bool RunTool(const std::string& kitcompDirectory, const char* tool, const std::string& arguments,
             const ToolOutputs& outputs, const std::string& step, BuildReport& report, ToolName name) {
  const std::string application = kitcompDirectory + "\\" + tool;
  const std::string commandLine = ToolCommandLine(kitcompDirectory, tool, arguments, name);
  Result<std::string> fits = config::CheckPathLength(commandLine, std::string("The command line of ") + tool);
  if (!fits) {
    report.AddFailure(step, application, fits.error());
    return false;
  }
  Result<std::string> appFits = config::CheckPathLength(application, std::string("The path of ") + tool);
  if (!appFits) {
    report.AddFailure(step, application, appFits.error());
    return false;
  }

  // Taken before the start: a tool that leaves an earlier file in place has
  // not made the output of this run.
  std::vector<std::optional<platform::FileStamp>> before;
  for (const std::string& output : outputs) before.push_back(platform::StampOf(output));

  report.NoteToolStarting(application, kitcompDirectory, commandLine);
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  win::STARTUPINFOA startup{};
  startup.cb = 68;
  win::PROCESS_INFORMATION process{};
  if (win::CreateProcessA(application.c_str(), buffer.data(), nullptr, nullptr, win::TRUE, win::DETACHED_PROCESS,
                          nullptr, kitcompDirectory.c_str(), &startup, &process) == win::FALSE) {
    report.AddFailure(step, application, std::string(tool) + " could not be started: " + win::LastErrorText());
    return false;
  }
  win::WaitForSingleObject(process.hProcess, win::INFINITE);
  win::DWORD exitCode = 0;
  const bool gotCode = win::GetExitCodeProcess(process.hProcess, &exitCode) == win::TRUE;
  std::string errors = win::GetProcessErrorOutput(process.hProcess);
  win::CloseHandle(process.hThread);
  win::CloseHandle(process.hProcess);
  if (!gotCode || exitCode != 0) {
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r')) errors.pop_back();
    std::string reason = std::string(tool) + " failed";
    reason += gotCode ? " with exit status " + std::to_string(exitCode) : " (its exit status could not be read)";
    // The platform reports a child ended by a signal as 128 + the signal.
    if (gotCode && exitCode > 128 && exitCode < 128 + 65) {
      reason += " (it was stopped by signal " + std::to_string(exitCode - 128) + ")";
    }
    if (!errors.empty()) reason += ": " + errors;
    report.AddFailure(step, commandLine, reason);
    for (const std::string& output : outputs) RemoveTemporariesOf(output);
    return false;
  }
  if (!CheckOutputs(tool, outputs, before, step, report)) {
    for (const std::string& output : outputs) RemoveTemporariesOf(output);
    return false;
  }
  return true;
}

}  // namespace kc::engine
