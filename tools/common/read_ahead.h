// Reads a stretch of a file ahead on a thread of its own, into a few blocks
// handed over in file order, so that the one who consumes them (the
// whole-file digest) spends its time on the bytes, not on copying them out of
// the page cache. At most kSlots blocks are in memory at a time.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace kc::sfx {

class ReadAhead {
 public:
  struct Block {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
  };

  // Reads `length` bytes of `file` from its current position; nothing else may
  // use the stream until this object is gone.
  ReadAhead(std::FILE* file, std::uint64_t length);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next block, giving the previous one back; size 0 at the end, or
  // early when a read failed (failed() then tells).
  Block Next();
  bool failed() const;

 private:
  static constexpr std::size_t kSlots = 4;
  static constexpr std::size_t kBlockSize = 1 << 20;

  void Read(std::FILE* file, std::uint64_t length);

  std::unique_ptr<unsigned char[]> memory_;
  std::size_t sizes_[kSlots] = {};
  std::uint64_t filled_ = 0;    // blocks read so far
  std::uint64_t consumed_ = 0;  // blocks given back
  bool handedOut_ = false;
  bool done_ = false, failed_ = false, stop_ = false;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::thread reader_;
};

}  // namespace kc::sfx
