// Files that appear complete or not at all. The new content is written out of
// sight and put in place whole, so that a crash or a kill at any moment leaves
// either the old file or the new one, never a mix and no stray file: where the
// file system can, the content lives in an unnamed file (O_TMPFILE) that
// vanishes with the process; elsewhere in a hidden file beside the target,
// named so that IsTemporaryFileName knows it and a later run can remove it.
// Host paths only: the Windows-facing functions map their paths first.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace kc::platform {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // an uncommitted file goes without a trace
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Starts the new content of `hostPath` in its folder, with `mode` (less the
  // umask). `purpose` names a hidden fallback file: ".<name>.<purpose>-<hex>".
  // False, errno set, when the folder cannot take it.
  bool Open(const std::string& hostPath, mode_t mode = 0644, const char* purpose = "tmp");
  int fd() const { return fd_; }

  enum class Placing { kReplace, kCreateOnly };
  // Puts the content in place: over an existing file (kReplace, atomically),
  // or only where there is none (kCreateOnly: EEXIST otherwise). `sync` makes
  // content and name durable first. False, errno set, the old file intact and
  // the new content gone, on failure. Closes the file either way.
  bool Commit(Placing placing, bool sync);

 private:
  void Abandon();

  std::string target_;
  std::string namedPath_;  // the hidden fallback file, empty for an unnamed one
  std::string purpose_;
  int fd_ = -1;
};

// Writes `contents` as the new content of `hostPath`, durably. Returns false
// (errno set, the old file intact, no temporary file left) on failure: a
// read-only folder, a target that is a folder, a full disk. The new file keeps
// the old one's permission bits; a new file gets 0644 less the umask.
bool WriteFileAtomically(const std::string& hostPath, std::string_view contents);

// Reads a whole file; false (errno set) when it cannot be read.
bool ReadWholeFile(const std::string& hostPath, std::string& contents);

// True for the name of a temporary file of the writers above (of any file, or
// of the file named `of`), including the names earlier versions of the tools
// used ("<name>.tmp-<16 hex digits>"). Such a file is never an input: merges
// and copies of folders skip it, and a run may remove it from its work areas.
bool IsTemporaryFileName(std::string_view name);
bool IsTemporaryFileName(std::string_view name, std::string_view of);

// Tests turn unnamed files off to see the hidden-file fallback at work.
void AllowUnnamedFiles(bool allowed);

}  // namespace kc::platform
