#include "engine/disk_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "engine/iso9660_layout.h"
#include "engine/iso9660_names.h"
#include "platform/atomic_file.h"
#include "platform/descriptor_io.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/unique_fd.h"

namespace kc::engine {

namespace {

struct ImageFile {
  std::string name;
  std::uint64_t size = 0;
  std::int64_t mtime = 0;
};

// The plain files of the folder, in the platform's order (by name, without
// regard to case), which is the order of their data in the image.
bool ListFiles(const std::string& folder, const std::string& leaveOut, std::vector<ImageFile>& files) {
  win::WIN32_FIND_DATAA data;
  win::HANDLE find = win::FindFirstFileA((folder + "\\*.*").c_str(), &data);
  if (find == win::INVALID_HANDLE_VALUE) return false;
  do {
    if ((data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!leaveOut.empty() && platform::EqualNoCase(data.cFileName, leaveOut)) continue;
    files.push_back(
        {data.cFileName, std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow, data.ftLastWriteTime});
  } while (win::FindNextFileA(find, &data) == win::TRUE);
  win::FindClose(find);
  return true;
}

DiskImageProblem ErrnoProblem(const std::string& file, const std::string& what, int error) {
  win::SetLastErrorFromErrno(error);
  return {file, what + win::LastErrorText()};
}

std::optional<DiskImageProblem> PutFile(const std::string& path, const ImageFile& file, int out, std::uint64_t offset) {
  const auto host = win::ToHostPath(path);
  // O_NONBLOCK: a FIFO in the folder must not hold the build up.
  const platform::UniqueFd in(host ? ::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1);
  if (!in.valid()) return ErrnoProblem(path, "Could not read it: ", host ? errno : ENOENT);
  struct stat now {};
  if (::fstat(in.fd(), &now) != 0) return ErrnoProblem(path, "Could not read it: ", errno);
  if (!S_ISREG(now.st_mode)) return DiskImageProblem{path, "It is not a plain file, so it cannot go on a disk image."};
  if (static_cast<std::uint64_t>(now.st_size) != file.size) {
    return DiskImageProblem{path, "It changed while the disk image was written."};
  }
  const std::int64_t copied = platform::CopyRange(in.fd(), out, offset, file.size);
  if (copied < 0) return ErrnoProblem(path, "Could not copy it into the disk image: ", errno);
  if (static_cast<std::uint64_t>(copied) != file.size) {
    return DiskImageProblem{path, "It changed while the disk image was written."};
  }
  return std::nullopt;
}

// The checks a file must pass before anything is written: its name must be
// the same on Windows, and it must fit one extent.
std::optional<DiskImageProblem> RefusedFile(const std::string& folder, const ImageFile& file) {
  if (auto why = iso::JolietNameProblem(file.name)) return DiskImageProblem{folder + "\\" + file.name, *why};
  if (file.size > iso::kLargestFile) {
    return DiskImageProblem{folder + "\\" + file.name,
                            "It is 4 GiB or larger; a file on a disk image must be smaller."};
  }
  return std::nullopt;
}

}  // namespace

std::string DiskVolumeName(const std::string& title) {
  constexpr std::size_t kMost = 16;
  std::string name;
  bool gap = false;
  for (char c : title) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80 && std::isalnum(u)) {
      if (gap && !name.empty()) name += '_';
      gap = false;
      name += static_cast<char>(std::toupper(u));
    } else {
      gap = true;
    }
  }
  if (name.size() > kMost) name.resize(kMost);
  while (!name.empty() && name.back() == '_') name.pop_back();
  return name.empty() ? "LUMENARY_SETUP" : name;
}

std::optional<DiskImageProblem> WriteDiskImage(const std::string& folder, const std::string& imagePath,
                                               const std::string& volumeName, const std::string& leaveOut,
                                               const std::function<void(const std::string&)>& added) {
  std::vector<ImageFile> files;
  if (!ListFiles(folder, leaveOut, files))
    return DiskImageProblem{folder, "Could not read the folder: " + win::LastErrorText()};
  std::vector<iso::LayoutFile> entries;
  std::int64_t volumeTime = 0;
  for (const ImageFile& file : files) {
    if (auto problem = RefusedFile(folder, file)) return problem;
    win::BOOL executable = win::FALSE;
    win::GetFileExecutable((folder + "\\" + file.name).c_str(), &executable);
    entries.push_back({file.name, file.size, file.mtime, executable == win::TRUE});
    volumeTime = std::max(volumeTime, file.mtime);
  }
  const iso::Layout layout = iso::LayOut(entries, volumeName, volumeTime);

  const auto host = win::ToHostPath(imagePath);
  if (!host) return DiskImageProblem{imagePath, "Could not create the disk image: " + win::LastErrorText()};
  // Nothing of the image is seen under its name before it is complete.
  platform::AtomicFile image;
  if (!image.Open(*host, 0644, "iso")) return ErrnoProblem(imagePath, "Could not create the disk image: ", errno);
  const std::string_view head(reinterpret_cast<const char*>(layout.head.data()), layout.head.size());
  if (!platform::WriteAll(image.fd(), head)) {
    return ErrnoProblem(imagePath, "Could not write the disk image: ", errno);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (auto problem = PutFile(folder + "\\" + files[i].name, files[i], image.fd(), layout.dataOffset[i])) {
      return problem;
    }
    if (added) added(files[i].name);
  }
  // The last file's sector is filled up to its end.
  if (::ftruncate(image.fd(), static_cast<off_t>(layout.imageSize)) != 0) {
    return ErrnoProblem(imagePath, "Could not write the disk image: ", errno);
  }
  if (!image.Commit(platform::AtomicFile::Placing::kReplace, false)) {
    return ErrnoProblem(imagePath, "Could not put the disk image in place: ", errno);
  }
  return std::nullopt;
}

}  // namespace kc::engine
