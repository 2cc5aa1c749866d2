#include "sfxmaker/stub/payload.h"

#include <cstdio>

namespace kc::sfx {

std::unique_ptr<Payload> Payload::Open(const std::string& hostPath, std::string& error) {
  std::FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (!file) {
    error = hostPath + ": cannot be read";
    return nullptr;
  }
  std::setvbuf(file, nullptr, _IONBF, 0);
  SfxFile sfx;
  if (!OpenSfxFile(file, sfx, error)) {
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<Payload>(new Payload(hostPath, file, std::move(sfx)));
}

Payload::Payload(std::string path, std::FILE* file, SfxFile sfx)
    : path_(std::move(path)),
      file_(file),
      sfx_(std::move(sfx)),
      source_(file, sfx_.trailer.payloadOffset, sfx_.trailer.payloadLength) {}

Payload::~Payload() {
  std::fclose(file_);
}

bool Payload::Verify(std::string& error) const {
  std::FILE* own = std::fopen(path_.c_str(), "rb");
  if (!own) {
    error = "corrupt: the file cannot be read";
    return false;
  }
  std::setvbuf(own, nullptr, _IONBF, 0);
  SfxFile again;
  // The file is read afresh: the digest checks the trailer that was used.
  const bool same = OpenSfxFile(own, again, error) && again.trailer.payloadOffset == sfx_.trailer.payloadOffset &&
                    again.trailer.payloadLength == sfx_.trailer.payloadLength;
  const bool intact = same && VerifySfxFile(own, again, error);
  if (!same && error.empty()) error = "corrupt: the file changed while it was read";
  std::fclose(own);
  return intact;
}

bool Payload::ReadEntries(std::vector<zip::ZipEntry>& entries, std::string& error) const {
  try {
    entries = zip::ReadZipDirectory(source_);
    return true;
  } catch (const zip::ZipError& failure) {
    error = std::string("corrupt: ") + failure.what();
    return false;
  }
}

int Payload::descriptor() const {
  return ::fileno(file_);
}

}  // namespace kc::sfx
