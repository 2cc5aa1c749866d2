#include "platform/ini_text.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "platform/names.h"

namespace win::ini {

using kc::platform::IsBlank;

namespace {

constexpr std::string_view kCrLf = "\r\n";

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// The text with [from, to) replaced by the pieces given, built in one allocation.
std::string Splice(std::string_view text, std::size_t from, std::size_t to,
                   std::initializer_list<std::string_view> pieces = {}) {
  std::size_t added = 0;
  for (std::string_view p : pieces) added += p.size();
  std::string out;
  out.reserve(text.size() - (to - from) + added);
  out.append(text.substr(0, from));
  for (std::string_view p : pieces) out.append(p);
  out.append(text.substr(to));
  return out;
}

// Where a section lies and what a write needs to know about it, gathered in
// one pass over the text.
struct SectionScan {
  bool found = false;
  std::size_t start = 0;          // header line (0 for the headerless part)
  std::size_t end = 0;            // start of the next header, or the text's end
  std::size_t appendAt = 0;       // just after the last non-blank line of the section
  bool appendNeedsBreak = false;  // that line has no line ending (end of text)
  bool keyFound = false;
  Line keyLine;
  KeyLine key;
};

// Scans for the first section named `section` and, when `keyName` is given,
// the first key of that name in it. Stops at the end of that section.
SectionScan ScanSection(std::string_view text, std::string_view section, std::string_view keyName, bool wantKey) {
  SectionScan scan;
  LineReader reader(text);
  Line line;
  bool inside = section.empty();
  if (inside) scan.found = true;
  while (reader.Next(line)) {
    if (line.kind == LineKind::kSection) {
      if (inside) {
        scan.end = line.start;
        return scan;
      }
      if (NamesEqual(line.sectionName, section)) {
        inside = scan.found = true;
        scan.start = line.start;
        scan.appendAt = line.next;
        scan.appendNeedsBreak = line.next == line.end;
      }
      continue;
    }
    if (!inside) continue;
    if (line.kind != LineKind::kBlank) {
      scan.appendAt = line.next;
      scan.appendNeedsBreak = line.next == line.end;
    }
    if (wantKey && !scan.keyFound && line.kind == LineKind::kText) {
      KeyLine key;
      if (ParseKey(text, line, key) && NamesEqual(key.name, keyName)) {
        scan.keyFound = true;
        scan.keyLine = line;
        scan.key = key;
      }
    }
  }
  scan.end = text.size();
  return scan;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string_view CutAtNul(std::string_view s) {
  const void* nul = std::memchr(s.data(), '\0', s.size());
  return nul ? s.substr(0, static_cast<const char*>(nul) - s.data()) : s;
}

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string_view ReadableValue(std::string_view rawValue) {
  return Unquote(TrimBlanks(CutAtNul(rawValue)));
}

LineReader::LineReader(std::string_view text, std::size_t from) : text_(text), pos_(from) {}

std::size_t LineReader::FindBreak(std::size_t from) {
  auto find = [this](char c, std::size_t begin, std::size_t end) {
    const void* hit = std::memchr(text_.data() + begin, c, end - begin);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : end;
  };
  // The next LF is remembered, and a CR is only looked for before it, so an
  // LF or CRLF file costs one scan of each line and a CR-only file one scan
  // for LF in all.
  if (!primed_ || nextLf_ < from) nextLf_ = find('\n', from, text_.size());
  if (!primed_ || nextCr_ < from) nextCr_ = find('\r', from, nextLf_);
  primed_ = true;
  return std::min(nextCr_, nextLf_);
}

bool LineReader::Next(Line& line) {
  const std::size_t size = text_.size();
  if (pos_ >= size) return false;
  line.start = pos_;
  line.end = FindBreak(pos_);
  line.next = line.end;
  if (line.end < size) {
    line.next = line.end + 1;
    if (text_[line.end] == '\r' && line.next < size && text_[line.next] == '\n') ++line.next;
  }
  pos_ = line.next;

  std::size_t p = line.start;
  while (p < line.end && IsBlank(text_[p])) ++p;
  line.content = p;
  line.sectionName = {};
  if (p == line.end) {
    line.kind = LineKind::kBlank;
  } else if (text_[p] == ';') {
    line.kind = LineKind::kComment;
  } else if (text_[p] == '[') {
    std::string_view rest = text_.substr(p + 1, line.end - p - 1);
    std::size_t close = rest.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.sectionName = TrimBlanks(CutAtNul(rest.substr(0, close)));
    } else {
      line.kind = LineKind::kText;
    }
  } else {
    line.kind = LineKind::kText;
  }
  return true;
}

bool ParseKey(std::string_view text, const Line& line, KeyLine& key) {
  std::string_view content = text.substr(line.content, line.end - line.content);
  std::size_t eq = content.find('=');
  if (eq == std::string_view::npos) return false;
  key.name = TrimBlanks(CutAtNul(content.substr(0, eq)));
  std::string_view after = content.substr(eq + 1);
  std::size_t lead = 0;
  while (lead < after.size() && IsBlank(after[lead])) ++lead;
  key.rawValue = TrimBlanks(after.substr(lead));
  key.valueStart = line.content + eq + 1 + lead;
  return true;
}

std::optional<std::string_view> FindRawValue(std::string_view text, std::string_view section, std::string_view key) {
  key = TrimBlanks(key);
  if (key.empty()) return std::nullopt;
  std::optional<std::string_view> found;
  VisitSection(text, section, [&](const Line& line) {
    KeyLine k;
    if (line.kind == LineKind::kText && ParseKey(text, line, k) && NamesEqual(k.name, key)) {
      found = k.rawValue;
      return false;
    }
    return true;
  });
  return found;
}

void NameListWriter::Add(std::string_view name) {
  // Copy what still fits; Finish() settles the cut once the total is known.
  if (total_ < size_) {
    std::size_t room = size_ - total_;
    std::size_t n = std::min(room, name.size());
    std::memcpy(buffer_ + total_, name.data(), n);
    if (n < room) buffer_[total_ + n] = '\0';
  }
  total_ += name.size() + 1;
}

std::uint32_t NameListWriter::Finish() {
  if (size_ == 0) return 0;
  if (size_ < 2) {
    buffer_[0] = '\0';
    return 0;
  }
  if (total_ + 2 > size_) {  // does not fit, or fits exactly: cut
    buffer_[size_ - 2] = '\0';
    buffer_[size_ - 1] = '\0';
    return size_ - 2;
  }
  if (total_ == 0) buffer_[1] = '\0';
  buffer_[total_] = '\0';
  return static_cast<std::uint32_t>(total_);
}

bool ListKeys(std::string_view text, std::string_view section, NameListWriter& out) {
  return VisitSection(text, section, [&](const Line& line) {
    KeyLine k;
    if (line.kind == LineKind::kText && ParseKey(text, line, k) && !k.name.empty()) out.Add(k.name);
    return true;
  });
}

void ListSections(std::string_view text, NameListWriter& out) {
  LineReader reader(text);
  Line line;
  while (reader.Next(line)) {
    if (line.kind == LineKind::kSection && !line.sectionName.empty()) out.Add(line.sectionName);
  }
}

std::optional<std::string> SetValue(std::string_view text, std::string_view section, std::string_view key,
                                    std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  value = TrimBlanks(value);
  SectionScan scan = ScanSection(text, section, key, true);
  if (scan.keyFound) {
    // The line keeps its place, its spelling up to the value and its line ending.
    if (scan.key.rawValue == value) return std::nullopt;
    return Splice(text, scan.key.valueStart, scan.keyLine.end, {value});
  }
  if (scan.found) {
    // After the last non-blank line of the section, as Windows does: blank
    // lines that separate it from the next section stay below the new key.
    return Splice(text, scan.appendAt, scan.appendAt, {scan.appendNeedsBreak ? kCrLf : "", key, "=", value, kCrLf});
  }
  std::string_view lead = (!text.empty() && text.back() != '\n' && text.back() != '\r') ? kCrLf : "";
  return Splice(text, text.size(), text.size(), {lead, "[", section, "]", kCrLf, key, "=", value, kCrLf});
}

std::optional<std::string> DeleteKey(std::string_view text, std::string_view section, std::string_view key) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (key.empty()) return std::nullopt;
  SectionScan scan = ScanSection(text, section, key, true);
  if (!scan.keyFound) return std::nullopt;
  return Splice(text, scan.keyLine.start, scan.keyLine.next);
}

std::optional<std::string> DeleteSection(std::string_view text, std::string_view section) {
  section = TrimBlanks(section);
  SectionScan scan = ScanSection(text, section, {}, false);
  if (!scan.found || scan.start == scan.end) return std::nullopt;
  return Splice(text, scan.start, scan.end);
}

std::string TextProblem(const char* section, const char* key, const char* value) {
  if (section == nullptr) return "A section name is needed.";
  std::string_view s = TrimBlanks(section);
  if (HasLineBreak(s)) return "A section name may not contain a line break.";
  if (s.find(']') != std::string_view::npos) return "A section name may not contain \"]\".";
  if (key == nullptr) return "";
  std::string_view k = TrimBlanks(key);
  if (HasLineBreak(k)) return "A name may not contain a line break.";
  if (k.empty()) return "A name may not be empty.";
  if (k.find('=') != std::string_view::npos) return "A name may not contain \"=\".";
  if (k.front() == '[' || k.front() == ';') return "A name may not begin with \"[\" or \";\".";
  if (value != nullptr && HasLineBreak(value)) return "A value may not contain a line break.";
  return "";
}

}  // namespace win::ini
