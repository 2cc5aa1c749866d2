// An output file that appears complete or not at all: the data goes to a
// temporary file beside the target, which is renamed over the target only when
// everything was written. A failed run leaves the old file as it was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kc::tools {

class AtomicOutput {
 public:
  // Opens a new temporary file in the target's folder; a ToolFailure
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
  // Flushes, closes and renames over the target; executable adds the execute
  // bits (0755) to the usual 0644.
  void Commit(bool executable = false);

 private:
  [[noreturn]] void Fail(const std::string& reason);

  std::string hostPath_;
  std::string shownName_;
  std::string tempPath_;
  std::FILE* stream_ = nullptr;
  bool committed_ = false;
  std::int64_t mtime_ = -1;
};

}  // namespace kc::tools
