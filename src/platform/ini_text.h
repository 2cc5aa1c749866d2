// The text layer of the INI profile functions: how Windows INI text is read
// and how a write turns one text into the next. No file access here, so the
// rules can be tested, fuzzed and benchmarked on plain strings.
//
// Reading rules (those of the Windows profile functions):
// - CR, LF and CRLF each end a line. Blanks are spaces and tabs.
// - A line whose first non-blank character is ";" is a comment; "#" is not.
// - A line whose first non-blank character is "[" and that has a "]" later
//   opens a section; its name lies between the "[" and the last "]", blanks
//   around it trimmed. A "[" line without "]" is an ordinary line.
// - Any other line with "=" holds a key: the name before the first "=", the
//   value after it, both trimmed. A line without "=" is no key.
// - Lines before the first section header form the section with the empty
//   name. Of duplicate sections or keys the first one counts.
// - A NUL byte ends the name or value it appears in (the Win32 strings are
//   NUL-terminated).
// - The text is what the file holds after decoding (ini_encoding.h): a byte
//   order mark is taken off before this layer sees the text and put back when
//   the file is written, and UTF-16 text arrives as UTF-8. Here the bytes of a
//   mark would be ordinary characters of the first line.
//
// Writing keeps every line it does not change byte for byte, with its own line
// ending (an LF file keeps its LF lines); the lines it adds end in CRLF. A
// replaced value keeps its line, and the line its text up to the value. A new
// key goes after the last non-blank line of its section, as on Windows, so the
// blank lines that separate sections stay below it. A new section is appended
// as "[s]" CRLF "k=v" CRLF, after a CRLF when the text does not end in a line
// break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win::ini {

std::string_view TrimBlanks(std::string_view s);
// The part before the first NUL byte.
std::string_view CutAtNul(std::string_view s);
// Names compare without regard to ASCII letter case.
bool NamesEqual(std::string_view a, std::string_view b);
// One matching pair of '"' or '\'' around a value is removed on reading.
std::string_view Unquote(std::string_view value);

enum class LineKind : std::uint8_t { kBlank, kComment, kSection, kText };

struct Line {
  std::size_t start = 0;    // first byte of the line
  std::size_t content = 0;  // first non-blank byte
  std::size_t end = 0;      // one past the last byte before the line ending
  std::size_t next = 0;     // first byte of the following line
  LineKind kind = LineKind::kBlank;
  std::string_view sectionName;  // kSection only
};

// Walks the lines of a text in one forward pass, finding line ends with memchr.
class LineReader {
 public:
  explicit LineReader(std::string_view text, std::size_t from = 0);
  bool Next(Line& line);

 private:
  std::size_t FindBreak(std::size_t from);

  std::string_view text_;
  std::size_t pos_;
  std::size_t nextCr_ = 0;
  std::size_t nextLf_ = 0;
  bool primed_ = false;
};

struct KeyLine {
  std::string_view name;       // trimmed, cut at NUL
  std::string_view rawValue;   // trimmed, as stored (quotes and NULs kept)
  std::size_t valueStart = 0;  // offset of rawValue in the text (line end when empty)
};

// Splits a kText line at its first "="; false for a line without one.
bool ParseKey(std::string_view text, const Line& line, KeyLine& key);

// The value read for a stored value: cut at NUL, quotes removed.
std::string_view ReadableValue(std::string_view rawValue);

// The first section named `section` (trimmed; "" names the lines before the
// first header). Calls visit(line) for each line of its body until visit
// returns false. Returns whether the section exists.
template <typename Visit>
bool VisitSection(std::string_view text, std::string_view section, Visit&& visit);

// Lookups. Arguments are the caller's names; they are trimmed here.
std::optional<std::string_view> FindRawValue(std::string_view text, std::string_view section, std::string_view key);

// Fills a caller's buffer with NUL-terminated names and the final NUL, with
// the cut of the Windows profile functions: a list that does not fit, or fits
// exactly, keeps size-2 characters, ends with two NULs and reports size-2.
class NameListWriter {
 public:
  NameListWriter(char* buffer, std::uint32_t size) : buffer_(buffer), size_(size) {}
  void Add(std::string_view name);
  bool Empty() const { return total_ == 0; }
  // Terminates the list; returns the characters stored, final NUL not counted.
  std::uint32_t Finish();

 private:
  char* buffer_;
  std::uint32_t size_;
  std::size_t total_ = 0;  // length of the whole list, final NUL not counted
};

// Adds the names of the keys of `section` (lines with "=" and a non-empty
// name, in file order, duplicates included). False when the section is absent.
bool ListKeys(std::string_view text, std::string_view section, NameListWriter& out);
// Adds the names of every section header with a non-empty name, in file order.
void ListSections(std::string_view text, NameListWriter& out);

// Writes. Each returns the new text, or nullopt when the text stays as it is
// (the value is already there, or the thing to delete is absent).
std::optional<std::string> SetValue(std::string_view text, std::string_view section, std::string_view key,
                                    std::string_view value);
std::optional<std::string> DeleteKey(std::string_view text, std::string_view section, std::string_view key);
std::optional<std::string> DeleteSection(std::string_view text, std::string_view section);

// Why section, key or value would not read back as written, or "" when they
// would. A null key means a section delete, so the value is then not looked at.
std::string TextProblem(const char* section, const char* key, const char* value);

// ---------------------------------------------------------------------------

template <typename Visit>
bool VisitSection(std::string_view text, std::string_view section, Visit&& visit) {
  section = TrimBlanks(section);
  LineReader reader(text);
  Line line;
  bool inside = section.empty();  // the headerless top part is always there
  bool found = inside;
  while (reader.Next(line)) {
    if (line.kind == LineKind::kSection) {
      if (inside) return true;
      if (NamesEqual(line.sectionName, section)) {
        inside = found = true;
      }
      continue;
    }
    if (inside && !visit(line)) return true;
  }
  return found;
}

}  // namespace win::ini
