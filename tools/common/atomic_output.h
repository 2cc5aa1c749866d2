// An output file that appears complete or not at all: the data goes to the
// platform's atomic file (unnamed where the file system allows, so that a
// killed tool leaves nothing behind), which takes the target's place only when
// everything was written. A failed run leaves the old file as it was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/atomic_file.h"

namespace kc::tools {

class AtomicOutput {
 public:
  // Starts the new file in the target's folder; a ToolFailure
  // (kExitBadOutput) when it cannot be created. `shownName` names the target in
  // messages (the Windows path the user gave).
  AtomicOutput(std::string hostPath, std::string shownName);
  ~AtomicOutput();  // removes the temporary file unless committed
  AtomicOutput(const AtomicOutput&) = delete;
  AtomicOutput& operator=(const AtomicOutput&) = delete;

  std::FILE* stream() { return stream_; }
  void Write(const void* data, std::size_t size);
  // The modification time the target gets on Commit (seconds since the Unix
  // epoch); without it, the time of the run.
  void SetModificationTime(std::int64_t seconds) { mtime_ = seconds; }
  // Flushes, makes durable and puts the file in place; executable adds the
  // execute bits (0755) to the usual 0644.
  void Commit(bool executable = false);

 private:
  [[noreturn]] void Fail(const std::string& reason);

  std::string hostPath_;
  std::string shownName_;
  platform::AtomicFile file_;
  std::FILE* stream_ = nullptr;  // over a duplicate of file_'s descriptor
  std::int64_t mtime_ = -1;
};

}  // namespace kc::tools
