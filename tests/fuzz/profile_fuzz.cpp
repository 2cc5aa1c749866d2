// Feeds arbitrary bytes as an INI file to the profile reads and writes.
//
// Input layout: byte 0 steers the choices (which section and key to write,
// whether to go through a real file); the rest is the INI text. Names for the
// writes are taken from the text itself, so replacing and deleting existing
// keys and sections gets exercised, not only appending.
//
// Invariants checked: nothing reads or writes outside a buffer (ASan); lists
// and values keep the Windows capacity rules; a written key reads back; keys
// the write did not aim at keep their values; an unchanged write reports "no
// change"; deleting a key or section makes it go away or uncovers the next one;
// a file write keeps the file's byte order mark, and a UTF-16 file that no
// narrow string can hold is never rewritten.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/ini_text.h"
#include "platform/profile.h"
#include "platform/text_encoding.h"

namespace {

using win::ini::NameListWriter;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// Splits a NUL-separated list as the callers do.
std::vector<std::string> SplitList(const char* buffer, std::uint32_t count) {
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < count && buffer[i] != '\0') {
    std::size_t n = std::strlen(buffer + i);
    names.emplace_back(buffer + i, n);
    i += n + 1;
  }
  return names;
}

// Lists through an exactly sized heap buffer, so any overrun trips ASan, and
// checks the terminators and the count.
std::vector<std::string> List(std::string_view text, const char* section, std::uint32_t size) {
  std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
  NameListWriter list(buffer.get(), size);
  if (section) {
    win::ini::ListKeys(text, section, list);
  } else {
    win::ini::ListSections(text, list);
  }
  std::uint32_t count = list.Finish();
  if (size == 0) return {};
  if (size < 2) {
    Check(count == 0 && buffer[0] == '\0', "tiny list buffer");
    return {};
  }
  Check(count <= size - 2, "list count beyond size-2");
  Check(buffer[count] == '\0' && (count == 0 || buffer[count - 1] == '\0' || count == size - 2), "list terminators");
  return SplitList(buffer.get(), count);
}

std::optional<std::string> Value(std::string_view text, std::string_view section, std::string_view key) {
  std::optional<std::string_view> raw = win::ini::FindRawValue(text, section, key);
  if (!raw) return std::nullopt;
  return std::string(win::ini::ReadableValue(*raw));
}

struct Pair {
  std::string section, key;
  std::optional<std::string> value;
};

std::vector<Pair> Sample(std::string_view text, const std::vector<std::string>& sections) {
  std::vector<Pair> pairs;
  std::vector<std::string> names = sections;
  names.insert(names.begin(), "");
  for (std::size_t s = 0; s < names.size() && s < 8; ++s) {
    std::vector<std::string> keys = List(text, names[s].c_str(), static_cast<std::uint32_t>(text.size() + 2));
    for (std::size_t k = 0; k < keys.size() && k < 8; ++k) {
      pairs.push_back({names[s], keys[k], Value(text, names[s], keys[k])});
    }
  }
  return pairs;
}

bool SameName(std::string_view a, std::string_view b) {
  return win::ini::NamesEqual(win::ini::TrimBlanks(a), win::ini::TrimBlanks(b));
}

void CheckOthersKept(const std::vector<Pair>& before, std::string_view after, const std::string& section,
                     const std::string* key) {
  for (const Pair& p : before) {
    if (SameName(p.section, section) && (key == nullptr || SameName(p.key, *key))) continue;
    Check(Value(after, p.section, p.key) == p.value, "a key the write did not aim at changed");
  }
}

void ExerciseWrites(std::string_view text, const std::string& section, const std::string& key,
                    const std::string& value) {
  if (!win::ini::TextProblem(section.c_str(), key.c_str(), value.c_str()).empty()) return;
  std::vector<std::string> sections = List(text, nullptr, static_cast<std::uint32_t>(text.size() + 2));
  std::vector<Pair> before = Sample(text, sections);

  std::optional<std::string> set = win::ini::SetValue(text, section, key, value);
  std::string_view expected = win::ini::Unquote(win::ini::TrimBlanks(value));
  std::string_view written = set ? std::string_view(*set) : text;
  Check(Value(written, section, key) == std::optional<std::string>(expected), "written key does not read back");
  Check(!win::ini::SetValue(written, section, key, value), "rewriting the same value changed the text");
  CheckOthersKept(before, written, section, &key);

  std::optional<std::string_view> old = win::ini::FindRawValue(text, section, key);
  std::optional<std::string> deleted = win::ini::DeleteKey(text, section, key);
  Check(deleted.has_value() == old.has_value(), "key delete changed the text without a key, or not at all");
  if (deleted) CheckOthersKept(before, *deleted, section, &key);

  std::optional<std::string> gone = win::ini::DeleteSection(text, section);
  if (gone) CheckOthersKept(before, *gone, section, nullptr);
}

// The Win32 functions on a real file, for a share of the inputs (file I/O is
// slow): reads at several capacities and one write that must read back.
void ExerciseFile(std::string_view text, const std::string& section, const std::string& key) {
  static const std::string folder = [] {
    char pattern[] = "/tmp/kc-profile-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    std::string path = made ? made : "/tmp";
    win::DriveTable::Set({{"C:", path}});
    return path;
  }();
  std::ofstream(folder + "/f.ini", std::ios::binary | std::ios::trunc).write(text.data(), text.size());
  const char* file = "C:\\f.ini";
  for (win::DWORD size : {0u, 1u, 2u, 3u, 12u, 260u}) {
    std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
    win::DWORD n = win::GetPrivateProfileStringA(section.c_str(), key.c_str(), "dflt", buffer.get(), size, file);
    Check(size == 0 ? n == 0 : (n < size && buffer[n] == '\0'), "value cut");
    n = win::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.get(), size, file);
    Check(size < 2 ? n == 0 : n <= size - 2, "key list cut");
    n = win::GetPrivateProfileStringA(nullptr, nullptr, "", buffer.get(), size, file);
    Check(size < 2 ? n == 0 : n <= size - 2, "section list cut");
  }
  const bool utf16 = text.substr(0, 2) == kc::platform::kUtf16LeBom;
  if (utf16 && !kc::platform::Utf16LeToUtf8(text.substr(2))) {
    // No narrow string holds it: never rewritten.
    Check(win::WritePrivateProfileStringA("s", "k", "v", file) == win::FALSE &&
              win::GetLastError() == win::ERROR_NO_UNICODE_TRANSLATION,
          "undecodable UTF-16 file written");
    std::ifstream in(folder + "/f.ini", std::ios::binary);
    Check(std::string(std::istreambuf_iterator<char>(in), {}) == text, "undecodable UTF-16 file changed");
    return;
  }
  if (win::ProfileTextProblem(section.c_str(), key.c_str(), "v").empty()) {
    Check(win::WritePrivateProfileStringA(section.c_str(), key.c_str(), "v", file) == win::TRUE, "file write");
    std::ifstream in(folder + "/f.ini", std::ios::binary);
    const std::string after(std::istreambuf_iterator<char>(in), {});
    for (std::string_view bom : {kc::platform::kUtf8Bom, kc::platform::kUtf16LeBom}) {
      if (text.substr(0, bom.size()) == bom) Check(after.substr(0, bom.size()) == bom, "byte order mark lost");
    }
    char buffer[4];
    Check(win::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, 4, file) == 1 && buffer[0] == 'v',
          "file write reads back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t steer = data[0];
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Reads at small and large capacities.
  std::vector<std::string> sections;
  for (std::uint32_t cap : {0u, 1u, 2u, 3u, 7u, 64u, 1u << 16}) sections = List(text, nullptr, cap);
  sections = List(text, nullptr, static_cast<std::uint32_t>(text.size() + 2));
  std::string section = sections.empty() ? "s" : sections[steer % sections.size()];
  if (steer & 0x80) section = "";  // the headerless top part
  std::vector<std::string> keys;
  for (std::uint32_t cap : {1u, 2u, 5u, 200u}) keys = List(text, section.c_str(), cap);
  keys = List(text, section.c_str(), static_cast<std::uint32_t>(text.size() + 2));
  for (const std::string& k : keys) Value(text, section, k);
  std::string key = keys.empty() ? "k" : keys[(steer >> 3) % keys.size()];

  // A value from the input's last bytes, line breaks and NULs replaced.
  std::string value(text.substr(text.size() - std::min<std::size_t>(text.size(), 6)));
  for (char& c : value) {
    if (c == '\r' || c == '\n' || c == '\0') c = 'x';
  }

  ExerciseWrites(text, section, key, value);
  ExerciseWrites(text, "s", "k", "v");
  if ((steer & 0x1f) == 0x1f) ExerciseFile(text, section, key);
  return 0;
}
