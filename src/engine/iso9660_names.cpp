#include "engine/iso9660_names.h"

#include <algorithm>
#include <set>

#include "platform/text_encoding.h"

namespace kc::engine::iso {

namespace {

// Name and extension of a level 1 name, split at the last "." (a leading "."
// starts no extension).
std::pair<std::string, std::string> Split(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {name, ""};
  return {name.substr(0, dot), name.substr(dot + 1)};
}

// d-characters only: letters in upper case, digits and "_" for anything else.
std::string DCharacters(const std::string& text, std::size_t most) {
  std::string out;
  for (char c : text) {
    if (out.size() == most) break;
    // A multi-byte UTF-8 character becomes one "_".
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
    if (c >= 'a' && c <= 'z') {
      out += static_cast<char>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      out += c;
    } else {
      out += '_';
    }
  }
  return out;
}

// Name and extension, the version left out, as units of `unitSize` bytes.
std::pair<std::string, std::string> SortParts(const std::string& name, std::size_t unitSize) {
  std::string bare = name;
  if (unitSize == 1) bare = bare.substr(0, bare.rfind(';'));
  for (std::size_t at = bare.size(); at >= unitSize; at -= unitSize) {
    const std::size_t unit = at - unitSize;
    if (bare[unit + unitSize - 1] == '.' && (unitSize == 1 || bare[unit] == '\0')) {
      return {bare.substr(0, unit), bare.substr(unit + unitSize)};
    }
  }
  return {bare, ""};
}

int ComparePadded(const std::string& a, const std::string& b, std::size_t unitSize) {
  const std::size_t length = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < length; ++i) {
    // A blank is "\x20" in a narrow name and "\x00\x20" in UTF-16.
    const auto blank = static_cast<unsigned char>(unitSize == 2 && i % 2 == 0 ? 0x00 : 0x20);
    const auto x = i < a.size() ? static_cast<unsigned char>(a[i]) : blank;
    const auto y = i < b.size() ? static_cast<unsigned char>(b[i]) : blank;
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace

std::optional<std::string> JolietNameProblem(const std::string& utf8Name) {
  if (!platform::IsUtf8(utf8Name)) {
    return "Its name is not UTF-8 text, so it has no name Windows (Joliet) could show; rename the file.";
  }
  if (Utf16BigEndian(utf8Name).size() / 2 > kJolietNameUnits) {
    return "Its name is longer than the 64 characters a disk image's Windows (Joliet) names hold; Windows would "
           "find it under a shortened name.";
  }
  for (char c : utf8Name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("*/:;?\\").find(c) != std::string_view::npos) {
      return "Its name holds a character a disk image's Windows (Joliet) names cannot hold (a control character "
             "or one of * / : ; ? \\); Windows would find it under another name.";
    }
  }
  return std::nullopt;
}

std::string Utf16BigEndian(const std::string& utf8) {
  std::string units = platform::NarrowToUtf16Le(utf8);
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) std::swap(units[i], units[i + 1]);
  return units;
}

std::vector<std::string> PrimaryNames(const std::vector<std::string>& hostNames) {
  constexpr std::size_t kName = 8, kExtension = 3;
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const std::string& host : hostNames) {
    const auto [stem, extension] = Split(host);
    std::string base = DCharacters(stem, kName);
    if (base.empty()) base = "_";
    const std::string tail = "." + DCharacters(extension, kExtension) + ";1";
    std::string name = base + tail;
    for (unsigned number = 0; taken.count(name) != 0; ++number) {
      std::string digits = std::to_string(number);
      if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
      name = base.substr(0, kName - std::min(kName, digits.size())) + digits + tail;
    }
    taken.insert(name);
    names.push_back(name);
  }
  return names;
}

bool RecordNameLess(const std::string& a, const std::string& b, std::size_t unitSize) {
  const auto [aName, aExtension] = SortParts(a, unitSize);
  const auto [bName, bExtension] = SortParts(b, unitSize);
  const int byName = ComparePadded(aName, bName, unitSize);
  if (byName != 0) return byName < 0;
  return ComparePadded(aExtension, bExtension, unitSize) < 0;
}

}  // namespace kc::engine::iso
