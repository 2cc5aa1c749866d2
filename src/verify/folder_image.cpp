#include <sys/stat.h>

#include <memory>

#include "common/sha256.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "verify/archive_listing.h"
#include "verify/image_readers.h"

namespace kc::verify {

namespace {

constexpr std::size_t kBlock = 4u << 20;

// Hashes the file; a module archive is then checked in place.
void ReadFile(const std::string& path, ImageFile& file, char* block) {
  if (const std::string problem = NotAPlainFile(path); !problem.empty()) {
    file.readProblem = problem;
    return;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(win::fopen(path.c_str(), "rb"), &std::fclose);
  if (!stream) {
    file.readProblem = "it cannot be opened: " + win::LastErrorText();
    return;
  }
  tools::Sha256 digest;
  std::size_t got;
  while ((got = std::fread(block, 1, kBlock, stream.get())) > 0) {
    digest.Update(block, got);
    file.size += got;
  }
  if (std::ferror(stream.get())) {
    file.readProblem = "it cannot be read to its end";
    return;
  }
  file.sha256 = digest.Final();
  if (IsSettingsName(file.name)) file.settingsPath = path;
  if (file.isArchive) file.archive = ListArchive(zip::ZipSource(stream.get(), 0, file.size));
}

}  // namespace

std::string NotAPlainFile(const std::string& windowsPath) {
  const std::optional<std::string> host = win::ToHostPath(windowsPath);
  struct stat status {};
  if (!host || ::stat(host->c_str(), &status) != 0) return "it cannot be opened: " + win::LastErrorText();
  if (S_ISREG(status.st_mode)) return "";
  return S_ISFIFO(status.st_mode) ? "it is a FIFO, not a file" : "it is a device or socket, not a file";
}

ImageContents ReadFolderImage(const std::string& folder) {
  ImageContents image;
  std::unique_ptr<char[]> block(new char[kBlock]);
  win::WIN32_FIND_DATAA found;
  win::HANDLE search = win::FindFirstFileA((folder + "\\*.*").c_str(), &found);
  if (search == win::INVALID_HANDLE_VALUE) {
    image.problems.push_back({"", "the folder cannot be listed: " + win::LastErrorText()});
    return image;
  }
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    ImageFile file;
    file.name = name;
    file.folder = (found.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
    file.isArchive = !file.folder && IsArchiveName(name);
    if (!file.folder) ReadFile(folder + "\\" + name, file, block.get());
    image.files.push_back(std::move(file));
  } while (win::FindNextFileA(search, &found) != win::FALSE);
  win::FindClose(search);
  return image;
}

}  // namespace kc::verify
