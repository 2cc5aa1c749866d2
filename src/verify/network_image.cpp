#include <memory>

#include "common/names.h"
#include "common/sfx_trailer.h"
#include "common/zip_directory.h"
#include "platform/files.h"
#include "verify/archive_listing.h"
#include "verify/file_intake.h"
#include "verify/image_readers.h"

namespace kc::verify {

ImageContents ReadNetworkImage(const std::string& sfxFile, const std::string& scratch) {
  ImageContents image;
  const std::string self = tools::FileNamePart(sfxFile);
  image.container = self;
  if (const std::string problem = NotAPlainFile(sfxFile); !problem.empty()) {
    image.problems.push_back({self, problem});
    return image;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(win::fopen(sfxFile.c_str(), "rb"), &std::fclose);
  if (!stream) {
    image.problems.push_back({self, "it cannot be opened: " + win::LastErrorText()});
    return image;
  }
  sfx::SfxFile opened;
  std::string error;
  if (!sfx::OpenSfxFile(stream.get(), opened, error)) {
    image.problems.push_back(
        {self, "it is no intact self-extracting file (" + error + "); nothing in it can be checked"});
    return image;
  }
  image.commandLine = opened.commandLine;
  // The digest first: a mismatch is named, and the payload is still read so
  // that what it spoilt is named too.
  if (!sfx::VerifySfxFile(stream.get(), opened, error)) {
    image.problems.push_back({self, "the whole-file integrity check failed (" + error + ")"});
  }

  const zip::ZipSource payload(stream.get(), opened.trailer.payloadOffset, opened.trailer.payloadLength);
  std::vector<zip::ZipEntry> entries;
  try {
    entries = zip::ReadZipDirectory(payload);
  } catch (const zip::ZipError& failure) {
    image.problems.push_back({self, std::string("its payload cannot be read as an archive: ") + failure.what()});
    return image;
  }
  for (const zip::ZipEntry& entry : entries) {
    ImageFile file;
    file.name = entry.name;
    if (entry.IsDirectory()) {
      if (!file.name.empty() && file.name.back() == '/') file.name.pop_back();
      file.folder = true;
      image.files.push_back(std::move(file));
      continue;
    }
    file.isArchive = IsArchiveName(entry.name);
    // A stored archive lies in the file as it is: checked where it lies.
    const bool stored = entry.method == 0;
    {
      FileIntake intake(file, !stored);
      try {
        zip::ReadEntryData(payload, entry, [&](const char* data, std::size_t size) { intake.Add(data, size); });
        intake.Finish(scratch, image.files.size());
      } catch (const zip::ZipError& failure) {
        file.readProblem = std::string("it is damaged in the payload: ") + failure.what();
      }
    }
    if (file.readProblem.empty() && file.isArchive && stored) {
      try {
        const std::uint64_t at = zip::DataOffset(payload, entry);
        file.archive = ListArchive(zip::ZipSource(stream.get(), payload.base() + at, entry.compressedSize));
      } catch (const zip::ZipError& failure) {
        file.archive.openProblem = failure.what();
      }
    }
    image.files.push_back(std::move(file));
  }
  return image;
}

}  // namespace kc::verify
