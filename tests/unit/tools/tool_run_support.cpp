#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/drives.h"
#include "tool_run.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

fs::path ToolsDir() {
  const char* dir = std::getenv("KITCOMP_TOOLS_DIR");
  return dir && *dir ? fs::path(dir) : fs::path(KC_TOOLS_BUILD_DIR);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments, const fs::path& workingDir) {
  const fs::path capture = fs::temp_directory_path() / ("kc-tool-run-" + std::to_string(::getpid()));
  fs::create_directories(capture);
  std::string command;
  if (!workingDir.empty()) command = "cd " + ShellQuote(workingDir.string()) + " && ";
  const fs::path executable = program.find('/') == std::string::npos ? ToolsDir() / program : fs::path(program);
  command += ShellQuote(executable.string());
  for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
  command += " >" + ShellQuote((capture / "out").string()) + " 2>" + ShellQuote((capture / "err").string());
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadBytes(capture / "out");
  run.err = ReadBytes(capture / "err");
  fs::remove_all(capture);
  return run;
}

void ScratchDrive::SetUp() {
  std::random_device random;
  root_ = fs::temp_directory_path() / ("kc-tools-" + std::to_string(random()));
  fs::create_directories(root_);
  ::setenv("KITCOMP_DRIVES", ("t=" + root_.string()).c_str(), 1);
  win::DriveTable::Reload();
}

void ScratchDrive::TearDown() {
  std::error_code error;
  fs::remove_all(root_, error);
}

fs::path ScratchDrive::Put(const std::string& relative, const std::string& bytes) {
  WriteBytes(Host(relative), bytes);
  return Host(relative);
}

}  // namespace kc::tools::test
