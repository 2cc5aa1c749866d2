#include "platform/error_tail.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace win::detail {
namespace {

// What Drain takes at most from a pipe that others keep writing to.
constexpr std::size_t kMostDrained = 16u << 20;

}  // namespace

ErrorTail::ErrorTail(int readFd, std::size_t kept)
    : fd_(readFd), wake_(::eventfd(0, EFD_CLOEXEC)), kept_(kept), thread_([this] { Read(); }) {}

ErrorTail::~ErrorTail() {
  Finish();
  ::close(fd_);
  if (wake_ >= 0) ::close(wake_);
}

void ErrorTail::Append(const char* data, std::size_t size) {
  std::lock_guard lock(mutex_);
  tail_.append(data, size);
  // Trimmed now and then rather than at every read.
  if (tail_.size() > 2 * kept_) tail_.erase(0, tail_.size() - kept_);
}

void ErrorTail::Read() {
  char buffer[65536];
  pollfd watched[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
  for (;;) {
    const int ready = ::poll(watched, wake_ >= 0 ? 2 : 1, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (wake_ >= 0 && (watched[1].revents & POLLIN)) {
      Drain();
      return;
    }
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // every writer has gone
    Append(buffer, static_cast<std::size_t>(n));
  }
}

void ErrorTail::Drain() {
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
  char buffer[65536];
  for (std::size_t taken = 0; taken < kMostDrained;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    Append(buffer, static_cast<std::size_t>(n));
    taken += static_cast<std::size_t>(n);
  }
}

void ErrorTail::Finish() {
  std::lock_guard lock(finishing_);
  if (finished_) return;
  finished_ = true;
  if (wake_ >= 0) {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(wake_, &one, sizeof one);
  }
  // Without the wake-up descriptor the thread ends at the pipe's end only.
  if (thread_.joinable()) thread_.join();
}

std::string ErrorTail::Text() {
  std::lock_guard lock(mutex_);
  return tail_.size() > kept_ ? tail_.substr(tail_.size() - kept_) : tail_;
}

}  // namespace win::detail
