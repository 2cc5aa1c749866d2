#include "common/read_ahead.h"

#include <algorithm>

namespace kc::sfx {

ReadAhead::ReadAhead(std::FILE* file, std::uint64_t length)
    : memory_(new unsigned char[kSlots * kBlockSize]), reader_([this, file, length] { Read(file, length); }) {}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

void ReadAhead::Read(std::FILE* file, std::uint64_t length) {
  for (std::uint64_t block = 0; length > 0; ++block) {
    {
      // A slot is free once the block kSlots before it was given back.
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || block < consumed_ + kSlots; });
      if (stop_) return;
    }
    const std::size_t slot = block % kSlots;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, kBlockSize));
    const std::size_t got = std::fread(memory_.get() + slot * kBlockSize, 1, want, file);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sizes_[slot] = got;
      if (got == want) ++filled_;
      failed_ = got != want;
    }
    changed_.notify_all();
    if (got != want) break;
    length -= want;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  changed_.notify_all();
}

ReadAhead::Block ReadAhead::Next() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (handedOut_) {
    ++consumed_;
    handedOut_ = false;
    changed_.notify_all();
  }
  changed_.wait(lock, [&] { return filled_ > consumed_ || done_; });
  if (filled_ == consumed_ || failed_) return {};
  handedOut_ = true;
  const std::size_t slot = consumed_ % kSlots;
  return {memory_.get() + slot * kBlockSize, sizes_[slot]};
}

bool ReadAhead::failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}

}  // namespace kc::sfx
