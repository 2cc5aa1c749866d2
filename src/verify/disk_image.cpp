#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/names.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "platform/unique_fd.h"
#include "platform/utf8_text.h"
#include "verify/file_intake.h"
#include "verify/image_readers.h"

namespace kc::verify {

namespace {

std::string ErrorOf(archive* reader) {
  const char* text = archive_error_string(reader);
  return text != nullptr ? text : "an unknown error";
}

// Whether the volume descriptors hold a Joliet one: a supplementary
// descriptor with a UCS-2 escape sequence.
bool HasJolietNames(const std::string& host) {
  constexpr off_t kSector = 2048;
  const platform::UniqueFd in(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
  unsigned char descriptor[kSector];
  for (off_t sector = 16; in.valid() && sector < 64; ++sector) {
    if (::pread(in.fd(), descriptor, sizeof descriptor, sector * kSector) != kSector) return false;
    if (std::memcmp(descriptor + 1, "CD001", 5) != 0 || descriptor[0] == 255) return false;
    if (descriptor[0] == 2 && descriptor[88] == '%' && descriptor[89] == '/' &&
        (descriptor[90] == '@' || descriptor[90] == 'C' || descriptor[90] == 'E')) {
      return true;
    }
  }
  return false;
}

// The names of the Joliet tree, read on its own, as Windows sees them; false
// with `why` when it cannot be read to its end.
bool ReadJolietNames(const std::string& host, std::vector<std::string>& names, std::string& why) {
  // libarchive gives the UTF-16 names through the thread's locale.
  platform::Utf8TextScope utf8;
  std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), &archive_read_free);
  archive_read_support_format_iso9660(reader.get());
  archive_read_set_options(reader.get(), "iso9660:!rockridge");
  if (archive_read_open_filename(reader.get(), host.c_str(), 1 << 16) != ARCHIVE_OK) {
    why = ErrorOf(reader.get());
    return false;
  }
  archive_entry* entry = nullptr;
  int status;
  while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
    const char* name = archive_entry_pathname_utf8(entry);
    if (name != nullptr && archive_entry_filetype(entry) != AE_IFDIR) names.emplace_back(name);
  }
  if (status != ARCHIVE_EOF) why = ErrorOf(reader.get());
  return status == ARCHIVE_EOF;
}

// Windows reads a disk image by its Joliet names: each file other systems see
// (Rock Ridge) must be there under the same name, letter case aside, and no
// other.
void CompareWindowsNames(const std::string& host, const std::string& self, ImageContents& image) {
  if (!HasJolietNames(host)) {
    image.problems.push_back({self,
                              "it has no Windows (Joliet) names: Windows shows its files under short "
                              "upper-case names the installer does not look for"});
    return;
  }
  std::vector<std::string> joliet;
  std::string why;
  if (!ReadJolietNames(host, joliet, why)) {
    image.problems.push_back({self, "its Windows (Joliet) names cannot be read: " + why});
    return;
  }
  auto holds = [](const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& other) { return platform::EqualNoCase(other, name); });
  };
  std::vector<std::string> others;
  for (const ImageFile& file : image.files) {
    if (file.folder) continue;
    others.push_back(file.name);
    if (!holds(joliet, file.name)) {
      image.problems.push_back({file.name, "Windows (Joliet) finds no file of this name on the disk image"});
    }
  }
  for (const std::string& name : joliet) {
    if (!holds(others, name)) {
      image.problems.push_back(
          {name, "Windows (Joliet) shows a file of this name that other systems (Rock Ridge) do not"});
    }
  }
}

}  // namespace

ImageContents ReadDiskImage(const std::string& isoFile, const std::string& scratch) {
  ImageContents image;
  const std::string self = tools::FileNamePart(isoFile);
  image.container = self;
  if (const std::string problem = NotAPlainFile(isoFile); !problem.empty()) {
    image.problems.push_back({self, problem});
    return image;
  }
  const std::optional<std::string> host = win::ToHostPath(isoFile);
  std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), &archive_read_free);
  archive_read_support_format_iso9660(reader.get());
  if (!host || archive_read_open_filename(reader.get(), host->c_str(), 1 << 20) != ARCHIVE_OK) {
    image.problems.push_back({self, std::string("it cannot be read as a disk image: ") +
                                        (host ? ErrorOf(reader.get()) : std::string("no drive holds it"))});
    return image;
  }
  std::unique_ptr<char[]> block(new char[1 << 20]);
  archive_entry* entry = nullptr;
  int status;
  while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
    // Rock Ridge names, as other systems see them.
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* name = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
    ImageFile file;
    file.name = name != nullptr ? name : "";
    while (!file.name.empty() && file.name.back() == '/') file.name.pop_back();
    if (file.name.empty() || file.name == ".") continue;
    if (archive_entry_filetype(entry) == AE_IFDIR) {
      file.folder = true;
      image.files.push_back(std::move(file));
      continue;
    }
    file.isArchive = IsArchiveName(file.name);
    {
      FileIntake intake(file, true);
      la_ssize_t got;
      while ((got = archive_read_data(reader.get(), block.get(), 1 << 20)) > 0) {
        intake.Add(block.get(), static_cast<std::size_t>(got));
      }
      if (got < 0) {
        file.readProblem = std::string("it cannot be read out of the disk image: ") + ErrorOf(reader.get());
      } else {
        intake.Finish(scratch, image.files.size());
      }
    }
    image.files.push_back(std::move(file));
  }
  if (status != ARCHIVE_EOF) {
    image.problems.push_back({self, std::string("the disk image cannot be read to its end: ") + ErrorOf(reader.get())});
    return image;
  }
  CompareWindowsNames(*host, self, image);
  return image;
}

}  // namespace kc::verify
