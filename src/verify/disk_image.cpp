#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "common/names.h"
#include "platform/drives.h"
#include "verify/file_intake.h"
#include "verify/image_readers.h"

namespace kc::verify {

namespace {

std::string ErrorOf(archive* reader) {
  const char* text = archive_error_string(reader);
  return text != nullptr ? text : "an unknown error";
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
  }
  return image;
}

}  // namespace kc::verify
