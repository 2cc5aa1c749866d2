#include "common/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/tool_failure.h"
#include "common/zip_format.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

using namespace kc::zip;

constexpr std::size_t kBlock = 1 << 20;

// Above this size an entry gets zip64 fields: a margin below 4 GiB, so that
// deflate's growth of incompressible data cannot overflow the 32-bit fields.
// It depends on the uncompressed size alone, so a copied entry gets the same
// header as the new entry it once was.
constexpr std::uint64_t kZip64Threshold = 0xF0000000u;

char* Buffer() {
  static std::unique_ptr<char[]> block(new char[kBlock]);  // one archive at a time per process
  return block.get();
}

void PutUnixExtras(std::string& out, std::int64_t mtime) {
  const auto time = static_cast<std::uint32_t>(mtime < 0 ? 0 : mtime > 0x7FFFFFFF ? 0x7FFFFFFF : mtime);
  PutLe(out, kExtraTime, 2);
  PutLe(out, 5, 2);
  PutLe(out, 1, 1);  // modification time present
  PutLe(out, time, 4);
  PutLe(out, kExtraOwner, 2);
  PutLe(out, 11, 2);
  PutLe(out, 1, 1);  // version
  PutLe(out, 4, 1);
  PutLe(out, 0, 4);  // uid 0
  PutLe(out, 4, 1);
  PutLe(out, 0, 4);  // gid 0
}

}  // namespace

class ZipWriter::Deflater {
 public:
  Deflater() {
    // The settings libarchive and zip use: the same data gives the same bytes.
    if (deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ToolFailure(kExitBadOutput, "out of memory");
  }
  ~Deflater() { deflateEnd(&z_); }
  // Compresses `size` bytes (finish: the last call), handing output to emit.
  template <typename Emit>
  void Run(const char* data, std::size_t size, bool finish, Emit emit) {
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z_.avail_in = static_cast<uInt>(size);
    int status;
    do {
      z_.next_out = out_;
      z_.avail_out = sizeof out_;
      status = deflate(&z_, finish ? Z_FINISH : Z_NO_FLUSH);
      if (status == Z_STREAM_ERROR) throw ToolFailure(kExitBadOutput, "compression failed");
      emit(out_, sizeof out_ - z_.avail_out);
    } while (z_.avail_out == 0 || (finish && status != Z_STREAM_END));
  }

 private:
  z_stream z_{};
  Bytef out_[256 * 1024];
};

ZipWriter::ZipWriter(Sink sink, ZipMethod method, std::string shownName)
    : sink_(std::move(sink)), method_(method), shownName_(std::move(shownName)) {}

void ZipWriter::Emit(const void* data, std::size_t size) {
  if (size == 0) return;
  sink_(data, size);
  bytesWritten_ += size;
}

ZipWriter::Record& ZipWriter::Begin(const std::string& name, std::int64_t mtime, std::uint32_t mode,
                                    std::uint16_t method, std::uint16_t extraFlags, std::uint64_t expectedSize,
                                    const std::string& label) {
  if (name.size() > kMax16 || label.size() > kMax16)
    throw ToolFailure(kExitBadOutput, shownName_ + ": " + name.substr(0, 200) + ": name or label too long");
  Record record;
  record.name = name;
  record.comment = label;
  record.flags = static_cast<std::uint16_t>(kFlagDescriptor | (extraFlags & 6) |
                                            (NeedsUtf8Flag(name) || NeedsUtf8Flag(label) ? kFlagUtf8 : 0));
  record.method = method;
  record.localOffset = bytesWritten_;
  record.mtime = mtime;
  record.mode = mode;
  record.zip64 = expectedSize >= kZip64Threshold;
  const DosTime dos = ToDosTime(mtime);
  std::string header;
  PutLe(header, kLocalSignature, 4);
  PutLe(header, record.zip64 ? 45 : 20, 2);
  PutLe(header, record.flags, 2);
  PutLe(header, method, 2);
  PutLe(header, dos.time, 2);
  PutLe(header, dos.date, 2);
  PutLe(header, 0, 4);  // CRC and sizes follow in the data descriptor
  PutLe(header, record.zip64 ? kMax32 : 0, 4);
  PutLe(header, record.zip64 ? kMax32 : 0, 4);
  PutLe(header, name.size(), 2);
  PutLe(header, 24 + (record.zip64 ? 20 : 0), 2);
  header += name;
  PutUnixExtras(header, mtime);
  if (record.zip64) {
    PutLe(header, kExtraZip64, 2);
    PutLe(header, 16, 2);
    PutLe(header, 0, 8);
    PutLe(header, 0, 8);
  }
  Emit(header.data(), header.size());
  records_.push_back(std::move(record));
  return records_.back();
}

void ZipWriter::Finish(Record& record) {
  std::string descriptor;
  PutLe(descriptor, kDescriptorSignature, 4);
  PutLe(descriptor, record.crc, 4);
  PutLe(descriptor, record.compressedSize, record.zip64 ? 8 : 4);
  PutLe(descriptor, record.size, record.zip64 ? 8 : 4);
  Emit(descriptor.data(), descriptor.size());
}

void ZipWriter::StreamData(Record& record, const std::function<std::size_t(char*, std::size_t)>& fill) {
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  const std::uint64_t start = bytesWritten_;
  std::unique_ptr<Deflater> deflater(record.method == kMethodDeflate ? new Deflater : nullptr);
  char* block = Buffer();
  for (;;) {
    const std::size_t got = fill(block, kBlock);
    crc = static_cast<std::uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(block), got));
    record.size += got;
    if (deflater)
      deflater->Run(block, got, got == 0, [&](const void* data, std::size_t size) { Emit(data, size); });
    else
      Emit(block, got);
    if (got == 0) break;
  }
  record.crc = crc;
  record.compressedSize = bytesWritten_ - start;
  if (!record.zip64 && (record.size >= kMax32 || record.compressedSize >= kMax32))
    throw ToolFailure(kExitBadOutput, shownName_ + ": " + record.name + ": grew beyond 4 GiB while being archived");
}

void ZipWriter::AddMemory(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                          std::uint16_t method, const std::string& label) {
  Record& record = Begin(name, mtime, mode, method, 0, data.size(), label);
  StreamData(record, [&](char* into, std::size_t room) {
    const std::size_t n = std::min(room, data.size());
    std::memcpy(into, data.data(), n);
    data.remove_prefix(n);
    return n;
  });
  Finish(record);
}

void ZipWriter::AddFile(const SourceFile& file, const std::string& label) {
  // A link's data is its target text, stored as it is.
  if (!file.linkTarget.empty())
    return AddMemory(file.entryName, file.linkTarget, file.mtime, kTypeSymlink | 0777, kMethodStore, label);
  const std::uint16_t method = method_ == ZipMethod::Deflate ? kMethodDeflate : kMethodStore;
  std::FILE* input = win::fopen(file.windowsPath.c_str(), "rb");
  if (!input) throw ToolFailure(kExitBadInput, file.windowsPath + ": cannot be read: " + win::LastErrorText());
  std::unique_ptr<std::FILE, decltype(&std::fclose)> closer(input, &std::fclose);
  std::setvbuf(input, nullptr, _IONBF, 0);  // large reads go straight into our block
  Record& record = Begin(file.entryName, file.mtime, kTypeRegular | file.mode, method, 0, file.size, label);
  StreamData(record, [&](char* into, std::size_t room) {
    const std::size_t got = std::fread(into, 1, room, input);
    if (got == 0 && std::ferror(input)) throw ToolFailure(kExitBadInput, file.windowsPath + ": read error");
    return got;
  });
  if (record.size != file.size) throw ToolFailure(kExitBadInput, file.windowsPath + ": changed while being archived");
  Finish(record);
}

void ZipWriter::AddEntry(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                         bool directory, const std::string& label) {
  const std::uint16_t method = directory || method_ == ZipMethod::Store ? kMethodStore : kMethodDeflate;
  AddMemory(name, data, mtime, directory ? kTypeDirectory | 0755 : kTypeRegular | (mode & 0777), method, label);
}

void ZipWriter::AddCopied(const zip::ZipSource& source, const zip::ZipEntry& entry, const std::string& label) {
  if (entry.flags & 1) throw ToolFailure(kExitBadInput, shownName_ + ": " + entry.name + ": encrypted entry");
  std::uint64_t offset = 0;
  try {
    offset = DataOffset(source, entry);
  } catch (const ZipError& error) {
    throw ToolFailure(kExitBadInput, shownName_ + ": " + error.what());
  }
  Record& record = Begin(entry.name, entry.mtime, entry.mode, entry.method, entry.flags, entry.size, label);
  record.crc = entry.crc;
  record.size = entry.size;
  record.compressedSize = entry.compressedSize;
  char* block = Buffer();
  for (std::uint64_t left = entry.compressedSize; left > 0;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
    if (!source.ReadAt(offset, block, want))
      throw ToolFailure(kExitBadInput, shownName_ + ": damaged archive: cannot read " + entry.name);
    Emit(block, want);
    offset += want;
    left -= want;
  }
  Finish(record);
}

void ZipWriter::Close() {
  const std::uint64_t directoryOffset = bytesWritten_;
  for (const Record& record : records_) {
    const bool wideOffset = record.localOffset >= kMax32;
    const bool wide = record.zip64 || wideOffset;
    std::string extra;
    PutUnixExtras(extra, record.mtime);
    if (wide) {
      std::string fields;
      if (record.zip64) {
        PutLe(fields, record.size, 8);
        PutLe(fields, record.compressedSize, 8);
      }
      if (wideOffset) PutLe(fields, record.localOffset, 8);
      PutLe(extra, kExtraZip64, 2);
      PutLe(extra, fields.size(), 2);
      extra += fields;
    }
    const DosTime dos = ToDosTime(record.mtime);
    std::string header;
    PutLe(header, kCentralSignature, 4);
    PutLe(header, (3u << 8) | (wide ? 45 : 20), 2);  // made on Unix: the mode is in the external attributes
    PutLe(header, wide ? 45 : 20, 2);
    PutLe(header, record.flags, 2);
    PutLe(header, record.method, 2);
    PutLe(header, dos.time, 2);
    PutLe(header, dos.date, 2);
    PutLe(header, record.crc, 4);
    PutLe(header, record.zip64 ? kMax32 : record.compressedSize, 4);
    PutLe(header, record.zip64 ? kMax32 : record.size, 4);
    PutLe(header, record.name.size(), 2);
    PutLe(header, extra.size(), 2);
    PutLe(header, record.comment.size(), 2);
    PutLe(header, 0, 2);  // disk
    PutLe(header, 0, 2);  // internal attributes
    const bool directory = (record.mode & kTypeMask) == kTypeDirectory;
    PutLe(header, (static_cast<std::uint32_t>(record.mode) << 16) | (directory ? 0x10 : 0), 4);
    PutLe(header, wideOffset ? kMax32 : record.localOffset, 4);
    header += record.name;
    header += extra;
    header += record.comment;
    Emit(header.data(), header.size());
  }
  const std::uint64_t directorySize = bytesWritten_ - directoryOffset;
  const std::uint64_t count = records_.size();
  std::string end;
  if (count >= kMax16 || directoryOffset >= kMax32 || directorySize >= kMax32) {
    const std::uint64_t zip64End = bytesWritten_;
    PutLe(end, kZip64EndSignature, 4);
    PutLe(end, kZip64EndSize - 12, 8);
    PutLe(end, (3u << 8) | 45, 2);
    PutLe(end, 45, 2);
    PutLe(end, 0, 4);
    PutLe(end, 0, 4);
    PutLe(end, count, 8);
    PutLe(end, count, 8);
    PutLe(end, directorySize, 8);
    PutLe(end, directoryOffset, 8);
    PutLe(end, kZip64LocatorSignature, 4);
    PutLe(end, 0, 4);
    PutLe(end, zip64End, 8);
    PutLe(end, 1, 4);
  }
  PutLe(end, kEndSignature, 4);
  PutLe(end, 0, 4);  // disk numbers
  PutLe(end, count >= kMax16 ? kMax16 : count, 2);
  PutLe(end, count >= kMax16 ? kMax16 : count, 2);
  PutLe(end, directorySize >= kMax32 ? kMax32 : directorySize, 4);
  PutLe(end, directoryOffset >= kMax32 ? kMax32 : directoryOffset, 4);
  PutLe(end, 0, 2);  // no archive comment
  Emit(end.data(), end.size());
}

}  // namespace kc::tools
