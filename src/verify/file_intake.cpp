#include "verify/file_intake.h"

#include "platform/whole_file.h"
#include "verify/archive_listing.h"

namespace kc::verify {

namespace {

// Larger archives go to an unnamed temporary file instead of memory.
constexpr std::size_t kHeldInMemory = 64u << 20;
// No settings file of an image comes near this; a larger one is not read.
constexpr std::size_t kSettingsMost = 16u << 20;

}  // namespace

FileIntake::FileIntake(ImageFile& file, bool holdArchive) : file_(file), holdArchive_(holdArchive && file.isArchive) {}

FileIntake::~FileIntake() {
  if (spool_ != nullptr) std::fclose(spool_);
}

void FileIntake::Add(const char* data, std::size_t size) {
  digest_.Update(data, size);
  file_.size += size;
  if (IsSettingsName(file_.name)) {
    if (!tooLarge_ && held_.size() + size <= kSettingsMost) {
      held_.append(data, size);
    } else {
      tooLarge_ = true;
      held_.clear();
    }
  } else if (holdArchive_) {
    if (spool_ == nullptr && held_.size() + size > kHeldInMemory) {
      spool_ = std::tmpfile();
      if (spool_ != nullptr && std::fwrite(held_.data(), 1, held_.size(), spool_) != held_.size()) {
        std::fclose(spool_);
        spool_ = nullptr;
      }
      if (spool_ == nullptr) {
        holdArchive_ = false;
        file_.archive.openProblem = "it could not be held for checking (no room for a temporary file)";
        held_.clear();
        return;
      }
      held_.clear();
    }
    if (spool_ != nullptr) {
      if (std::fwrite(data, 1, size, spool_) != size) {
        file_.archive.openProblem = "it could not be held for checking (the temporary file could not be written)";
        holdArchive_ = false;
      }
    } else {
      held_.append(data, size);
    }
  }
}

void FileIntake::Finish(const std::string& scratch, std::size_t index) {
  file_.sha256 = digest_.Final();
  if (IsSettingsName(file_.name)) {
    if (tooLarge_) return;  // the checks name it as unreadable
    // Named by number: the name in the image is input and must not become a path.
    const std::string copy = scratch + "\\settings" + std::to_string(index) + ".ini";
    if (win::WriteWholeFileA(copy.c_str(), held_) != win::FALSE) file_.settingsPath = copy;
    return;
  }
  if (!holdArchive_) return;
  std::FILE* source = spool_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> memory(nullptr, &std::fclose);
  if (source == nullptr) {
    if (held_.empty()) held_.push_back('\0');  // fmemopen refuses an empty buffer; the length below stays 0
    memory.reset(::fmemopen(held_.data(), held_.size(), "rb"));
    source = memory.get();
  }
  if (source == nullptr) {
    file_.archive.openProblem = "it could not be held for checking";
    return;
  }
  file_.archive = ListArchive(zip::ZipSource(source, 0, file_.size));
}

}  // namespace kc::verify
