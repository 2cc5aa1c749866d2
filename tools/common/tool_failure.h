// How the packaging tools stop: one exception type carrying the exit status and
// a message that names the file and the reason, printed once by main().
#pragma once

#include <stdexcept>
#include <string>

namespace kc::tools {

// Exit statuses shared by the three tools (documented in their --help).
inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;  // output written, but some inputs were missing
inline constexpr int kExitBadInput = 2;    // bad usage, or an input missing or unreadable
inline constexpr int kExitBadOutput = 3;   // the output could not be written

class ToolFailure : public std::runtime_error {
 public:
  ToolFailure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

// Runs a tool's body, printing "<tool>: <message>" on stderr for a failure and
// turning it into the exit status; other exceptions count as output failures.
template <typename Body>
int RunTool(const char* toolName, Body body);

}  // namespace kc::tools

#include <cstdio>

namespace kc::tools {

template <typename Body>
int RunTool(const char* toolName, Body body) {
  try {
    return body();
  } catch (const ToolFailure& failure) {
    std::fprintf(stderr, "%s: %s\n", toolName, failure.what());
    return failure.exitCode();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", toolName, error.what());
    return kExitBadOutput;
  }
}

}  // namespace kc::tools
