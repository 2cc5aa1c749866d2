// Splitting and quoting command lines by the Microsoft C runtime's rules (the
// rules of the runtime since 2008: "" inside a quoted part is a literal quote
// and the quoted part goes on).
#include <string>
#include <string_view>
#include <vector>

#include "platform/names.h"
#include "platform/process.h"

namespace win {
using kc::platform::IsBlank;

std::vector<std::string> CommandLineToArgs(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return args;

  // The program name: quotes group but nothing is escaped, as a Windows path
  // holds backslashes and no quotes.
  std::string current;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      current += c;
    }
  }
  args.push_back(std::move(current));
  current.clear();

  quoted = false;
  bool hadQuotes = false;  // "" alone is an empty argument, not nothing
  while (i < line.size()) {
    char c = line[i];
    if (IsBlank(c) && !quoted) {
      if (!current.empty() || hadQuotes) args.push_back(std::move(current));
      current.clear();
      hadQuotes = false;
      ++i;
    } else if (c == '\\') {
      size_t run = 0;
      while (i < line.size() && line[i] == '\\') {
        ++run;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        current.append(run / 2, '\\');
        if (run % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(run, '\\');
      }
    } else if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        current += '"';
        i += 2;
      } else {
        quoted = !quoted;
        hadQuotes = true;
        ++i;
      }
    } else {
      current += c;
      ++i;
    }
  }
  if (!current.empty() || hadQuotes) args.push_back(std::move(current));
  return args;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      // Every backslash before a quote doubles, and one more escapes it.
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  // Before the closing quote the backslashes double, so it still closes.
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace win
