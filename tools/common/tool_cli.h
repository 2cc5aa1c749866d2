// The command line of a packaging tool through CLI11: --help with the tool's
// own text (usage, formats, exit statuses), --version with the project's
// version, and usage errors as ToolFailures (kExitBadInput).
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kc::tools {

// An App for `toolName` ("squash.exe") whose --help prints `helpText`.
std::unique_ptr<CLI::App> MakeToolApp(const std::string& toolName, const std::string& helpText);

// Parses the arguments (without the program name). Returns an exit status
// when the run ends here (--help or --version printed), nullopt when the tool
// goes on; a usage error is a ToolFailure naming the problem.
std::optional<int> ParseToolArguments(CLI::App& app, const std::string& toolName, std::vector<std::string> arguments);

// The command line of a tool that takes one path after its options: the
// engine passes it unquoted, so a path with blanks arrives in pieces, joined
// here with single spaces (quoted works too; "--" ends the options). Returns
// an exit status when --help or --version ended the run.
std::optional<int> ParseJoinedPath(const std::string& toolName, const std::string& helpText,
                                   std::vector<std::string> arguments, std::string& path);

}  // namespace kc::tools
