// The pieces of the zip format that the writer and the reader share: record
// signatures, little-endian fields, DOS times and the extra fields we use.
// Plain C++ (the extractor compiles it too).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kc::zip {

inline constexpr std::uint32_t kLocalSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralSignature = 0x02014b50;
inline constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
inline constexpr std::uint32_t kEndSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;

inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndSize = 22;
inline constexpr std::size_t kZip64EndSize = 56;
inline constexpr std::size_t kZip64LocatorSize = 20;

inline constexpr std::uint16_t kFlagDescriptor = 1u << 3;  // CRC and sizes follow the data
inline constexpr std::uint16_t kFlagUtf8 = 1u << 11;       // name and comment are UTF-8

inline constexpr std::uint16_t kMethodStore = 0;
inline constexpr std::uint16_t kMethodDeflate = 8;

inline constexpr std::uint16_t kExtraZip64 = 0x0001;
inline constexpr std::uint16_t kExtraTime = 0x5455;   // "UT": modification time, seconds since 1970 (UTC)
inline constexpr std::uint16_t kExtraOwner = 0x7875;  // "ux": owner and group ids

inline constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;
inline constexpr std::uint16_t kMax16 = 0xFFFFu;

// Unix file types as stored in the upper half of the external attributes.
inline constexpr std::uint32_t kTypeMask = 0170000;
inline constexpr std::uint32_t kTypeRegular = 0100000;
inline constexpr std::uint32_t kTypeDirectory = 0040000;
inline constexpr std::uint32_t kTypeSymlink = 0120000;

inline void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::uint64_t GetLe(const void* at, int bytes) {
  const auto* p = static_cast<const unsigned char*>(at);
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

struct DosTime {
  std::uint16_t time = 0;
  std::uint16_t date = 0;
};

// The DOS date and time of a Unix time, in UTC whatever the machine's zone (so
// that the same inputs give the same bytes everywhere), clamped to the years
// DOS times can hold (1980 to 2107).
DosTime ToDosTime(std::int64_t seconds);
std::int64_t FromDosTime(DosTime dos);

// Whether the zip UTF-8 flag belongs on a name: valid UTF-8 and not plain
// ASCII. Other names are stored as their bytes without the flag.
bool NeedsUtf8Flag(std::string_view name);

}  // namespace kc::zip
