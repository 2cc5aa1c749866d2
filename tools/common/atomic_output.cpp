#include "common/atomic_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/tool_failure.h"

namespace kc::tools {

AtomicOutput::AtomicOutput(std::string hostPath, std::string shownName)
    : hostPath_(std::move(hostPath)), shownName_(std::move(shownName)) {
  int streamFd = -1;
  if (file_.Open(hostPath_)) {
    streamFd = ::dup(file_.fd());
    if (streamFd >= 0) stream_ = ::fdopen(streamFd, "wb");
  }
  if (!stream_) {
    const std::string reason = errno == ENOENT ? "folder not found" : std::strerror(errno);
    if (streamFd >= 0) ::close(streamFd);
    throw ToolFailure(kExitBadOutput, shownName_ + ": cannot be written: " + reason);
  }
  static char buffer[1 << 20];  // one output per process
  std::setvbuf(stream_, buffer, _IOFBF, sizeof buffer);
}

AtomicOutput::~AtomicOutput() {
  if (stream_) std::fclose(stream_);
  // An uncommitted file_ goes without a trace.
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
  // The exact bits, whatever the umask.
  if (::fchmod(file_.fd(), executable ? 0755 : 0644) != 0) Fail(std::strerror(errno));
  if (mtime_ >= 0) {
    const struct timespec times[2] = {{static_cast<time_t>(mtime_), 0}, {static_cast<time_t>(mtime_), 0}};
    if (::futimens(file_.fd(), times) != 0) Fail(std::strerror(errno));
  }
  if (!file_.Commit(platform::AtomicFile::Placing::kReplace, /*sync=*/true)) Fail(std::strerror(errno));
}

}  // namespace kc::tools
