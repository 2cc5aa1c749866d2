#include "engine/iso_stamps.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace kc::engine {

namespace {

constexpr std::uint64_t kSector = 2048;
constexpr std::uint64_t kFirstDescriptor = 16;  // sectors 0-15 are the system area
// The metadata of a flat image of some thousand files is well below a
// megabyte; more means the layout is not the expected one.
constexpr std::size_t kMostMetadata = 64u << 20;

std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Civil {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

bool Valid(const Civil& c) {
  return c.month >= 1 && c.month <= 12 && c.day >= 1 && c.day <= 31 && c.hour < 24 && c.minute < 60 && c.second < 62;
}

std::int64_t SecondsOf(const Civil& c) {
  using namespace std::chrono;
  const sys_days date = year{c.year} / month{static_cast<unsigned>(c.month)} / day{static_cast<unsigned>(c.day)};
  return static_cast<std::int64_t>(date.time_since_epoch().count()) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
}

Civil CivilOf(std::int64_t seconds) {
  using namespace std::chrono;
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const year_month_day date{sys_days{std::chrono::days{days}}};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(rest / 3600),
          static_cast<int>(rest % 3600 / 60),
          static_cast<int>(rest % 60)};
}

// Directory records and Rock Ridge times: years since 1900, month, day, hour,
// minute, second, then the offset from UTC in 15-minute steps.
void PutShortTime(unsigned char* p, std::int64_t seconds) {
  const Civil c = CivilOf(seconds);
  p[0] = static_cast<unsigned char>(std::clamp(c.year - 1900, 0, 255));
  p[1] = static_cast<unsigned char>(c.month);
  p[2] = static_cast<unsigned char>(c.day);
  p[3] = static_cast<unsigned char>(c.hour);
  p[4] = static_cast<unsigned char>(c.minute);
  p[5] = static_cast<unsigned char>(c.second);
  p[6] = 0;
}

void ShortTimeToUtc(unsigned char* p) {
  const Civil local{1900 + p[0], p[1], p[2], p[3], p[4], p[5]};
  if (!Valid(local)) return;  // no time recorded (all zero), nothing to move
  PutShortTime(p, SecondsOf(local) - static_cast<signed char>(p[6]) * 15 * 60);
}

// The volume descriptors' form: "YYYYMMDDHHMMSScc" in digits, then the offset.
void PutLongTime(unsigned char* p, std::int64_t seconds) {
  const Civil c = CivilOf(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", std::clamp(c.year, 0, 9999), c.month, c.day, c.hour,
                c.minute, c.second);
  std::memcpy(p, text, 16);
  p[16] = 0;
}

void LongTimeToUtc(unsigned char* p) {
  auto number = [p](int from, int digits) {
    int value = 0;
    for (int i = from; i < from + digits; ++i) value = value * 10 + (p[i] - '0');
    return value;
  };
  for (int i = 0; i < 16; ++i) {
    if (p[i] < '0' || p[i] > '9') return;
  }
  const Civil local{number(0, 4), number(4, 2), number(6, 2), number(8, 2), number(10, 2), number(12, 2)};
  if (!Valid(local)) return;  // "0000..." is no time
  PutLongTime(p, SecondsOf(local) - static_cast<signed char>(p[16]) * 15 * 60);
}

}  // namespace

IsoStampFilter::IsoStampFilter(std::int64_t volumeTime, Sink sink) : volumeTime_(volumeTime), sink_(std::move(sink)) {}

bool IsoStampFilter::Fail(const std::string& why) {
  if (problem_.empty()) problem_ = why;
  return false;
}

bool IsoStampFilter::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (!problem_.empty()) return false;
  if (passing_) return sink_(bytes, size) || Fail("The image could not be written.");
  head_.insert(head_.end(), bytes, bytes + size);
  switch (Mend()) {
    case Progress::kNeedMore:
      return head_.size() <= kMostMetadata || Fail("The image's directories are not where they were expected.");
    case Progress::kFailed:
      return false;
    case Progress::kDone:
      break;
  }
  passing_ = true;
  const bool written = sink_(head_.data(), head_.size());
  head_.clear();
  head_.shrink_to_fit();
  return written || Fail("The image could not be written.");
}

bool IsoStampFilter::Finish() {
  if (!problem_.empty()) return false;
  if (passing_) return true;
  switch (Mend()) {
    case Progress::kNeedMore:
      return Fail("The image ended before its directories did.");
    case Progress::kFailed:
      return false;
    case Progress::kDone:
      break;
  }
  passing_ = true;
  return sink_(head_.data(), head_.size()) || Fail("The image could not be written.");
}

// Every step only sets fixed values or moves a time to UTC, which changes
// nothing the second time: so it simply runs again when more bytes arrived.
IsoStampFilter::Progress IsoStampFilter::Mend() {
  if (terminator_ == 0) {
    const Progress descriptors = MendVolumeDescriptors();
    if (descriptors != Progress::kDone) return descriptors;
  }
  for (const Extent& root : roots_) {
    const Progress directory = MendDirectory(root.offset, root.size);
    if (directory != Progress::kDone) return directory;
  }
  // The writer's own sector of the run's time, version and options.
  const std::uint64_t end = std::min<std::uint64_t>(pathTables_, head_.size());
  for (std::uint64_t at = (terminator_ + 1) * kSector; at + kSector <= end; at += kSector) {
    std::memset(&head_[at], 0, kSector);
  }
  return Progress::kDone;
}

IsoStampFilter::Progress IsoStampFilter::MendVolumeDescriptors() {
  roots_.clear();
  for (std::uint64_t sector = kFirstDescriptor; sector < kFirstDescriptor + 32; ++sector) {
    if (head_.size() < (sector + 1) * kSector) return Progress::kNeedMore;
    unsigned char* descriptor = &head_[sector * kSector];
    if (std::memcmp(descriptor + 1, "CD001", 5) != 0) {
      Fail("The image has no volume descriptor where one belongs.");
      return Progress::kFailed;
    }
    const unsigned type = descriptor[0];
    if (type == 255) {  // the set terminator
      if (roots_.empty() || pathTables_ == 0) break;
      terminator_ = sector;
      return Progress::kDone;
    }
    if (type != 1 && type != 2) continue;  // primary, supplementary (Joliet)
    for (std::size_t field : {813, 830, 864})
      PutLongTime(descriptor + field, volumeTime_);  // creation, modification, effective
    unsigned char* root = descriptor + 156;
    PutShortTime(root + 18, volumeTime_);
    roots_.push_back({Le32(root + 2) * kSector, Le32(root + 10)});
    if (type == 1) pathTables_ = Le32(descriptor + 140) * kSector;
  }
  Fail("The image's volume descriptors are not complete.");
  return Progress::kFailed;
}

IsoStampFilter::Progress IsoStampFilter::MendDirectory(std::uint64_t offset, std::uint64_t size) {
  if (offset + size > head_.size()) return Progress::kNeedMore;
  for (std::uint64_t sector = offset; sector < offset + size; sector += kSector) {
    const std::uint64_t end = std::min(sector + kSector, offset + size);
    for (std::uint64_t at = sector; at < end;) {
      unsigned char* record = &head_[at];
      const unsigned length = record[0];
      if (length == 0) break;  // the rest of the sector is unused
      const unsigned nameLength = record[32];
      if (length < 34 || at + length > end || 33 + nameLength > length) {
        Fail("The image holds a damaged directory record.");
        return Progress::kFailed;
      }
      // "." and ".." of the root: the directory the writer made itself.
      const bool root = nameLength == 1 && (record[33] == 0 || record[33] == 1);
      if (!root && (record[25] & 0x02) != 0) {
        Fail("The image holds a subdirectory; a disk image holds files only.");
        return Progress::kFailed;
      }
      if (root) {
        PutShortTime(record + 18, volumeTime_);
      } else {
        ShortTimeToUtc(record + 18);
      }
      const unsigned systemUse = 33 + nameLength + (nameLength % 2 == 0 ? 1 : 0);
      if (systemUse < length) {
        const Progress entries = MendSystemUse(at + systemUse, length - systemUse, root, 0);
        if (entries != Progress::kDone) return entries;
      }
      at += length;
    }
  }
  return Progress::kDone;
}

// The Rock Ridge entries of a record or of a continuation area it points to.
IsoStampFilter::Progress IsoStampFilter::MendSystemUse(std::uint64_t offset, std::uint64_t size, bool root, int depth) {
  if (depth > 8) {
    Fail("The image's continuation areas chain too far.");
    return Progress::kFailed;
  }
  if (offset + size > head_.size()) return Progress::kNeedMore;
  for (std::uint64_t i = 0; i + 4 <= size;) {
    unsigned char* entry = &head_[offset + i];
    const unsigned length = entry[2];
    if (length < 4 || i + length > size) break;  // padding: no more entries
    const bool named = std::isalpha(entry[0]) && std::isalpha(entry[1]);
    const std::string signature = named ? std::string(reinterpret_cast<char*>(entry), 2) : std::string();
    if (signature == "TF" && length >= 5) {
      const unsigned flags = entry[4];
      const unsigned step = (flags & 0x80) != 0 ? 17 : 7;
      unsigned at = 5;
      for (unsigned bit = 0; bit < 7; ++bit) {
        if ((flags & (1u << bit)) == 0) continue;
        if (at + step > length) break;
        if (root) {
          step == 7 ? PutShortTime(entry + at, volumeTime_) : PutLongTime(entry + at, volumeTime_);
        } else {
          step == 7 ? ShortTimeToUtc(entry + at) : LongTimeToUtc(entry + at);
        }
        at += step;
      }
    } else if (signature == "PX" && root && length >= 36) {
      std::memset(entry + 20, 0, 16);  // owner and group, both byte orders
    } else if (signature == "CE" && length >= 28) {
      const Progress more =
          MendSystemUse(std::uint64_t{Le32(entry + 4)} * kSector + Le32(entry + 12), Le32(entry + 20), root, depth + 1);
      if (more != Progress::kDone) return more;
    } else if (signature == "ST") {
      break;
    }
    i += length;
  }
  return Progress::kDone;
}

}  // namespace kc::engine
