// The signal handler that ends the running tools with the program. Everything
// it touches is async-signal-safe: a fixed table of atomics and preformatted
// messages.
#include "platform/interruption.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace kc::platform {
namespace {

constexpr int kMaxGroups = 64;  // tools run one at a time; room for more
std::atomic<int> g_groups[kMaxGroups];

struct Watched {
  int signal;
  const char* how;
  char message[256];
  std::size_t length;
};
Watched g_watched[] = {
    {SIGINT, "by Ctrl+C (SIGINT)", {}, 0},
    {SIGHUP, "because its terminal was closed (SIGHUP)", {}, 0},
    {SIGTERM, "by a request to terminate (SIGTERM)", {}, 0},
};

void OnInterrupt(int signal) {
  const int savedErrno = errno;
  for (auto& slot : g_groups) {
    const int group = slot.load();
    if (group > 0) ::kill(-group, SIGTERM);
  }
  for (const Watched& watched : g_watched) {
    if (watched.signal == signal && watched.length > 0) {
      [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, watched.message, watched.length);
    }
  }
  // Die of the signal itself, as a shell expects: it is delivered once this
  // handler returns, with the default action.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
  errno = savedErrno;
}

}  // namespace

void EndChildrenWhenInterrupted(std::string_view program) {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  for (Watched& watched : g_watched) {
    const std::string line = std::string(program) + ": stopped " + watched.how +
                             ", and with it any packaging tool it was running; a build it was making did not "
                             "finish and its images are incomplete.\n";
    watched.length = std::min(line.size(), sizeof watched.message);
    std::memcpy(watched.message, line.data(), watched.length);

    struct sigaction current {};
    ::sigaction(watched.signal, nullptr, &current);
    if (current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigfillset(&action.sa_mask);  // one handler at a time
    ::sigaction(watched.signal, &action, nullptr);
  }
}

namespace detail {

void TrackChildGroup(int group) {
  for (auto& slot : g_groups) {
    int empty = 0;
    if (slot.compare_exchange_strong(empty, group)) return;
  }
}

void ForgetChildGroup(int group) {
  for (auto& slot : g_groups) {
    int expected = group;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

}  // namespace detail

}  // namespace kc::platform
