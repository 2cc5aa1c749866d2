#include "pkgindex/file_list.h"

#include <cstdio>
#include <memory>

#include "common/tool_failure.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

std::string_view TrimTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

std::vector<std::string> ParseFileList(std::string_view text, const std::string& shownName) {
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || TrimTrailingBlanks(lines[0]) != "1;")
    throw ToolFailure(kExitBadInput, shownName + ": not a file list (the first line is not \"1;\")");
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view path = TrimTrailingBlanks(lines[i]);
    if (!path.empty()) paths.emplace_back(path);
  }
  return paths;
}

std::vector<std::string> ReadFileList(const std::string& windowsPath) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(win::fopen(windowsPath.c_str(), "rb"), &std::fclose);
  if (!file) throw ToolFailure(kExitBadInput, windowsPath + ": cannot be read: " + win::LastErrorText());
  std::string text;
  char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) text.append(block, got);
  if (std::ferror(file.get())) throw ToolFailure(kExitBadInput, windowsPath + ": read error");
  return ParseFileList(text, windowsPath);
}

}  // namespace kc::tools
