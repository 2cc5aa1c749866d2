#include "common/atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "common/tool_failure.h"

namespace kc::tools {
namespace {

std::string RandomSuffix() {
  std::random_device random;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", random(), random());
  return text;
}

}  // namespace

AtomicOutput::AtomicOutput(std::string hostPath, std::string shownName)
    : hostPath_(std::move(hostPath)), shownName_(std::move(shownName)) {
  for (int attempt = 0; attempt < 16 && !stream_; ++attempt) {
    tempPath_ = hostPath_ + ".tmp-" + RandomSuffix();
    stream_ = std::fopen(tempPath_.c_str(), "wbx");  // "x": never reuse someone else's file
    if (!stream_ && errno != EEXIST) break;
  }
  if (!stream_) {
    const std::string reason = errno == ENOENT ? "folder not found" : std::strerror(errno);
    tempPath_.clear();
    throw ToolFailure(kExitBadOutput, shownName_ + ": cannot be written: " + reason);
  }
  static char buffer[1 << 20];  // one output per process
  std::setvbuf(stream_, buffer, _IOFBF, sizeof buffer);
}

AtomicOutput::~AtomicOutput() {
  if (stream_) std::fclose(stream_);
  if (!committed_ && !tempPath_.empty()) std::remove(tempPath_.c_str());
}

void AtomicOutput::Fail(const std::string& reason) {
  throw ToolFailure(kExitBadOutput, shownName_ + ": cannot be written: " + reason);
}

void AtomicOutput::Write(const void* data, std::size_t size) {
  if (size != 0 && std::fwrite(data, 1, size, stream_) != size) Fail(std::strerror(errno));
}

void AtomicOutput::Commit(bool executable) {
  const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
  const int flushError = errno;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (!flushed || !closed) Fail(std::strerror(flushed ? errno : flushError));
  namespace fs = std::filesystem;
  std::error_code error;
  fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
  if (executable) perms |= fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  fs::permissions(tempPath_, perms, fs::perm_options::replace, error);
  if (!error && mtime_ >= 0) {
    const struct timespec times[2] = {{static_cast<time_t>(mtime_), 0}, {static_cast<time_t>(mtime_), 0}};
    if (::utimensat(AT_FDCWD, tempPath_.c_str(), times, 0) != 0) error = std::error_code(errno, std::generic_category());
  }
  if (!error) fs::rename(tempPath_, hostPath_, error);
  if (error) Fail(error.message());
  committed_ = true;
}

}  // namespace kc::tools
