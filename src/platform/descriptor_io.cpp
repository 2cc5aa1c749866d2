#include "platform/descriptor_io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace kc::platform {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::int64_t CopyRange(int in, int out, std::uint64_t outOffset, std::uint64_t size) {
  auto to = static_cast<off_t>(outOffset);
  off_t from = 0;
  std::uint64_t done = 0;
  while (done < size) {
    const ssize_t n = ::copy_file_range(in, &from, out, &to, static_cast<std::size_t>(size - done), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) break;
    if (n < 0) return -1;
    if (n == 0) return static_cast<std::int64_t>(done);
    done += static_cast<std::uint64_t>(n);
  }
  constexpr std::size_t kBlock = 1 << 20;
  std::unique_ptr<char[]> block;
  while (done < size) {
    if (!block) block.reset(new char[kBlock]);
    const ssize_t got = ::pread(in, block.get(), std::min<std::uint64_t>(kBlock, size - done), from);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    for (ssize_t put = 0; put < got;) {
      const ssize_t n = ::pwrite(out, block.get() + put, static_cast<std::size_t>(got - put), to);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      put += n;
      to += n;
    }
    from += got;
    done += static_cast<std::uint64_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

}  // namespace kc::platform
