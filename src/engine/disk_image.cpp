#include "engine/disk_image.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "engine/file_steps.h"
#include "engine/iso_stamps.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/utf8_text.h"

namespace kc::engine {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
// A Joliet name holds 64 characters; a longer one is cut, and Windows would
// look for the file under the cut name.
constexpr std::size_t kJolietNameLength = 64;

struct ImageFile {
  std::string name;
  std::uint64_t size = 0;
  std::int64_t mtime = 0;
};

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = value << 6 | (next & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::size_t Characters(const std::string& utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

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

struct ArchiveFree {
  void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
  void operator()(archive_entry* e) const { archive_entry_free(e); }
};
struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

class ImageWriter {
 public:
  ImageWriter(const std::string& temporary, std::int64_t volumeTime)
      : temporary_(temporary), filter_(volumeTime, [this](const unsigned char* data, std::size_t size) {
          return std::fwrite(data, 1, size, output_.get()) == size;
        }) {}
  ImageWriter(const ImageWriter&) = delete;
  ImageWriter& operator=(const ImageWriter&) = delete;
  // An image given up half way: freeing the archive would otherwise write all
  // of it out before the temporary file is deleted.
  ~ImageWriter() { abandoned_ = true; }

  std::optional<DiskImageProblem> Open(const std::string& volumeName) {
    output_.reset(win::fopen(temporary_.c_str(), "wb"));
    if (!output_) return DiskImageProblem{temporary_, "Could not create the disk image: " + win::LastErrorText()};
    archive_.reset(archive_write_new());
    if (!archive_ || archive_write_set_format_iso9660(archive_.get()) != ARCHIVE_OK) return Problem(temporary_);
    // Joliet names for Windows, Rock Ridge names and modes (read-only, the
    // execute bits kept) for the rest; the library's version is no part of
    // the image.
    const std::pair<const char*, const char*> options[] = {{"joliet", "1"},
                                                           {"rockridge", "useful"},
                                                           {"volume-id", volumeName.c_str()},
                                                           {"application-id", "KIT COMPOSER"}};
    for (const auto& [key, value] : options) {
      if (archive_write_set_format_option(archive_.get(), "iso9660", key, value) != ARCHIVE_OK) {
        return Problem(temporary_);
      }
    }
    if (archive_write_set_bytes_per_block(archive_.get(), 0) != ARCHIVE_OK ||
        archive_write_open2(archive_.get(), this, nullptr, &ImageWriter::Written, nullptr, nullptr) != ARCHIVE_OK) {
      return Problem(temporary_);
    }
    return std::nullopt;
  }

  std::optional<DiskImageProblem> Add(const std::string& path, const ImageFile& file, char* block) {
    std::unique_ptr<std::FILE, FileClose> input(win::fopen(path.c_str(), "rb"));
    if (!input) return DiskImageProblem{path, "Could not read it: " + win::LastErrorText()};
    std::setvbuf(input.get(), nullptr, _IONBF, 0);
    win::BOOL executable = win::FALSE;
    win::GetFileExecutable(path.c_str(), &executable);

    std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    archive_entry_set_pathname(entry.get(), file.name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), executable == win::TRUE ? 0755 : 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(file.size));
    archive_entry_set_mtime(entry.get(), file.mtime, 0);
    // A warning means a name that could not be converted for Joliet or Rock
    // Ridge: the file would be there under another name.
    if (archive_write_header(archive_.get(), entry.get()) != ARCHIVE_OK) return Problem(path);

    std::uint64_t written = 0;
    std::size_t got;
    while ((got = std::fread(block, 1, kReadBlock, input.get())) > 0) {
      if (written + got > file.size) break;
      if (archive_write_data(archive_.get(), block, got) != static_cast<la_ssize_t>(got)) return Problem(path);
      written += got;
    }
    if (std::ferror(input.get())) return DiskImageProblem{path, "Could not read it: " + win::LastErrorText()};
    if (written != file.size) return DiskImageProblem{path, "It changed while the disk image was written."};
    return std::nullopt;
  }

  std::optional<DiskImageProblem> Close() {
    if (archive_write_close(archive_.get()) != ARCHIVE_OK) return Problem(temporary_);
    if (!filter_.Finish()) return DiskImageProblem{temporary_, filter_.problem()};
    std::FILE* output = output_.release();
    const bool flushed = std::fflush(output) == 0 && std::ferror(output) == 0;
    if (std::fclose(output) != 0 || !flushed) {
      return DiskImageProblem{temporary_, "Could not write the disk image: " + win::LastErrorText()};
    }
    return std::nullopt;
  }

 private:
  static la_ssize_t Written(archive*, void* self, const void* data, size_t size) {
    auto* writer = static_cast<ImageWriter*>(self);
    if (writer->abandoned_ || !writer->filter_.Write(data, size)) return -1;
    return static_cast<la_ssize_t>(size);
  }

  DiskImageProblem Problem(const std::string& file) {
    if (!filter_.problem().empty()) return {file, filter_.problem()};
    const char* text = archive_ ? archive_error_string(archive_.get()) : nullptr;
    return {file, std::string("Could not write the disk image: ") + (text != nullptr ? text : "out of memory")};
  }

  bool abandoned_ = false;
  std::string temporary_;
  IsoStampFilter filter_;
  std::unique_ptr<std::FILE, FileClose> output_;
  std::unique_ptr<archive, ArchiveFree> archive_;  // freed first: it may still write
};

std::optional<DiskImageProblem> WriteThrough(const std::string& folder, const std::string& temporary,
                                             const std::string& volumeName, const std::string& leaveOut,
                                             const std::function<void(const std::string&)>& added) {
  std::vector<ImageFile> files;
  if (!ListFiles(folder, leaveOut, files))
    return DiskImageProblem{folder, "Could not read the folder: " + win::LastErrorText()};
  std::int64_t volumeTime = 0;
  for (const ImageFile& file : files) {
    if (!IsUtf8(file.name)) {
      return DiskImageProblem{folder + "\\" + file.name,
                              "Its name is not UTF-8 text, so it has no name Windows (Joliet) could show; rename "
                              "the file."};
    }
    if (Characters(file.name) > kJolietNameLength) {
      return DiskImageProblem{folder + "\\" + file.name,
                              "Its name is longer than the 64 characters a disk image's Windows (Joliet) names "
                              "hold; Windows would find it under a shortened name."};
    }
    volumeTime = std::max(volumeTime, file.mtime);
  }

  // Names go into Joliet (UTF-16) and Rock Ridge as the UTF-8 they are on the
  // host, whatever the locale the program runs in.
  platform::Utf8TextScope utf8Names;
  ImageWriter writer(temporary, volumeTime);
  if (auto problem = writer.Open(volumeName)) return problem;
  std::unique_ptr<char[]> block(new char[kReadBlock]);
  for (const ImageFile& file : files) {
    if (auto problem = writer.Add(folder + "\\" + file.name, file, block.get())) return problem;
    if (added) added(file.name);
  }
  return writer.Close();
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
  const std::string temporary = DiskImageTemporaryPath(imagePath);
  std::optional<DiskImageProblem> problem = WriteThrough(folder, temporary, volumeName, leaveOut, added);
  if (!problem &&
      win::MoveFileExA(temporary.c_str(), imagePath.c_str(), win::MOVEFILE_REPLACE_EXISTING) == win::FALSE) {
    problem = DiskImageProblem{imagePath, "Could not put the disk image in place: " + win::LastErrorText()};
  }
  if (problem) win::DeleteFileA(temporary.c_str());
  return problem;
}

}  // namespace kc::engine
