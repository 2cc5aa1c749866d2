#include "common/zip_directory.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "common/zip_format.h"

namespace kc::zip {
namespace {

constexpr std::size_t kBlock = 1 << 20;

std::uint64_t Le(const std::string& bytes, std::size_t at, int size) {
  return GetLe(bytes.data() + at, size);
}

std::string Read(const ZipSource& source, std::uint64_t offset, std::size_t size, const char* what) {
  std::string bytes(size, '\0');
  if (!source.ReadAt(offset, bytes.data(), size)) throw ZipError(std::string("damaged archive: ") + what);
  return bytes;
}

struct EndRecord {
  std::uint64_t entries = 0;
  std::uint64_t directorySize = 0;
  std::uint64_t directoryOffset = 0;
  std::uint64_t position = 0;  // where the directory must end
};

EndRecord FindEnd(const ZipSource& source) {
  const std::uint64_t length = source.length();
  if (length < kEndSize) throw ZipError("not a zip archive (too short)");
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(length, kEndSize + kMax16));
  const std::string bytes = Read(source, length - tail, tail, "cannot read its end");
  // The end record is the last one whose comment reaches exactly to the end.
  for (std::size_t at = tail - kEndSize + 1; at-- > 0;) {
    if (Le(bytes, at, 4) != kEndSignature || at + kEndSize + Le(bytes, at + 20, 2) != tail) continue;
    EndRecord end;
    end.position = length - tail + at;
    if (Le(bytes, at + 4, 2) != 0 || Le(bytes, at + 6, 2) != 0)
      throw ZipError("archives on several disks are not supported");
    end.entries = Le(bytes, at + 10, 2);
    end.directorySize = Le(bytes, at + 12, 4);
    end.directoryOffset = Le(bytes, at + 16, 4);
    const bool wide = end.entries == kMax16 || end.directorySize == kMax32 || end.directoryOffset == kMax32;
    if (wide && end.position >= kZip64LocatorSize) {
      const std::string locator = Read(source, end.position - kZip64LocatorSize, kZip64LocatorSize, "zip64 locator");
      if (Le(locator, 0, 4) == kZip64LocatorSignature) {
        const std::uint64_t at64 = Le(locator, 8, 8);
        if (at64 > end.position - kZip64LocatorSize || end.position - kZip64LocatorSize - at64 < kZip64EndSize)
          throw ZipError("damaged archive: zip64 end record out of place");
        const std::string record = Read(source, at64, kZip64EndSize, "zip64 end record");
        if (Le(record, 0, 4) != kZip64EndSignature) throw ZipError("damaged archive: no zip64 end record");
        end.entries = Le(record, 32, 8);
        end.directorySize = Le(record, 40, 8);
        end.directoryOffset = Le(record, 48, 8);
        end.position = at64;
      }
    }
    if (end.directoryOffset > end.position || end.directorySize != end.position - end.directoryOffset)
      throw ZipError("damaged archive: the directory does not fit");
    return end;
  }
  throw ZipError("not a zip archive (no end record)");
}

void ReadExtra(std::string_view extra, ZipEntry& entry, bool wideSize, bool wideCompressed, bool wideOffset) {
  while (extra.size() >= 4) {
    const std::uint16_t id = static_cast<std::uint16_t>(GetLe(extra.data(), 2));
    const std::size_t size = static_cast<std::size_t>(GetLe(extra.data() + 2, 2));
    if (size > extra.size() - 4) break;
    std::string_view data = extra.substr(4, size);
    if (id == kExtraZip64) {
      auto take = [&](std::uint64_t& field) {
        if (data.size() < 8) throw ZipError("damaged archive: short zip64 field of " + entry.name);
        field = GetLe(data.data(), 8);
        data.remove_prefix(8);
      };
      if (wideSize) take(entry.size);
      if (wideCompressed) take(entry.compressedSize);
      if (wideOffset) take(entry.localOffset);
    } else if (id == kExtraTime && size >= 5 && (data[0] & 1)) {
      entry.mtime = static_cast<std::int32_t>(GetLe(data.data() + 1, 4));
    }
    extra.remove_prefix(4 + size);
  }
}

}  // namespace

bool ZipEntry::IsDirectory() const {
  return (mode & kTypeMask) == kTypeDirectory;
}
bool ZipEntry::IsSymlink() const {
  return (mode & kTypeMask) == kTypeSymlink;
}
bool ZipEntry::IsRegular() const {
  return (mode & kTypeMask) == kTypeRegular;
}

bool ZipSource::ReadAt(std::uint64_t offset, void* into, std::size_t size) const {
  if (offset > length_ || size > length_ - offset) return false;
  if (size == 0) return true;
  return std::fseek(file_, static_cast<long>(base_ + offset), SEEK_SET) == 0 &&
         std::fread(into, 1, size, file_) == size;
}

std::vector<ZipEntry> ReadZipDirectory(const ZipSource& source) {
  const EndRecord end = FindEnd(source);
  // Each directory record takes at least 46 bytes: a count beyond that is a lie.
  if (end.entries > end.directorySize / kCentralHeaderSize) throw ZipError("damaged archive: wrong entry count");
  const std::string directory =
      Read(source, end.directoryOffset, static_cast<std::size_t>(end.directorySize), "cannot read the directory");
  std::vector<ZipEntry> entries;
  entries.reserve(static_cast<std::size_t>(end.entries));
  std::size_t at = 0;
  for (std::uint64_t i = 0; i < end.entries; ++i) {
    if (directory.size() - at < kCentralHeaderSize || Le(directory, at, 4) != kCentralSignature)
      throw ZipError("damaged archive: directory record " + std::to_string(i + 1));
    const std::size_t nameLength = Le(directory, at + 28, 2), extraLength = Le(directory, at + 30, 2),
                      commentLength = Le(directory, at + 32, 2);
    if (directory.size() - at - kCentralHeaderSize < nameLength + extraLength + commentLength)
      throw ZipError("damaged archive: directory record " + std::to_string(i + 1));
    ZipEntry entry;
    const unsigned host = static_cast<unsigned>(Le(directory, at + 4, 2) >> 8);
    entry.flags = static_cast<std::uint16_t>(Le(directory, at + 8, 2));
    entry.method = static_cast<std::uint16_t>(Le(directory, at + 10, 2));
    const DosTime dos{static_cast<std::uint16_t>(Le(directory, at + 12, 2)),
                      static_cast<std::uint16_t>(Le(directory, at + 14, 2))};
    entry.crc = static_cast<std::uint32_t>(Le(directory, at + 16, 4));
    entry.compressedSize = Le(directory, at + 20, 4);
    entry.size = Le(directory, at + 24, 4);
    const std::uint32_t external = static_cast<std::uint32_t>(Le(directory, at + 38, 4));
    entry.localOffset = Le(directory, at + 42, 4);
    const std::size_t nameAt = at + kCentralHeaderSize;
    entry.name = directory.substr(nameAt, nameLength);
    entry.comment = directory.substr(nameAt + nameLength + extraLength, commentLength);
    entry.mtime = FromDosTime(dos);
    ReadExtra(std::string_view(directory).substr(nameAt + nameLength, extraLength), entry, entry.size == kMax32,
              entry.compressedSize == kMax32, entry.localOffset == kMax32);
    // Unix hosts keep the mode in the upper half; others get the usual modes.
    entry.mode = host == 3 ? external >> 16 : 0;
    if ((entry.mode & kTypeMask) == 0) {
      const bool directoryEntry = (external & 0x10) || (!entry.name.empty() && entry.name.back() == '/');
      entry.mode =
          (directoryEntry ? kTypeDirectory | 0755 : kTypeRegular | (entry.mode & 07777 ? entry.mode & 07777 : 0644));
    }
    if (entry.localOffset >= end.directoryOffset || entry.compressedSize > end.directoryOffset - entry.localOffset)
      throw ZipError("damaged archive: " + entry.name + " lies outside the archive");
    entries.push_back(std::move(entry));
    at = nameAt + nameLength + extraLength + commentLength;
  }
  return entries;
}

std::uint64_t DataOffset(const ZipSource& source, const ZipEntry& entry) {
  const std::string header = Read(source, entry.localOffset, kLocalHeaderSize, entry.name.c_str());
  if (Le(header, 0, 4) != kLocalSignature) throw ZipError("damaged archive: no local header for " + entry.name);
  const std::uint64_t data = entry.localOffset + kLocalHeaderSize + Le(header, 26, 2) + Le(header, 28, 2);
  if (data > source.length() || entry.compressedSize > source.length() - data)
    throw ZipError("damaged archive: the data of " + entry.name + " lies outside the archive");
  return data;
}

void ReadEntryData(const ZipSource& source, const ZipEntry& entry, const BlockSink& block) {
  if (entry.method != kMethodStore && entry.method != kMethodDeflate)
    throw ZipError(entry.name + ": compression method " + std::to_string(entry.method) + " is not supported");
  if (entry.flags & 1) throw ZipError(entry.name + ": encrypted entries are not supported");
  std::uint64_t offset = DataOffset(source, entry);
  std::uint64_t left = entry.compressedSize;
  std::unique_ptr<char[]> input(new char[kBlock]);
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  std::uint64_t produced = 0;
  auto deliver = [&](const char* data, std::size_t size) {
    produced += size;
    if (produced > entry.size) throw ZipError("damaged archive: " + entry.name + " is longer than recorded");
    crc = static_cast<std::uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(data), size));
    block(data, size);
  };
  auto readNext = [&]() -> std::size_t {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
    if (!source.ReadAt(offset, input.get(), want)) throw ZipError("damaged archive: cannot read " + entry.name);
    offset += want;
    left -= want;
    return want;
  };
  if (entry.method == kMethodStore) {
    while (left > 0) {
      const std::size_t got = readNext();
      deliver(input.get(), got);
    }
  } else {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw ZipError("out of memory");
    std::unique_ptr<z_stream, int (*)(z_streamp)> ender(&z, &inflateEnd);
    std::unique_ptr<char[]> output(new char[kBlock]);
    for (;;) {
      if (z.avail_in == 0 && left > 0) {
        z.avail_in = static_cast<uInt>(readNext());
        z.next_in = reinterpret_cast<Bytef*>(input.get());
      }
      z.next_out = reinterpret_cast<Bytef*>(output.get());
      z.avail_out = static_cast<uInt>(kBlock);
      const int status = inflate(&z, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
        throw ZipError("damaged archive: " + entry.name + ": " + (z.msg ? z.msg : "bad compressed data"));
      deliver(output.get(), kBlock - z.avail_out);
      if (status == Z_STREAM_END) break;
      if (status == Z_BUF_ERROR && z.avail_in == 0 && left == 0)
        throw ZipError("damaged archive: " + entry.name + " ends early");
    }
  }
  if (produced != entry.size || crc != entry.crc)
    throw ZipError("damaged archive: " + entry.name +
                   (produced != entry.size ? " has the wrong size" : " fails its CRC check"));
}

}  // namespace kc::zip
