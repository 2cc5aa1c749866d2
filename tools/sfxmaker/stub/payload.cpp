#include "sfxmaker/stub/payload.h"

#include <archive.h>
#include <nettle/sha2.h>

#include <algorithm>

namespace kc::sfx {
namespace {

constexpr std::size_t kBlock = 1 << 20;

bool ReadAt(std::FILE* file, std::uint64_t offset, void* into, std::size_t size) {
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(into, 1, size, file) == size;
}

}  // namespace

std::unique_ptr<Payload> Payload::Open(const std::string& hostPath, std::string& error) {
  std::unique_ptr<Payload> payload(new Payload);
  payload->file_ = std::fopen(hostPath.c_str(), "rb");
  if (!payload->file_) {
    error = hostPath + ": cannot be read";
    return nullptr;
  }
  std::setvbuf(payload->file_, nullptr, _IONBF, 0);
  std::fseek(payload->file_, 0, SEEK_END);
  const long fileSize = std::ftell(payload->file_);
  unsigned char bytes[kTrailerSize];
  if (fileSize < static_cast<long>(kTrailerSize) ||
      !ReadAt(payload->file_, static_cast<std::uint64_t>(fileSize) - kTrailerSize, bytes, kTrailerSize)) {
    error = "corrupt: no archive attached to this program";
    return nullptr;
  }
  std::optional<Trailer> trailer = DecodeTrailer(bytes);
  if (!trailer) {
    error = "corrupt: no archive attached to this program";
    return nullptr;
  }
  payload->trailer_ = *trailer;
  // Each part is measured against what is left of the file, so that lengths
  // made to wrap around in a sum can neither pass nor size a buffer.
  const std::uint64_t room = static_cast<std::uint64_t>(fileSize) - kTrailerSize;
  if (trailer->payloadOffset > room || trailer->payloadLength > room - trailer->payloadOffset ||
      trailer->commandLength != room - trailer->payloadOffset - trailer->payloadLength) {
    error = "corrupt: the archive does not fit the file (truncated or extended)";
    return nullptr;
  }
  payload->commandLine_.resize(trailer->commandLength);
  if (trailer->commandLength != 0 && !ReadAt(payload->file_, trailer->payloadOffset + trailer->payloadLength,
                                             payload->commandLine_.data(), trailer->commandLength)) {
    error = "corrupt: cannot read the command line";
    return nullptr;
  }
  payload->block_.reset(new char[kBlock]);
  return payload;
}

Payload::~Payload() {
  if (file_) std::fclose(file_);
}

bool Payload::ChecksumMatches() {
  // nettle, already linked in for libarchive, keeps the extractor small.
  sha256_ctx hash;
  sha256_init(&hash);
  if (std::fseek(file_, static_cast<long>(trailer_.payloadOffset), SEEK_SET) != 0) return false;
  std::uint64_t left = trailer_.payloadLength;
  while (left > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
    if (std::fread(block_.get(), 1, want, file_) != want) return false;
    sha256_update(&hash, want, reinterpret_cast<const std::uint8_t*>(block_.get()));
    left -= want;
  }
  sha256_update(&hash, commandLine_.size(), reinterpret_cast<const std::uint8_t*>(commandLine_.data()));
  std::array<unsigned char, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&hash, digest.size(), digest.data());
  return digest == trailer_.sha256;
}

long Payload::Read(archive*, void* self, const void** buffer) {
  auto* payload = static_cast<Payload*>(self);
  const std::uint64_t left = payload->trailer_.payloadLength - payload->position_;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
  *buffer = payload->block_.get();
  if (want == 0) return 0;
  if (!ReadAt(payload->file_, payload->trailer_.payloadOffset + payload->position_, payload->block_.get(), want))
    return -1;
  payload->position_ += want;
  return static_cast<long>(want);
}

std::int64_t Payload::Skip(archive*, void* self, std::int64_t request) {
  auto* payload = static_cast<Payload*>(self);
  const std::uint64_t left = payload->trailer_.payloadLength - payload->position_;
  const std::uint64_t skipped = std::min<std::uint64_t>(left, request < 0 ? 0 : static_cast<std::uint64_t>(request));
  payload->position_ += skipped;
  return static_cast<std::int64_t>(skipped);
}

std::int64_t Payload::Seek(archive*, void* self, std::int64_t offset, int whence) {
  auto* payload = static_cast<Payload*>(self);
  const std::int64_t length = static_cast<std::int64_t>(payload->trailer_.payloadLength);
  std::int64_t target = offset;
  if (whence == SEEK_CUR) target += static_cast<std::int64_t>(payload->position_);
  if (whence == SEEK_END) target += length;
  if (target < 0 || target > length) return ARCHIVE_FATAL;
  payload->position_ = static_cast<std::uint64_t>(target);
  return target;
}

archive* Payload::OpenReader(std::string& error) {
  position_ = 0;
  archive* reader = archive_read_new();
  archive_read_support_format_zip(reader);
  archive_read_set_callback_data(reader, this);
  archive_read_set_read_callback(reader, &Payload::Read);
  archive_read_set_skip_callback(reader, &Payload::Skip);
  archive_read_set_seek_callback(reader, &Payload::Seek);
  if (archive_read_open1(reader) != ARCHIVE_OK) {
    const char* detail = archive_error_string(reader);
    error = std::string("corrupt: the archive cannot be read") + (detail ? std::string(" (") + detail + ")" : "");
    archive_read_free(reader);
    return nullptr;
  }
  return reader;
}

}  // namespace kc::sfx
