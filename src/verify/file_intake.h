// One file of an image read out of a container (a disk image's ISO file, a
// network image's payload): hashed as its bytes arrive; a settings file kept
// and copied into the scratch folder so that the profile functions read it by
// their own rules; a module archive held (in memory, in an unnamed temporary
// file when large) until its directory and entries have been checked. Nothing
// is written into the image's folder.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "common/sha256.h"
#include "verify/image_contents.h"

namespace kc::verify {

class FileIntake {
 public:
  // `holdArchive`: the archive's bytes are needed later (they cannot be read
  // again from where they came).
  FileIntake(ImageFile& file, bool holdArchive);
  ~FileIntake();
  FileIntake(const FileIntake&) = delete;
  FileIntake& operator=(const FileIntake&) = delete;

  void Add(const char* data, std::size_t size);
  // After the last byte: the digest, the settings copy (the `index`th file
  // read into `scratch`, a Windows folder), the archive's listing when held.
  void Finish(const std::string& scratch, std::size_t index);

 private:
  ImageFile& file_;
  bool holdArchive_;
  tools::Sha256 digest_;
  std::string held_;            // settings text, or an archive while it is small
  std::FILE* spool_ = nullptr;  // an archive once it is large
  bool tooLarge_ = false;       // a settings file too large to be one
};

}  // namespace kc::verify
