// The layout of a self-extracting file and its integrity check, shared by
// sfxmaker (which writes it), the extractor (which checks itself) and any
// verifier that wants to look into such a file without extracting it:
//
//   [extractor program][payload: zip archive][command line][trailer, 64 bytes]
//
// Trailer, little-endian:
//   0   u64   payload offset in the file (the extractor's size)
//   8   u64   payload length
//   16  u32   command line length
//   20  u32   format version (2)
//   24  32    SHA-256 digest
//   56  8     magic "KCSFX2\r\n"
// The digest covers every byte of the file except the digest itself: the
// bytes before offset 24 of the trailer, then the 8 magic bytes. Files of
// format 1 (magic "KCSFX1\r\n", a digest over payload and command line only)
// are recognized and refused as outdated.
//
// Plain C++ on the tools' one SHA-256 (OpenSSL's low-level functions);
// programs using it link libcrypto (the extractor statically).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/sha256.h"

namespace kc::sfx {

inline constexpr std::size_t kTrailerSize = 64;
inline constexpr std::size_t kDigestOffset = 24;  // within the trailer
inline constexpr std::size_t kDigestSize = 32;
inline constexpr std::uint32_t kFormatVersion = 2;
inline constexpr char kMagic[9] = "KCSFX2\r\n";
inline constexpr char kMagicFormat1[9] = "KCSFX1\r\n";

using Digest = std::array<unsigned char, kDigestSize>;

struct Trailer {
  std::uint64_t payloadOffset = 0;
  std::uint64_t payloadLength = 0;
  std::uint32_t commandLength = 0;
  std::uint32_t formatVersion = kFormatVersion;
  Digest digest{};
};

std::array<unsigned char, kTrailerSize> EncodeTrailer(const Trailer& trailer);

// The trailer in the last 64 bytes of a file of `fileSize` bytes; false with
// `error` ("corrupt: ...") when the magic is missing, the format is not 2, or
// the parts do not fit the file exactly (each length is measured against what
// is left, so lengths made to wrap around in a sum cannot pass).
bool DecodeTrailer(const unsigned char* bytes, std::uint64_t fileSize, Trailer& trailer, std::string& error);

// The whole-file digest, fed in file order: every byte before the trailer,
// then Seal, which adds the trailer's fields and gives the encoded trailer
// with the digest in place.
class WholeFileDigest {
 public:
  void Update(const void* data, std::size_t size);
  std::array<unsigned char, kTrailerSize> Seal(Trailer trailer);

 private:
  tools::Sha256 sha_;
};

// A self-extracting file opened for inspection: its trailer and command line
// read and checked against the file's size.
struct SfxFile {
  std::uint64_t fileSize = 0;
  Trailer trailer;
  std::string commandLine;
};

// Reads the trailer and the command line of an open file (read in binary
// mode); false with `error` ("corrupt: ...") when they are missing or do not fit.
bool OpenSfxFile(std::FILE* file, SfxFile& sfx, std::string& error);

// Streams the whole file once and compares the digest: a thread of its own
// reads ahead into a few blocks, so the hashing never waits for a copy; false
// with `error` set on a mismatch or a read error.
bool VerifySfxFile(std::FILE* file, const SfxFile& sfx, std::string& error);

}  // namespace kc::sfx
