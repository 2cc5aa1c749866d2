// The extractor writes straight to the end user's disk with POSIX calls: it
// runs where no drive table exists, creates files relative to one folder
// descriptor without following links (openat, O_NOFOLLOW), and copies stored
// data in the kernel (copy_file_range) so that it is not copied twice. Each
// file's blocks are reserved first (fallocate): a file system then fills
// them in one go instead of finding room block by block as the data comes,
// which costs the copy about a third of its time, and a full disk says so
// before any data is copied.
#include "sfxmaker/stub/extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>

#include "common/zip_format.h"
#include "platform/unique_fd.h"

namespace kc::sfx {
namespace {

using zip::ZipEntry;

constexpr std::size_t kCopyBlock = 4 << 20;
constexpr std::uint64_t kLinkTargetLimit = 4096;

using kc::platform::UniqueFd;

std::vector<std::string> Components(const std::string& name) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (end > start && name.compare(start, end - start, ".") != 0) parts.push_back(name.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string KindRefusal(const ZipEntry& entry) {
  switch (entry.mode & zip::kTypeMask) {
    case zip::kTypeRegular:
    case zip::kTypeDirectory:
    case zip::kTypeSymlink:
      return "";
    case 0010000:
      return "a FIFO";
    case 0140000:
      return "a socket";
    case 0020000:
    case 0060000:
      return "a device node";
    default:
      return "not a file, folder or link";
  }
}

class Extraction {
 public:
  Extraction(const Payload& payload, std::string& error) : payload_(payload), error_(error) {}

  bool Open(const std::string& folder) {
    root_ = UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root_.valid()) return Fail(folder, errno);
    return true;
  }

  bool RoomFor(const std::vector<ZipEntry>& entries, const std::string& folder) {
    std::uint64_t needed = 0;
    for (const ZipEntry& entry : entries) needed += entry.IsRegular() ? entry.size : 0;
    struct statvfs space {};
    if (::fstatvfs(root_.fd(), &space) != 0) return true;  // unknown: the writes will tell
    const std::uint64_t available = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    if (needed <= available) return true;
    error_ = "not enough room in " + folder + ": the files need " + std::to_string(needed) + " bytes, " +
             std::to_string(available) + " are free";
    return false;
  }

  bool Extract(const ZipEntry& entry, const std::string& linkTarget) {
    std::vector<std::string> parts = Components(entry.name);
    if (parts.empty()) return true;  // the folder itself
    const std::string leaf = parts.back();
    parts.pop_back();
    UniqueFd folder;
    if (!OpenFolder(parts, entry.name, folder)) return false;
    if (entry.IsDirectory()) {
      parts.push_back(leaf);
      UniqueFd made;
      if (!OpenFolder(parts, entry.name, made)) return false;
      folderModes_.push_back({entry.name, std::move(parts), entry.mode & 0777});
      return true;
    }
    if (entry.IsSymlink()) {
      if (::symlinkat(linkTarget.c_str(), folder.fd(), leaf.c_str()) != 0) {
        if (errno != EEXIST || ::unlinkat(folder.fd(), leaf.c_str(), 0) != 0 ||
            ::symlinkat(linkTarget.c_str(), folder.fd(), leaf.c_str()) != 0)
          return Fail(entry.name, errno);
      }
      const struct timespec times[2] = {{entry.mtime, 0}, {entry.mtime, 0}};
      ::utimensat(folder.fd(), leaf.c_str(), times, AT_SYMLINK_NOFOLLOW);
      return true;
    }
    UniqueFd out(::openat(folder.fd(), leaf.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid()) return Fail(entry.name, errno == ELOOP ? ELOOP : errno);
    if (!Reserve(out.fd(), entry) || !WriteData(entry, out.fd())) return false;
    // Permission bits only: no setuid, setgid or sticky bit from an archive.
    if (::fchmod(out.fd(), entry.mode & 0777) != 0) return Fail(entry.name, errno);
    const struct timespec times[2] = {{entry.mtime, 0}, {entry.mtime, 0}};
    if (::futimens(out.fd(), times) != 0) return Fail(entry.name, errno);
    const int fd = out.Release();
    if (::close(fd) != 0) return Fail(entry.name, errno);  // a late write error shows here
    return true;
  }

  // Folder modes last: a folder's own mode may forbid writing into it.
  bool FinishFolders() {
    for (const FolderMode& folder : folderModes_) {
      UniqueFd made;
      if (!OpenFolder(folder.parts, folder.name, made)) return false;
      if (::fchmod(made.fd(), folder.mode) != 0) return Fail(folder.name, errno);
    }
    return true;
  }

 private:
  bool Fail(const std::string& name, int code) {
    error_ = name + ": cannot be written: " +
             (code == ELOOP || code == ENOTDIR ? std::string("a link or a file is in the way") : std::strerror(code));
    return false;
  }

  // Opens (making them as needed) the folders of `parts` below the root, never
  // through a link.
  bool OpenFolder(const std::vector<std::string>& parts, const std::string& name, UniqueFd& folder) {
    folder = UniqueFd(::dup(root_.fd()));
    for (const std::string& part : parts) {
      if (::mkdirat(folder.fd(), part.c_str(), 0755) != 0 && errno != EEXIST) return Fail(name, errno);
      UniqueFd next(::openat(folder.fd(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (!next.valid()) return Fail(name, errno);
      folder = std::move(next);
    }
    return true;
  }

  struct FolderMode {
    std::string name;
    std::vector<std::string> parts;
    std::uint32_t mode;
  };

  // A file system that cannot reserve (EOPNOTSUPP) gets the data as it comes.
  bool Reserve(int fd, const ZipEntry& entry) {
    if (entry.size == 0 || entry.size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return true;
    int code = 0;
    do code = ::fallocate(fd, 0, 0, static_cast<off_t>(entry.size)) == 0 ? 0 : errno;
    while (code == EINTR);
    if (code == 0 || code == EOPNOTSUPP || code == ENOSYS || code == EINVAL) return true;
    return Fail(entry.name, code);
  }

  bool WriteAll(int fd, const char* data, std::size_t size, const std::string& name) {
    while (size > 0) {
      const ssize_t written = ::write(fd, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return Fail(name, written < 0 ? errno : ENOSPC);
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  bool WriteData(const ZipEntry& entry, int out) {
    try {
      if (entry.method != zip::kMethodStore) {
        bool ok = true;
        zip::ReadEntryData(payload_.source(), entry, [&](const char* data, std::size_t size) {
          if (ok) ok = WriteAll(out, data, size, entry.name);
        });
        return ok;
      }
      if (entry.compressedSize != entry.size) throw zip::ZipError(entry.name + ": stored sizes differ");
      off_t from = static_cast<off_t>(payload_.source().base() + zip::DataOffset(payload_.source(), entry));
      return Copy(from, entry.size, out, entry.name);
    } catch (const zip::ZipError& failure) {
      error_ = std::string("corrupt: ") + failure.what();
      return false;
    }
  }

  // Copies in the kernel where the file systems allow it, else through one
  // large buffer.
  bool Copy(off_t from, std::uint64_t size, int out, const std::string& name) {
    const int in = payload_.descriptor();
    while (size > 0 && kernelCopy_) {
      const ssize_t copied = ::copy_file_range(in, &from, out, nullptr, static_cast<std::size_t>(size), 0);
      if (copied > 0) {
        size -= static_cast<std::uint64_t>(copied);
        continue;
      }
      if (copied < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
        kernelCopy_ = false;
        break;
      }
      if (copied < 0 && errno == EINTR) continue;
      return Fail(name, copied < 0 ? errno : EIO);
    }
    if (size > 0 && !buffer_) buffer_.reset(new char[kCopyBlock]);
    while (size > 0) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyBlock));
      const ssize_t got = ::pread(in, buffer_.get(), want, from);
      if (got <= 0) {
        error_ = "corrupt: cannot read the data of " + name;
        return false;
      }
      if (!WriteAll(out, buffer_.get(), static_cast<std::size_t>(got), name)) return false;
      from += got;
      size -= static_cast<std::uint64_t>(got);
    }
    return true;
  }

  const Payload& payload_;
  std::string& error_;
  UniqueFd root_;
  std::vector<FolderMode> folderModes_;
  bool kernelCopy_ = true;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace

std::string UnsafeNameReason(const std::string& name) {
  if (name.empty()) return "empty name";
  if (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':')) return "absolute path";
  for (const std::string& part : Components(name))
    if (part == "..") return "\"..\" in the path";
  return "";
}

std::string UnsafeLinkReason(const std::string& linkName, const std::string& target) {
  if (target.empty()) return "a link to nothing";
  if (target[0] == '/' || target[0] == '\\' || (target.size() > 1 && target[1] == ':'))
    return "a link to an absolute path";
  // Leading ".." go up from the link's folder, then names go down: a ".."
  // after a name could climb out through a link, so it is refused.
  int depth = static_cast<int>(Components(linkName).size()) - 1;
  bool named = false;
  for (const std::string& part : Components(target)) {
    if (part != "..") {
      named = true;
      continue;
    }
    if (named) return "a link whose target climbs back with \"..\"";
    if (--depth < 0) return "a link that leads out of the extraction folder";
  }
  return "";
}

bool ExtractInto(const Payload& payload, const std::vector<ZipEntry>& entries, const std::string& folder,
                 std::string& error) {
  std::vector<std::string> linkTargets(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& entry = entries[i];
    std::string reason = UnsafeNameReason(entry.name);
    if (reason.empty()) reason = KindRefusal(entry);
    if (reason.empty() && entry.IsSymlink()) {
      if (entry.size > kLinkTargetLimit) {
        reason = "a link target too long";
      } else {
        try {
          zip::ReadEntryData(payload.source(), entry,
                             [&](const char* data, std::size_t size) { linkTargets[i].append(data, size); });
        } catch (const zip::ZipError& failure) {
          error = std::string("corrupt: ") + failure.what();
          return false;
        }
        reason = UnsafeLinkReason(entry.name, linkTargets[i]);
      }
    }
    if (!reason.empty()) {
      error = "refusing to extract \"" + entry.name + "\": " + reason;
      return false;
    }
  }
  Extraction extraction(payload, error);
  if (!extraction.Open(folder) || !extraction.RoomFor(entries, folder)) return false;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (!extraction.Extract(entries[i], linkTargets[i])) return false;
  return extraction.FinishFolders();
}

}  // namespace kc::sfx
