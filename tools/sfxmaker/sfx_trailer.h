// The layout of a self-extracting file, shared by sfxmaker and the extractor:
//
//   [extractor program][payload: zip archive][command line][trailer, 64 bytes]
//
// Trailer, little-endian: payload offset (u64), payload length (u64), command
// line length (u32), zero (u32), SHA-256 of the payload followed by the command
// line (32 bytes), magic "KCSFX1\r\n" (8 bytes). The extractor finds it at the
// end of its own file.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace kc::sfx {

inline constexpr std::size_t kTrailerSize = 64;
inline constexpr char kMagic[9] = "KCSFX1\r\n";

struct Trailer {
  std::uint64_t payloadOffset = 0;
  std::uint64_t payloadLength = 0;
  std::uint32_t commandLength = 0;
  std::array<unsigned char, 32> sha256{};
};

inline void PutLittle(unsigned char* at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline std::uint64_t GetLittle(const unsigned char* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

inline std::array<unsigned char, kTrailerSize> EncodeTrailer(const Trailer& trailer) {
  std::array<unsigned char, kTrailerSize> bytes{};
  PutLittle(&bytes[0], trailer.payloadOffset, 8);
  PutLittle(&bytes[8], trailer.payloadLength, 8);
  PutLittle(&bytes[16], trailer.commandLength, 4);
  std::memcpy(&bytes[24], trailer.sha256.data(), 32);
  std::memcpy(&bytes[56], kMagic, 8);
  return bytes;
}

// nullopt when the bytes do not end with the magic.
inline std::optional<Trailer> DecodeTrailer(const unsigned char* bytes) {
  if (std::memcmp(bytes + 56, kMagic, 8) != 0) return std::nullopt;
  Trailer trailer;
  trailer.payloadOffset = GetLittle(&bytes[0], 8);
  trailer.payloadLength = GetLittle(&bytes[8], 8);
  trailer.commandLength = static_cast<std::uint32_t>(GetLittle(&bytes[16], 4));
  std::memcpy(trailer.sha256.data(), &bytes[24], 32);
  return trailer;
}

}  // namespace kc::sfx
