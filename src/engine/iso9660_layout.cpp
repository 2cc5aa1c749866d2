#include "engine/iso9660_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <numeric>

#include "engine/iso9660_names.h"

namespace kc::engine::iso {

namespace {

using Bytes = std::vector<unsigned char>;

// Fixed sectors: 16 system area, then the descriptors and the four path tables
// (ISO 9660 little- and big-endian, Joliet little- and big-endian).
constexpr std::uint32_t kPrimarySector = 16, kJolietSector = 17, kTerminatorSector = 18;
constexpr std::uint32_t kPathTableSectors[] = {19, 20, 21, 22};
constexpr std::uint32_t kFirstDirectorySector = 23;
constexpr std::size_t kPathTableSize = 10;  // the root's entry alone

// A directory record holds at most 255 bytes; a name that does not fit beside
// the other Rock Ridge fields goes to the continuation area.
constexpr std::size_t kLongestRecord = 255;
constexpr std::size_t kLongestNmPart = 250;

constexpr unsigned kRegularFile = 0100000, kDirectory = 0040000;

void Little16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void Big16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 8);
  p[1] = static_cast<unsigned char>(v);
}
void Little32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Big32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * (3 - i)));
}
void Both16(unsigned char* p, std::uint32_t v) {
  Little16(p, v);
  Big16(p + 2, v);
}
void Both32(unsigned char* p, std::uint32_t v) {
  Little32(p, v);
  Big32(p + 4, v);
}

std::tm Utc(std::int64_t seconds) {
  const auto t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (gmtime_r(&t, &tm) == nullptr) tm = std::tm{};
  return tm;
}

// The 7-byte form of directory records and Rock Ridge: years since 1900 (one
// byte: 1900 to 2155), offset from UTC 0.
std::array<unsigned char, 7> RecordTime(std::int64_t seconds) {
  const std::tm tm = Utc(seconds);
  return {static_cast<unsigned char>(std::clamp(tm.tm_year, 0, 255)),
          static_cast<unsigned char>(tm.tm_mon + 1),
          static_cast<unsigned char>(tm.tm_mday),
          static_cast<unsigned char>(tm.tm_hour),
          static_cast<unsigned char>(tm.tm_min),
          static_cast<unsigned char>(tm.tm_sec),
          0};
}

// The 17-byte form of the volume descriptors: "YYYYMMDDHHMMSS" and hundredths
// as digits, offset from UTC 0.
void VolumeTime(unsigned char* p, std::int64_t seconds) {
  const std::tm tm = Utc(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", std::clamp(tm.tm_year + 1900, 1, 9999), tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::copy_n(text, 16, p);
  p[16] = 0;
}

// A text field padded with blanks, in bytes or in UTF-16 big-endian units.
void Field(unsigned char* p, std::size_t size, const std::string& text, bool utf16) {
  const std::string bytes = utf16 ? Utf16BigEndian(text) : text;
  for (std::size_t i = 0; i < size; ++i) {
    if (i < bytes.size()) {
      p[i] = static_cast<unsigned char>(bytes[i]);
    } else {
      p[i] = utf16 && i % 2 == 0 ? 0x00 : 0x20;
    }
  }
}

void Append(Bytes& to, const std::string& text) {
  to.insert(to.end(), text.begin(), text.end());
}

// System use entries (SUSP and Rock Ridge).
Bytes Entry(const char* signature, std::size_t bodySize) {
  Bytes entry(4 + bodySize, 0);
  entry[0] = static_cast<unsigned char>(signature[0]);
  entry[1] = static_cast<unsigned char>(signature[1]);
  entry[2] = static_cast<unsigned char>(entry.size());
  entry[3] = 1;
  return entry;
}

Bytes PosixAttributes(unsigned mode, std::uint32_t links, std::uint32_t serial) {
  Bytes px = Entry("PX", 40);
  Both32(&px[4], mode);
  Both32(&px[12], links);
  // Owner and group 0 (bytes 20 to 35 stay zero).
  Both32(&px[36], serial);
  return px;
}

Bytes Times(std::int64_t seconds) {
  Bytes tf = Entry("TF", 22);
  tf[4] = 0x0E;  // modification, access, attribute change
  const auto time = RecordTime(seconds);
  for (int i = 0; i < 3; ++i) std::copy(time.begin(), time.end(), tf.begin() + 5 + 7 * i);
  return tf;
}

Bytes RockRidgeFlags(unsigned char flags) {
  Bytes rr = Entry("RR", 1);
  rr[4] = flags;
  return rr;
}

Bytes Continuation(std::uint32_t sector, std::uint32_t offset, std::uint32_t length) {
  Bytes ce = Entry("CE", 24);
  Both32(&ce[4], sector);
  Both32(&ce[12], offset);
  Both32(&ce[20], length);
  return ce;
}

// The alternate name, in parts of at most 250 bytes, all but the last marked
// as continued.
Bytes AlternateName(const std::string& name) {
  Bytes all;
  for (std::size_t at = 0; at < name.size() || at == 0; at += kLongestNmPart) {
    const std::string part = name.substr(at, kLongestNmPart);
    Bytes nm = Entry("NM", 1 + part.size());
    nm[4] = at + kLongestNmPart < name.size() ? 0x01 : 0x00;
    std::copy(part.begin(), part.end(), nm.begin() + 5);
    all.insert(all.end(), nm.begin(), nm.end());
  }
  return all;
}

Bytes ExtensionReference() {
  const std::string id = "RRIP_1991A";
  const std::string description =
      "THE ROCK RIDGE INTERCHANGE PROTOCOL PROVIDES SUPPORT FOR POSIX FILE SYSTEM SEMANTICS";
  // Readers go by the identifier; the source is free text.
  const std::string source = "WRITTEN BY KIT COMPOSER";
  Bytes er = Entry("ER", 4);
  er[4] = static_cast<unsigned char>(id.size());
  er[5] = static_cast<unsigned char>(description.size());
  er[6] = static_cast<unsigned char>(source.size());
  er[7] = 1;
  Append(er, id);
  Append(er, description);
  Append(er, source);
  er[2] = static_cast<unsigned char>(er.size());
  return er;
}

struct Record {
  std::string identifier;
  std::uint32_t sector = 0;
  std::uint64_t size = 0;
  std::int64_t time = 0;
  bool directory = false;
  Bytes systemUse;
};

// Where a record's system use starts: after the identifier, padded to an even
// length.
std::size_t SystemUseOffset(const std::string& identifier) {
  return 33 + identifier.size() + (identifier.size() % 2 == 0 ? 1 : 0);
}

std::size_t RecordLength(const std::string& identifier, std::size_t systemUse) {
  const std::size_t length = SystemUseOffset(identifier) + systemUse;
  return length + length % 2;
}

Bytes EncodeRecord(const Record& record) {
  Bytes bytes(RecordLength(record.identifier, record.systemUse.size()), 0);
  bytes[0] = static_cast<unsigned char>(bytes.size());
  Both32(&bytes[2], record.sector);
  Both32(&bytes[10], static_cast<std::uint32_t>(record.size));
  const auto time = RecordTime(record.time);
  std::copy(time.begin(), time.end(), bytes.begin() + 18);
  bytes[25] = record.directory ? 0x02 : 0x00;
  Both16(&bytes[28], 1);  // volume sequence number
  bytes[32] = static_cast<unsigned char>(record.identifier.size());
  std::copy(record.identifier.begin(), record.identifier.end(), bytes.begin() + 33);
  std::copy(record.systemUse.begin(), record.systemUse.end(),
            bytes.begin() + static_cast<long>(SystemUseOffset(record.identifier)));
  return bytes;
}

// A directory's records: none crosses a sector boundary; the rest of a
// sector a record does not fit in stays zero.
Bytes DirectoryExtent(const std::vector<Record>& records) {
  Bytes extent;
  for (const Record& record : records) {
    const Bytes bytes = EncodeRecord(record);
    const std::size_t room = kSectorSize - extent.size() % kSectorSize;
    if (bytes.size() > room) extent.resize(extent.size() + room, 0);
    extent.insert(extent.end(), bytes.begin(), bytes.end());
  }
  extent.resize((extent.size() + kSectorSize - 1) / kSectorSize * kSectorSize, 0);
  return extent;
}

// Pieces of the continuation area, each kept within one sector as readers
// expect.
struct ContinuationArea {
  Bytes bytes;
  // Where the next piece goes: its sector within the area and its offset.
  std::pair<std::uint32_t, std::uint32_t> Place(const Bytes& piece) {
    const std::size_t room = kSectorSize - bytes.size() % kSectorSize;
    if (piece.size() > room && bytes.size() % kSectorSize != 0) bytes.resize(bytes.size() + room, 0);
    const auto at = std::make_pair(static_cast<std::uint32_t>(bytes.size() / kSectorSize),
                                   static_cast<std::uint32_t>(bytes.size() % kSectorSize));
    bytes.insert(bytes.end(), piece.begin(), piece.end());
    return at;
  }
};

struct Positions {
  std::uint32_t isoRoot = kFirstDirectorySector;
  std::uint32_t isoRootSectors = 0;
  std::uint32_t continuation = 0;
  std::uint32_t jolietRoot = 0;
  std::uint32_t jolietRootSectors = 0;
  std::vector<std::uint32_t> fileSectors;
};

struct Trees {
  Bytes iso, continuation, joliet;
};

unsigned Mode(bool executable) {
  return kRegularFile | (executable ? 0555u : 0444u);
}

// The two root directories and the continuation area for the given
// positions; their sizes do not depend on the positions.
Trees BuildTrees(const std::vector<LayoutFile>& files, const std::vector<std::string>& primary, std::int64_t volumeTime,
                 const Positions& at) {
  Trees trees;
  ContinuationArea area;
  const std::uint32_t rootSerial = 1;
  const Bytes rootAttributes = PosixAttributes(kDirectory | 0555, 2, rootSerial);
  const Bytes rootTimes = Times(volumeTime);

  const Bytes er = ExtensionReference();
  const auto [erSector, erOffset] = area.Place(er);
  Record dot{std::string(1, '\0'), at.isoRoot, std::uint64_t{at.isoRootSectors} * kSectorSize, volumeTime, true, {}};
  dot.systemUse = {'S', 'P', 7, 1, 0xBE, 0xEF, 0};
  for (const Bytes& part :
       {RockRidgeFlags(0x81), rootAttributes, rootTimes,
        Continuation(at.continuation + erSector, erOffset, static_cast<std::uint32_t>(er.size()))}) {
    dot.systemUse.insert(dot.systemUse.end(), part.begin(), part.end());
  }
  Record dotDot = dot;
  dotDot.identifier = std::string(1, '\1');
  dotDot.systemUse.clear();
  for (const Bytes& part : {RockRidgeFlags(0x81), rootAttributes, rootTimes}) {
    dotDot.systemUse.insert(dotDot.systemUse.end(), part.begin(), part.end());
  }

  std::vector<std::size_t> order(files.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::vector<Record> records{dot, dotDot};
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return RecordNameLess(primary[a], primary[b], 1); });
  for (std::size_t i : order) {
    const LayoutFile& file = files[i];
    Record record{primary[i], at.fileSectors[i], file.size, file.mtime, false, {}};
    Bytes& use = record.systemUse;
    for (const Bytes& part : {RockRidgeFlags(0x89),
                              PosixAttributes(Mode(file.executable), 1, rootSerial + 1 + static_cast<std::uint32_t>(i)),
                              Times(file.mtime)}) {
      use.insert(use.end(), part.begin(), part.end());
    }
    const Bytes name = AlternateName(file.name);
    if (RecordLength(record.identifier, use.size() + name.size()) <= kLongestRecord) {
      use.insert(use.end(), name.begin(), name.end());
    } else {
      const auto [sector, offset] = area.Place(name);
      const Bytes ce = Continuation(at.continuation + sector, offset, static_cast<std::uint32_t>(name.size()));
      use.insert(use.end(), ce.begin(), ce.end());
    }
    records.push_back(std::move(record));
  }
  trees.iso = DirectoryExtent(records);
  trees.continuation = std::move(area.bytes);
  trees.continuation.resize((trees.continuation.size() + kSectorSize - 1) / kSectorSize * kSectorSize, 0);

  std::vector<std::string> joliet;
  for (const LayoutFile& file : files) joliet.push_back(Utf16BigEndian(file.name));
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return RecordNameLess(joliet[a], joliet[b], 2); });
  records = {
      {std::string(1, '\0'), at.jolietRoot, std::uint64_t{at.jolietRootSectors} * kSectorSize, volumeTime, true, {}},
      {std::string(1, '\1'), at.jolietRoot, std::uint64_t{at.jolietRootSectors} * kSectorSize, volumeTime, true, {}}};
  for (std::size_t i : order) {
    records.push_back({joliet[i], at.fileSectors[i], files[i].size, files[i].mtime, false, {}});
  }
  trees.joliet = DirectoryExtent(records);
  return trees;
}

void PathTable(unsigned char* p, std::uint32_t rootSector, bool bigEndian) {
  p[0] = 1;  // the root's identifier: one byte
  (bigEndian ? Big32 : Little32)(p + 2, rootSector);
  (bigEndian ? Big16 : Little16)(p + 6, 1);  // its parent is itself
}

void VolumeDescriptor(unsigned char* p, bool joliet, const std::string& volumeName, std::int64_t volumeTime,
                      std::uint64_t imageSectors, std::uint32_t rootSector, std::uint32_t rootSectors,
                      const std::uint32_t* pathTables) {
  p[0] = joliet ? 2 : 1;
  std::copy_n("CD001", 5, p + 1);
  p[6] = 1;
  Field(p + 8, 32, "LINUX", joliet);
  Field(p + 40, 32, volumeName, joliet);
  Both32(p + 80, static_cast<std::uint32_t>(imageSectors));
  if (joliet) std::copy_n("%/E", 3, p + 88);  // UCS-2 level 3
  Both16(p + 120, 1);                         // volume set size
  Both16(p + 124, 1);                         // volume sequence number
  Both16(p + 128, kSectorSize);
  Both32(p + 132, kPathTableSize);
  Little32(p + 140, pathTables[0]);
  Big32(p + 148, pathTables[1]);
  const Bytes root =
      EncodeRecord({std::string(1, '\0'), rootSector, std::uint64_t{rootSectors} * kSectorSize, volumeTime, true, {}});
  std::copy(root.begin(), root.end(), p + 156);
  Field(p + 190, 128, "", joliet);  // volume set
  Field(p + 318, 128, "", joliet);  // publisher
  Field(p + 446, 128, "", joliet);  // data preparer
  Field(p + 574, 128, "KIT COMPOSER", joliet);
  Field(p + 702, 37 * 3, "", joliet);  // copyright, abstract and bibliographic files
  VolumeTime(p + 813, volumeTime);     // created
  VolumeTime(p + 830, volumeTime);     // modified
  std::fill_n(p + 847, 16, '0');       // expires: never
  VolumeTime(p + 864, volumeTime);     // effective
  p[881] = 1;                          // file structure version
}

}  // namespace

Layout LayOut(const std::vector<LayoutFile>& files, const std::string& volumeName, std::int64_t volumeTime) {
  std::vector<std::string> names;
  for (const LayoutFile& file : files) names.push_back(file.name);
  const std::vector<std::string> primary = PrimaryNames(names);

  Positions at;
  at.fileSectors.assign(files.size(), 0);
  const Trees measured = BuildTrees(files, primary, volumeTime, at);
  at.isoRootSectors = static_cast<std::uint32_t>(measured.iso.size() / kSectorSize);
  at.continuation = at.isoRoot + at.isoRootSectors;
  at.jolietRoot = at.continuation + static_cast<std::uint32_t>(measured.continuation.size() / kSectorSize);
  at.jolietRootSectors = static_cast<std::uint32_t>(measured.joliet.size() / kSectorSize);

  Layout layout;
  std::uint64_t next = at.jolietRoot + at.jolietRootSectors;
  const std::uint64_t firstData = next;
  for (std::size_t i = 0; i < files.size(); ++i) {
    at.fileSectors[i] = static_cast<std::uint32_t>(next);
    layout.dataOffset.push_back(next * kSectorSize);
    next += (files[i].size + kSectorSize - 1) / kSectorSize;
  }
  layout.imageSize = next * kSectorSize;

  const Trees trees = BuildTrees(files, primary, volumeTime, at);
  layout.head.assign(firstData * kSectorSize, 0);
  unsigned char* head = layout.head.data();
  VolumeDescriptor(head + kPrimarySector * kSectorSize, false, volumeName, volumeTime, next, at.isoRoot,
                   at.isoRootSectors, &kPathTableSectors[0]);
  VolumeDescriptor(head + kJolietSector * kSectorSize, true, volumeName, volumeTime, next, at.jolietRoot,
                   at.jolietRootSectors, &kPathTableSectors[2]);
  unsigned char* terminator = head + kTerminatorSector * kSectorSize;
  terminator[0] = 255;
  std::copy_n("CD001", 5, terminator + 1);
  terminator[6] = 1;
  for (int i = 0; i < 4; ++i) {
    PathTable(head + kPathTableSectors[i] * kSectorSize, i < 2 ? at.isoRoot : at.jolietRoot, i % 2 == 1);
  }
  std::copy(trees.iso.begin(), trees.iso.end(), head + std::size_t{at.isoRoot} * kSectorSize);
  std::copy(trees.continuation.begin(), trees.continuation.end(), head + std::size_t{at.continuation} * kSectorSize);
  std::copy(trees.joliet.begin(), trees.joliet.end(), head + std::size_t{at.jolietRoot} * kSectorSize);
  return layout;
}

}  // namespace kc::engine::iso
