// The INI text rules on plain strings: what a read finds, and the exact text a
// write produces.
#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using win::ini::DeleteKey;
using win::ini::DeleteSection;
using win::ini::SetValue;

struct ReadCase {
  const char* what;
  std::string text;
  const char* section;
  const char* key;
  std::optional<std::string> expected;  // nullopt: the key is not found
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.what;
}

class ValueReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ValueReading, FindsTheValueWindowsWouldFind) {
  const ReadCase& c = GetParam();
  std::optional<std::string_view> raw = win::ini::FindRawValue(c.text, c.section, c.key);
  std::optional<std::string> got;
  if (raw) got = std::string(win::ini::ReadableValue(*raw));
  EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ValueReading,
    ::testing::Values(
        ReadCase{"names ignore case", "[Setup]\r\nShowWelcome=YES\r\n", "sETUP", "showwelcome", "YES"},
        ReadCase{"value keeps its case", "[s]\r\nk=Yes\r\n", "s", "k", "Yes"},
        ReadCase{"blanks around names and values", "  [ Sec ]  \r\n\t Key  =  v v \t\r\n", " Sec ", " Key ", "v v"},
        ReadCase{"double quotes removed", "[s]\r\nk=\"a b\"\r\n", "s", "k", "a b"},
        ReadCase{"single quotes removed", "[s]\r\nk='a b'\r\n", "s", "k", "a b"},
        ReadCase{"quotes inside kept blanks", "[s]\r\nk=\" a \"\r\n", "s", "k", " a "},
        ReadCase{"unmatched quotes kept", "[s]\r\nk=\"a'\r\n", "s", "k", "\"a'"},
        ReadCase{"lone quote kept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"empty quotes read empty", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
        ReadCase{"only one pair removed", "[s]\r\nk=\"\"a\"\"\r\n", "s", "k", "\"a\""},
        ReadCase{"semicolon line is a comment", "[s]\r\n;k=v\r\n", "s", ";k", std::nullopt},
        ReadCase{"indented comment", "[s]\r\n   ;k=v\r\n", "s", ";k", std::nullopt},
        ReadCase{"hash is no comment", "[s]\r\n#k=v\r\n", "s", "#k", "v"},
        ReadCase{"semicolon inside a value is text", "[s]\r\nk=v ; x\r\n", "s", "k", "v ; x"},
        ReadCase{"line without equals is no key", "[s]\r\nk\r\n", "s", "k", std::nullopt},
        ReadCase{"empty value is a key", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"first equals splits", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"keys before the first section", "k=v\r\n[s]\r\nk=w\r\n", "", "k", "v"},
        ReadCase{"top part ends at the first header", "[s]\r\nk=w\r\n", "", "k", std::nullopt},
        ReadCase{"first duplicate key wins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        ReadCase{"first duplicate section wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", "s", "j", std::nullopt},
        ReadCase{"keys end at the next section", "[a]\r\n[b]\r\nk=v\r\n", "a", "k", std::nullopt},
        ReadCase{"LF line ends", "[s]\nj=0\nk=v\n", "s", "k", "v"},
        ReadCase{"CR line ends", "[s]\rj=0\rk=v\r", "s", "k", "v"},
        ReadCase{"LF CR is two line ends", "[s]\n\rk=v", "s", "k", "v"},
        ReadCase{"no final line end", "[s]\r\nk=v", "s", "k", "v"},
        ReadCase{"BOM line is no header", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", std::nullopt},
        ReadCase{"BOM keys go to the top part", "\xEF\xBB\xBF[s]\r\nk=v\r\n", "", "k", "v"},
        ReadCase{"BOM on a key line", "\xEF\xBB\xBFk=v\r\n", "", "k", std::nullopt},
        ReadCase{"header needs a closing bracket", "[s\r\nk=v\r\n", "", "k", "v"},
        ReadCase{"name runs to the last bracket", "[a]b]\r\nk=v\r\n", "a]b", "k", "v"},
        ReadCase{"text after the header ignored", "[s] ; note\r\nk=v\r\n", "s", "k", "v"},
        ReadCase{"NUL ends a value", "[s]\r\nk=a\0b\r\n"s, "s", "k", "a"},
        ReadCase{"NUL ends a name", "[s]\r\nk\0x=v\r\n"s, "s", "k", "v"},
        ReadCase{"blank inside a name", "[s]\r\na b=v\r\n", "s", "a b", "v"},
        ReadCase{"empty key never matches", "[s]\r\n=v\r\n", "s", "", std::nullopt},
        ReadCase{"tab is a blank", "[s]\r\n\tk\t=\tv\t\r\n", "s", "k", "v"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct ListCase {
  std::vector<std::string> names;
  std::uint32_t size;
  std::uint32_t expectedCount;
  std::string expectedBytes;  // the first expectedCount + 2 bytes (or fewer for tiny buffers)
};

class NameListCut : public ::testing::TestWithParam<ListCase> {};

TEST_P(NameListCut, CutsLikeWindows) {
  const ListCase& c = GetParam();
  std::string buffer(c.size + 4, '\x7f');
  win::ini::NameListWriter list(buffer.data(), c.size);
  for (const std::string& n : c.names) list.Add(n);
  EXPECT_EQ(list.Finish(), c.expectedCount);
  EXPECT_EQ(buffer.substr(0, c.expectedBytes.size()), c.expectedBytes);
  EXPECT_EQ(buffer.substr(c.size), std::string(4, '\x7f')) << "wrote past the buffer";
}

const std::vector<std::string> kThree = {"section1", "section2", "section3"};

INSTANTIATE_TEST_SUITE_P(
    Capacity, NameListCut,
    ::testing::Values(ListCase{kThree, 29, 27, "section1\0section2\0section3\0\0"s},
                      ListCase{kThree, 28, 26, "section1\0section2\0section3\0\0"s},  // exact fit counts as cut
                      ListCase{kThree, 27, 25, "section1\0section2\0section\0\0"s},   // cut name is a name
                      ListCase{{"abc", "defgh"}, 8, 6, "abc\0de\0\0"s}, ListCase{kThree, 2, 0, "\0\0"s},
                      ListCase{kThree, 1, 0, "\0"s}, ListCase{{}, 10, 0, "\0\0"s}));

TEST(NameListCut, SizeZeroWritesNothing) {
  char buffer[2] = {'x', 'y'};
  win::ini::NameListWriter list(buffer, 0);
  list.Add("abc");
  EXPECT_EQ(list.Finish(), 0u);
  EXPECT_EQ(buffer[0], 'x');
}

struct WriteCase {
  const char* what;
  std::string before;
  enum Op { kSet, kDeleteKey, kDeleteSection } op;
  const char* section;
  const char* key;
  const char* value;
  std::optional<std::string> after;  // nullopt: the text stays as it is
};

void PrintTo(const WriteCase& c, std::ostream* os) {
  *os << c.what;
}

class TextWriting : public ::testing::TestWithParam<WriteCase> {};

TEST_P(TextWriting, ProducesTheExpectedText) {
  const WriteCase& c = GetParam();
  std::optional<std::string> got;
  switch (c.op) {
    case WriteCase::kSet:
      got = SetValue(c.before, c.section, c.key, c.value);
      break;
    case WriteCase::kDeleteKey:
      got = DeleteKey(c.before, c.section, c.key);
      break;
    case WriteCase::kDeleteSection:
      got = DeleteSection(c.before, c.section);
      break;
  }
  EXPECT_EQ(got, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TextWriting,
    ::testing::Values(
        WriteCase{"replace keeps place and line ends", "[s]\nk=1\nj=2\n", WriteCase::kSet, "s", "k", "9",
                  "[s]\nk=9\nj=2\n"},
        WriteCase{"replace keeps spelling before the value", "[S]\r\n  Key = old  \r\nx=1", WriteCase::kSet, "s", "key",
                  "new", "[S]\r\n  Key = new\r\nx=1"},
        WriteCase{"replace an empty value", "[s]\r\nk=\r\n", WriteCase::kSet, "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"same value leaves the text", "[s]\r\nK = v \r\n", WriteCase::kSet, "s", "k", " v", std::nullopt},
        WriteCase{"quoted value differs from unquoted", "[s]\r\nk=\"v\"\r\n", WriteCase::kSet, "s", "k", "v",
                  "[s]\r\nk=v\r\n"},
        WriteCase{"value written trimmed", "", WriteCase::kSet, "s", "k", "  v  ", "[s]\r\nk=v\r\n"},
        WriteCase{"new key after the last non-blank line", "[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n",
                  WriteCase::kSet, "A", "z", "3", "[a]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
        WriteCase{"new key in an empty section", "[a]\r\n\r\n[b]\r\n", WriteCase::kSet, "a", "k", "v",
                  "[a]\r\nk=v\r\n\r\n[b]\r\n"},
        WriteCase{"new key after a header without line end", "[a]", WriteCase::kSet, "a", "k", "v", "[a]\r\nk=v\r\n"},
        WriteCase{"new key after a last line without line end", "[a]\nx=1", WriteCase::kSet, "a", "k", "v",
                  "[a]\nx=1\r\nk=v\r\n"},
        WriteCase{"new key goes to the first duplicate section", "[a]\r\nx=1\r\n[a]\r\ny=2\r\n", WriteCase::kSet, "a",
                  "k", "v", "[a]\r\nx=1\r\nk=v\r\n[a]\r\ny=2\r\n"},
        WriteCase{"new section appended without blank line", "[a]\r\nx=1\r\n", WriteCase::kSet, " b ", " k ", "v",
                  "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        WriteCase{"new section after a last line without line end", "[a]\r\nx=1", WriteCase::kSet, "b", "k", "v",
                  "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        WriteCase{"new section in an LF file keeps the LF lines", "[a]\nx=1\n", WriteCase::kSet, "b", "k", "v",
                  "[a]\nx=1\n[b]\r\nk=v\r\n"},
        WriteCase{"new section after a CR line end", "[a]\rx=1\r", WriteCase::kSet, "b", "k", "v",
                  "[a]\rx=1\r[b]\r\nk=v\r\n"},
        WriteCase{"empty text", "", WriteCase::kSet, "b", "k", "v", "[b]\r\nk=v\r\n"},
        WriteCase{"BOM header is not the section", "\xEF\xBB\xBF[s]\r\nk=v\r\n", WriteCase::kSet, "s", "k", "w",
                  "\xEF\xBB\xBF[s]\r\nk=v\r\n[s]\r\nk=w\r\n"},
        WriteCase{"top part key before the first header", "; c\r\n[a]\r\n", WriteCase::kSet, "", "k", "v",
                  "; c\r\nk=v\r\n[a]\r\n"},
        WriteCase{"top part key in a file without top lines", "[a]\r\n", WriteCase::kSet, "", "k", "v",
                  "k=v\r\n[a]\r\n"},
        WriteCase{"delete removes the first duplicate key", "[s]\r\nk=1\r\nk=2\r\n", WriteCase::kDeleteKey, "s", "K",
                  nullptr, "[s]\r\nk=2\r\n"},
        WriteCase{"delete a last line without line end", "[s]\r\nk=1", WriteCase::kDeleteKey, "s", "k", nullptr,
                  "[s]\r\n"},
        WriteCase{"delete an absent key", "[s]\r\nk=1\r\n", WriteCase::kDeleteKey, "s", "j", nullptr, std::nullopt},
        WriteCase{"delete a key of an absent section", "[s]\r\nk=1\r\n", WriteCase::kDeleteKey, "t", "k", nullptr,
                  std::nullopt},
        WriteCase{"delete ignores a commented key", "[s]\r\n;k=1\r\n", WriteCase::kDeleteKey, "s", ";k", nullptr,
                  std::nullopt},
        WriteCase{"delete a section with its lines", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", WriteCase::kDeleteSection, "A",
                  nullptr, nullptr, "[b]\r\ny=2\r\n"},
        WriteCase{"delete the last section", "[a]\r\nx=1\r\n[b]\r\ny=2", WriteCase::kDeleteSection, "b", nullptr,
                  nullptr, "[a]\r\nx=1\r\n"},
        WriteCase{"delete the first duplicate section", "[a]\r\nx=1\r\n[a]\r\nx=2\r\n", WriteCase::kDeleteSection, "a",
                  nullptr, nullptr, "[a]\r\nx=2\r\n"},
        WriteCase{"delete an absent section", "[a]\r\nx=1\r\n", WriteCase::kDeleteSection, "b", nullptr, nullptr,
                  std::nullopt}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(TextWriting, DeletedDuplicateKeyUncoversTheNextOne) {
  std::optional<std::string> after = DeleteKey("[s]\r\nk=1\r\nk=2\r\n", "s", "k");
  ASSERT_TRUE(after);
  EXPECT_EQ(win::ini::FindRawValue(*after, "s", "k"), "2");
}

struct ProblemCase {
  const char* section;
  const char* key;
  const char* value;
  const char* reason;
};

class WriteRefusal : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(WriteRefusal, NamesTheReason) {
  const ProblemCase& c = GetParam();
  EXPECT_EQ(win::ini::TextProblem(c.section, c.key, c.value), c.reason);
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteRefusal,
                         ::testing::Values(ProblemCase{"s", "Acme = v2", "x", "A name may not contain \"=\"."},
                                           ProblemCase{"s", "[k", "x", "A name may not begin with \"[\" or \";\"."},
                                           ProblemCase{"s", "  ;k", "x", "A name may not begin with \"[\" or \";\"."},
                                           ProblemCase{"s", "k", "a\nb", "A value may not contain a line break."},
                                           ProblemCase{"s", "k", "a\rb", "A value may not contain a line break."},
                                           ProblemCase{"s", "k\n", "x", "A name may not contain a line break."},
                                           ProblemCase{"s\r\nt", "k", "x",
                                                       "A section name may not contain a line break."},
                                           ProblemCase{"a]b", "k", "x", "A section name may not contain \"]\"."},
                                           ProblemCase{"s", "  ", "x", "A name may not be empty."},
                                           ProblemCase{nullptr, "k", "x", "A section name is needed."},
                                           // Acceptable texts.
                                           ProblemCase{"s", "k;x", "v ; = [x]", ""},
                                           ProblemCase{"[s", "k[", "\"q\"", ""}, ProblemCase{"s", "k", nullptr, ""},
                                           ProblemCase{"s", nullptr, "a\nb", ""}, ProblemCase{"", "k", "", ""}));

TEST(LineReading, CountsEachKindOfLineEndOnce) {
  const std::string text = "a\r\nb\nc\rd\n\re";
  win::ini::LineReader reader(text);
  win::ini::Line line;
  std::vector<std::string> lines;
  while (reader.Next(line)) lines.push_back(text.substr(line.start, line.end - line.start));
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
}

TEST(LineReading, LinesLongerThan64KiB) {
  std::string text = "[s]\r\njunk=" + std::string(70000, 'x') + "\r\nk=" + std::string(100000, 'y') + "\r\nz=1";
  EXPECT_EQ(win::ini::FindRawValue(text, "s", "k")->size(), 100000u);
  EXPECT_EQ(win::ini::FindRawValue(text, "s", "z"), "1");
}

}  // namespace
