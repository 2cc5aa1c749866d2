#include "common/tool_cli.h"

#include <algorithm>
#include <cstdio>

#include "common/names.h"
#include "common/tool_failure.h"

namespace kc::tools {
namespace {

// Our --help text is the whole story (usage lines, formats, exit statuses),
// written for the tool; CLI11's generated option list would only repeat it.
class FixedHelp : public CLI::Formatter {
 public:
  explicit FixedHelp(std::string text) : text_(std::move(text)) {}
  std::string make_help(const CLI::App*, std::string, CLI::AppFormatMode) const override { return text_; }

 private:
  std::string text_;
};

}  // namespace

std::unique_ptr<CLI::App> MakeToolApp(const std::string& toolName, const std::string& helpText) {
  auto app = std::make_unique<CLI::App>(toolName, toolName);
  app->formatter(std::make_shared<FixedHelp>(helpText));
  app->set_help_flag("-h,--help", "Show the usage, the formats and the exit statuses");
  app->set_version_flag("--version", toolName + " " + KC_TOOLS_VERSION);
  return app;
}

std::optional<int> ParseToolArguments(CLI::App& app, const std::string& toolName, std::vector<std::string> arguments) {
  // CLI11 takes the arguments last one first.
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::CallForVersion&) {
    std::printf("%s\n", app.version().c_str());
    return kExitOk;
  } catch (const CLI::Success&) {
    std::fputs(app.help().c_str(), stdout);
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    throw ToolFailure(kExitBadInput, std::string(error.what()) + " (see " + toolName + " --help)");
  }
  return std::nullopt;
}

std::optional<int> ParseJoinedPath(const std::string& toolName, const std::string& helpText,
                                   std::vector<std::string> arguments, std::string& path) {
  const auto app = MakeToolApp(toolName + ".exe", helpText);
  app->prefix_command();  // the first piece of the path ends the options
  if (const std::optional<int> finished = ParseToolArguments(*app, toolName, std::move(arguments))) return finished;
  std::vector<std::string> pieces = app->remaining();
  if (!pieces.empty() && pieces.front() == "--") pieces.erase(pieces.begin());
  path = JoinArguments(pieces);
  return std::nullopt;
}

}  // namespace kc::tools
