#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/profile_access.h"
#include "e2e_support.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace kc::e2e {

namespace {

std::string DrivesFor(const std::string& root) {
  return "t=" + root + ";z=/";
}

}  // namespace

KitCopy::KitCopy() {
  std::string pattern = (fs::temp_directory_path() / "kc-e2e-XXXXXX").string();
  root_ = ::mkdtemp(pattern.data());
  // KITCOMP_TEST_KIT names another kit; by default the one this build made.
  const char* kit = std::getenv("KITCOMP_TEST_KIT");
  if (kit == nullptr || *kit == '\0') kit = KITCOMP_BUILT_KIT;
  fs::create_directories(fs::path(root_) / "kit");
  for (const char* part : {"kitcomp", "source", "samples"}) {
    fs::copy(fs::path(kit) / part, fs::path(root_) / "kit" / part, fs::copy_options::recursive);
  }
  ::setenv("KITCOMP_DRIVES", DrivesFor(root_).c_str(), 1);
  win::DriveTable::Reload();

  // Point the copy at itself: its install root and the sample paths.
  const std::string ini = "T:\\kit\\kitcomp\\kitcomp.ini";
  const std::string dkb = "T:\\kit\\kitcomp\\default.dkb";
  const std::string oldRoot = config::ReadValue(ini, "Kit Composer", "INSTALLED PATH");
  config::WriteValue(ini, "Kit Composer", "INSTALLED PATH", "T:\\kit");
  for (const std::string& key : config::ReadAllKeys(dkb, "Choices-32")) {
    const std::string value = config::ReadValue(dkb, "Choices-32", key.c_str());
    if (value.rfind(oldRoot + "\\", 0) == 0) {
      config::WriteValue(dkb, "Choices-32", key.c_str(), "T:\\kit" + value.substr(oldRoot.size()));
    }
  }
  config::WriteValue(dkb, "Choices-32", "Output Path", "T:\\out");
}

KitCopy::~KitCopy() {
  std::error_code error;
  fs::remove_all(root_, error);
  ::unsetenv("KITCOMP_DRIVES");
  win::DriveTable::Reload();
}

void KitCopy::SetChoice(const std::string& key, const std::string& value, const std::string& section) {
  config::WriteValue("T:\\kit\\kitcomp\\default.dkb", section.c_str(), key.c_str(), value);
}

std::string KitCopy::Read(const std::string& relative) const {
  std::ifstream in(Host(relative), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void KitCopy::Write(const std::string& relative, const std::string& contents, bool executable) const {
  fs::create_directories(fs::path(Host(relative)).parent_path());
  { std::ofstream(Host(relative), std::ios::binary | std::ios::trunc) << contents; }
  if (executable) fs::permissions(Host(relative), fs::perms::owner_all, fs::perm_options::add);
}

namespace {

// Runs a shell command line; returns its exit status and what it wrote on
// standard output.
int Capture(const std::string& command, std::string* output) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string text;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) text.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int KitCopy::Shell(const std::string& command, std::string* output) const {
  return Capture("KITCOMP_DRIVES='" + DrivesFor(root_) + "' KITCOMP_EMPTY_PAUSE_MS=0 " + command + " 2>&1", output);
}

std::string KitCopy::Program() {
  std::string quoted = "'";
  for (const char c : std::string(KITCOMP_BINARY)) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

KitCopy::Outcome KitCopy::Build(const std::string& arguments) const {
  Outcome outcome;
  outcome.status = Shell(Program() + " build -C 'T:\\kit\\kitcomp' " + arguments, &outcome.output);
  return outcome;
}

KitCopy::Streams KitCopy::Run(const std::string& subcommand, const std::string& arguments) const {
  Streams streams;
  const std::string err = Host("stderr.txt");
  streams.status = Capture("KITCOMP_DRIVES='" + DrivesFor(root_) + "' KITCOMP_EMPTY_PAUSE_MS=0 " + Program() +
                               " -C 'T:\\kit\\kitcomp' " + subcommand + " " + arguments + " 2>'" + err + "'",
                           &streams.out);
  streams.err = Read("stderr.txt");
  std::filesystem::remove(err);
  return streams;
}

pid_t KitCopy::BuildInBackground(const std::string& arguments, const std::string& log) const {
  // exec: the pid is kitcomp's, not the shell's.
  const std::string command = "exec env KITCOMP_DRIVES='" + DrivesFor(root_) + "' KITCOMP_EMPTY_PAUSE_MS=0 " +
                              Program() + " build -C 'T:\\kit\\kitcomp' " + arguments + " > '" + Host(log) + "' 2>&1";
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = -1;
  if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  return pid;
}

void ExpectSameTrees(const std::map<std::string, std::string>& actual,
                     const std::map<std::string, std::string>& expected) {
  for (const auto& [name, content] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << name << " is missing";
    } else if (found->second != content) {
      ADD_FAILURE() << name << " differs";
    }
  }
  for (const auto& [name, content] : actual) {
    if (!expected.count(name)) ADD_FAILURE() << name << " is unexpected";
  }
}

std::map<std::string, std::string> KitCopy::Tree(const std::string& relative) const {
  std::map<std::string, std::string> files;
  const fs::path base = Host(relative);
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = fs::relative(entry.path(), base).string();
    files[name] = Read(relative + "/" + name);
  }
  return files;
}

}  // namespace kc::e2e
