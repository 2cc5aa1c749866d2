// The arguments the engine gives its packaging tools, in one place for the
// steps that run them and for the check, before a build, that every command
// line fits.
#pragma once

#include <string>

namespace kc::engine {

inline std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// squash.exe "<file>" "<archive>": one file, stored under its own file name.
inline std::string SquashFileArguments(const std::string& file, const std::string& archive) {
  return Quoted(file) + " " + Quoted(archive);
}

// squash.exe -i -o -sh "<folder\*.* or file>" "<archive>" [label]: merged in,
// replacing entries of the same name, hidden files included.
inline std::string SquashMergeArguments(const std::string& source, const std::string& archive,
                                        const char* label = nullptr) {
  std::string arguments = "-i -o -sh " + Quoted(source) + " " + Quoted(archive);
  if (label != nullptr) arguments += std::string(" ") + label;
  return arguments;
}

inline constexpr const char* kAccountSetupLabel = "asw";
inline constexpr const char* kConfigLabel = "CONFIG";

}  // namespace kc::engine
