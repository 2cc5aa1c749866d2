// Whole writes and in-kernel copies on open descriptors (host files), for the
// writers of the platform layer and the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kc::platform {

// Writes all of `data` at the descriptor's offset, through short writes and
// interruptions; false (errno set) on failure.
bool WriteAll(int fd, std::string_view data);

// Copies `size` bytes from the start of `in` to `out` at `outOffset`: in the
// kernel (copy_file_range) where the file systems allow it, else through a
// buffer. Neither descriptor's offset moves. The count copied, short when the
// source ended early; -1 (errno set) on failure.
std::int64_t CopyRange(int in, int out, std::uint64_t outOffset, std::uint64_t size);

}  // namespace kc::platform
