#include "common/sfx_trailer.h"

#include <algorithm>
#include <cstring>

#include "common/read_ahead.h"

namespace kc::sfx {
namespace {

void PutLittle(unsigned char* at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t GetLittle(const unsigned char* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

bool ReadAt(std::FILE* file, std::uint64_t offset, void* into, std::size_t size) {
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(into, 1, size, file) == size;
}

}  // namespace

std::array<unsigned char, kTrailerSize> EncodeTrailer(const Trailer& trailer) {
  std::array<unsigned char, kTrailerSize> bytes{};
  PutLittle(&bytes[0], trailer.payloadOffset, 8);
  PutLittle(&bytes[8], trailer.payloadLength, 8);
  PutLittle(&bytes[16], trailer.commandLength, 4);
  PutLittle(&bytes[20], trailer.formatVersion, 4);
  std::memcpy(&bytes[kDigestOffset], trailer.digest.data(), kDigestSize);
  std::memcpy(&bytes[56], kMagic, 8);
  return bytes;
}

bool DecodeTrailer(const unsigned char* bytes, std::uint64_t fileSize, Trailer& trailer, std::string& error) {
  if (std::memcmp(bytes + 56, kMagicFormat1, 8) == 0) {
    error = "corrupt: made by an older sfxmaker (format 1, whose check does not cover the whole file); make it again";
    return false;
  }
  if (std::memcmp(bytes + 56, kMagic, 8) != 0) {
    error = "corrupt: no archive attached to this program";
    return false;
  }
  trailer.payloadOffset = GetLittle(&bytes[0], 8);
  trailer.payloadLength = GetLittle(&bytes[8], 8);
  trailer.commandLength = static_cast<std::uint32_t>(GetLittle(&bytes[16], 4));
  trailer.formatVersion = static_cast<std::uint32_t>(GetLittle(&bytes[20], 4));
  std::memcpy(trailer.digest.data(), &bytes[kDigestOffset], kDigestSize);
  if (trailer.formatVersion != kFormatVersion) {
    error = "corrupt: unknown format version " + std::to_string(trailer.formatVersion);
    return false;
  }
  const std::uint64_t room = fileSize - kTrailerSize;
  if (trailer.payloadOffset > room || trailer.payloadLength > room - trailer.payloadOffset ||
      trailer.commandLength != room - trailer.payloadOffset - trailer.payloadLength) {
    error = "corrupt: the archive does not fit the file (truncated or extended)";
    return false;
  }
  return true;
}

void WholeFileDigest::Update(const void* data, std::size_t size) {
  sha_.Update(data, size);
}

std::array<unsigned char, kTrailerSize> WholeFileDigest::Seal(Trailer trailer) {
  std::array<unsigned char, kTrailerSize> bytes = EncodeTrailer(trailer);
  Update(bytes.data(), kDigestOffset);
  Update(bytes.data() + kDigestOffset + kDigestSize, kTrailerSize - kDigestOffset - kDigestSize);
  const tools::Digest digest = sha_.Final();
  std::memcpy(bytes.data() + kDigestOffset, digest.data(), kDigestSize);
  return bytes;
}

bool OpenSfxFile(std::FILE* file, SfxFile& sfx, std::string& error) {
  unsigned char bytes[kTrailerSize];
  if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) < static_cast<long>(kTrailerSize)) {
    error = "corrupt: no archive attached to this program";
    return false;
  }
  sfx.fileSize = static_cast<std::uint64_t>(std::ftell(file));
  if (!ReadAt(file, sfx.fileSize - kTrailerSize, bytes, kTrailerSize)) {
    error = "corrupt: cannot read the trailer";
    return false;
  }
  if (!DecodeTrailer(bytes, sfx.fileSize, sfx.trailer, error)) return false;
  sfx.commandLine.resize(sfx.trailer.commandLength);
  if (sfx.trailer.commandLength != 0 && !ReadAt(file, sfx.trailer.payloadOffset + sfx.trailer.payloadLength,
                                                sfx.commandLine.data(), sfx.trailer.commandLength)) {
    error = "corrupt: cannot read the command line";
    return false;
  }
  return true;
}

bool VerifySfxFile(std::FILE* file, const SfxFile& sfx, std::string& error) {
  WholeFileDigest digest;
  if (std::fseek(file, 0, SEEK_SET) != 0) {
    error = "corrupt: cannot read the file";
    return false;
  }
  ReadAhead blocks(file, sfx.fileSize - kTrailerSize);
  for (ReadAhead::Block block = blocks.Next(); block.size != 0; block = blocks.Next())
    digest.Update(block.data, block.size);
  if (blocks.failed()) {
    error = "corrupt: the file cannot be read to its end";
    return false;
  }
  Trailer expected = sfx.trailer;
  const std::array<unsigned char, kTrailerSize> sealed = digest.Seal(expected);
  if (std::memcmp(sealed.data() + kDigestOffset, sfx.trailer.digest.data(), kDigestSize) != 0) {
    error = "corrupt: the checksum does not match; download the file again";
    return false;
  }
  return true;
}

}  // namespace kc::sfx
