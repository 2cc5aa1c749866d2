#include "common/zip_format.h"

namespace kc::zip {
namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

DosTime ToDosTime(std::int64_t seconds) {
  const std::int64_t first = DaysFromCivil(1980, 1, 1) * 86400;
  const std::int64_t last = DaysFromCivil(2108, 1, 1) * 86400 - 2;
  if (seconds < first) seconds = first;
  if (seconds > last) seconds = last;
  std::int64_t days = seconds / 86400;
  const std::int64_t rest = seconds % 86400;
  std::int64_t year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  DosTime dos;
  dos.date = static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  dos.time = static_cast<std::uint16_t>(((rest / 3600) << 11) | (((rest / 60) % 60) << 5) | ((rest % 60) / 2));
  return dos;
}

std::int64_t FromDosTime(DosTime dos) {
  const unsigned month = (dos.date >> 5) & 15, day = dos.date & 31;
  if (month < 1 || month > 12 || day < 1) return DaysFromCivil(1980, 1, 1) * 86400;
  return DaysFromCivil(1980 + (dos.date >> 9), month, day) * 86400 + (dos.time >> 11) * 3600 +
         ((dos.time >> 5) & 63) * 60 + (dos.time & 31) * 2;
}

bool NeedsUtf8Flag(std::string_view name) {
  bool ascii = true;
  for (std::size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    ascii = false;
    std::size_t length;
    std::uint32_t code;
    if ((c & 0xE0) == 0xC0)
      length = 2, code = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
      length = 3, code = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
      length = 4, code = c & 0x07;
    else
      return false;
    if (i + length > name.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(name[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    static constexpr std::uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return !ascii;
}

}  // namespace kc::zip
