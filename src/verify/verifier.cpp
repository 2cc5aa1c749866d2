#include "verify/verifier.h"

#include <cstring>
#include <memory>
#include <optional>

#include "common/names.h"
#include "common/sfx_trailer.h"
#include "engine/directory_utils.h"
#include "engine/image_builder.h"
#include "engine/image_layout.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/temporary_folder.h"
#include "verify/checks.h"
#include "verify/image_readers.h"

namespace kc::verify {

namespace {

enum class Shape { kFolder, kDisk, kNetwork };

struct Located {
  Shape shape = Shape::kFolder;
  std::string file;    // what is read: the folder, setup.iso or netsetup.exe
  std::string folder;  // the image folder
};

bool IsFileAt(const std::string& path) {
  const win::DWORD attributes = win::GetFileAttributesA(path.c_str());
  return attributes != win::INVALID_FILE_ATTRIBUTES && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What a file holds by its bytes: a self-extracting file ends with its magic
// (of either format, so that the outdated one is named), an ISO 9660 image has
// "CD001" in its first volume descriptor.
std::optional<Shape> ShapeOfFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(win::fopen(path.c_str(), "rb"), &std::fclose);
  if (!stream) return std::nullopt;
  char magic[8] = {};
  if (std::fseek(stream.get(), -8, SEEK_END) == 0 && std::fread(magic, 1, 8, stream.get()) == 8 &&
      (std::memcmp(magic, sfx::kMagic, 8) == 0 || std::memcmp(magic, sfx::kMagicFormat1, 8) == 0)) {
    return Shape::kNetwork;
  }
  char volume[5] = {};
  if (std::fseek(stream.get(), 32769, SEEK_SET) == 0 && std::fread(volume, 1, 5, stream.get()) == 5 &&
      std::memcmp(volume, "CD001", 5) == 0) {
    return Shape::kDisk;
  }
  const std::string name = tools::FileNamePart(path);
  if (tools::EqualNoCase(name, engine::kSelfExtractingName)) return Shape::kNetwork;
  if (tools::EqualNoCase(name, engine::kDiskImageName)) return Shape::kDisk;
  return std::nullopt;
}

// The kind as the build's layout names it: an image set's folder says whose it is.
std::string KindOf(const Located& located) {
  const char* base = located.shape == Shape::kNetwork ? engine::kKindNetwork
                     : located.shape == Shape::kDisk  ? engine::kKindDisk
                                                      : engine::kKindCd;
  const std::string set = engine::FileNamePart(engine::DirectoryPart(located.folder));
  if (tools::EqualNoCase(set, engine::kAdministratorPart + 1)) return std::string("administrator ") + base;
  if (tools::EqualNoCase(set, engine::kEndUserPart + 1)) return std::string("end-user ") + base;
  return base;
}

// A finished network image folder holds the gathering folder, emptied.
void CheckGatheringFolder(const std::string& folder, Verdict& verdict) {
  const std::string gathering = folder + "\\" + engine::kGatheringFolder;
  win::WIN32_FIND_DATAA found;
  win::HANDLE search = win::FindFirstFileA((gathering + "*.*").c_str(), &found);
  if (search == win::INVALID_HANDLE_VALUE) return;
  std::size_t left = 0;
  do {
    if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) ++left;
  } while (win::FindNextFileA(search, &found) != win::FALSE);
  win::FindClose(search);
  if (left > 0) {
    verdict.problems.push_back(
        {"temp", "the gathering folder still holds " + std::to_string(left) + " entries: the image was not finished"});
  }
}

}  // namespace

Verdict VerifyImage(const std::string& given, const std::string& windowsPath) {
  Verdict verdict;
  verdict.path = given;
  const std::string path = win::ToFullWindowsPath(windowsPath).value_or(windowsPath);
  const win::DWORD attributes = win::GetFileAttributesA(path.c_str());
  if (attributes == win::INVALID_FILE_ATTRIBUTES) {
    verdict.unusable = "cannot be read: " + win::LastErrorText();
    return verdict;
  }
  Located located{Shape::kFolder, path, path};
  if ((attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (IsFileAt(path + "\\" + engine::kSelfExtractingName)) {
      located = {Shape::kNetwork, path + "\\" + engine::kSelfExtractingName, path};
    } else if (IsFileAt(path + "\\" + engine::kDiskImageName)) {
      located = {Shape::kDisk, path + "\\" + engine::kDiskImageName, path};
    }
  } else {
    if (const std::string problem = NotAPlainFile(path); !problem.empty()) {
      verdict.unusable = problem;
      return verdict;
    }
    const std::optional<Shape> shape = ShapeOfFile(path);
    if (!shape) {
      verdict.unusable = "is neither an image folder nor a network or disk image file";
      return verdict;
    }
    located = {*shape, path, engine::DirectoryPart(path)};
  }
  verdict.kind = KindOf(located);

  // Settings read out of a container are copied into a private folder for
  // the profile functions; it lives until the checks are done.
  std::unique_ptr<platform::TemporaryFolder> scratch;
  ImageContents image;
  if (located.shape == Shape::kFolder) {
    image = ReadFolderImage(located.file);
  } else {
    scratch = std::make_unique<platform::TemporaryFolder>("kitcomp-verify");
    if (scratch->windowsPath().empty()) {
      verdict.unusable = "cannot be verified: " + scratch->problem();
      return verdict;
    }
    image = located.shape == Shape::kDisk ? ReadDiskImage(located.file, scratch->windowsPath())
                                          : ReadNetworkImage(located.file, scratch->windowsPath());
  }
  image.kind = verdict.kind;
  verdict.container = image.container;
  verdict.problems = image.problems;
  for (const ImageFile& file : image.files) {
    if (!file.folder) ++verdict.filesChecked;
    if (!file.readProblem.empty()) verdict.problems.push_back({file.name, file.readProblem});
  }
  if (image.files.empty()) {
    // Nothing could be read (named above), or there is nothing to read.
    if (verdict.problems.empty()) verdict.problems.push_back({"", "the folder is empty: no image is in it"});
    return verdict;
  }
  CheckPackageList(image, verdict);
  CheckInstallerSettings(image, verdict);
  CheckModuleSettings(image, verdict);
  CheckArchives(image, verdict);
  ListCustomizations(image, verdict);
  if (located.shape == Shape::kNetwork) {
    CheckCommandLine(image, verdict);
    if (located.file != path) CheckGatheringFolder(located.folder, verdict);
  }
  return verdict;
}

}  // namespace kc::verify
