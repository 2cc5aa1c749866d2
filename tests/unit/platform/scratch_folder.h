// Test helpers for the platform tests: a private temporary folder, the drive
// table and current directory put back after each test, small file helpers.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace kc::test {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/kc-platform-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data())) path_ = buffer.data();
    // Traversable by others, so a child running as another user reaches it.
    ::chmod(path_.c_str(), 0755);
  }
  ~ScratchFolder() {
    std::error_code ec;
    // Read-only folders left by a test would stop the removal.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& contents) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

inline std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// Restores the environment variable, the drive table and the current
// directory a test changes.
class PlatformState {
 public:
  PlatformState() {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer)) cwd_ = buffer;
    for (const char* name : {"KITCOMP_DRIVES", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
  }
  ~PlatformState() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    if (!cwd_.empty() && ::chdir(cwd_.c_str()) != 0) std::abort();
    win::DriveTable::Reload();
  }

 private:
  std::string cwd_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Runs `body` in a child process without root's power to ignore permissions
// (as "nobody" when we are root) and returns its exit status, or -1.
inline int RunUnprivileged(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      uid_t uid = nobody ? nobody->pw_uid : 65534;
      gid_t gid = nobody ? nobody->pw_gid : 65534;
      if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 || ::setresuid(uid, uid, uid) != 0) {
        ::_exit(99);
      }
    }
    ::_exit(body());
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kc::test
