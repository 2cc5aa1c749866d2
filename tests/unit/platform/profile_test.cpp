// The Win32 profile functions on real files behind a drive letter: capacities,
// defaults, list cuts, refused and failed writes, and atomic replacement.
#include "platform/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/drives.h"
#include "platform/ini_text.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

namespace {

using namespace std::string_literals;
using kc::test::ReadFile;
using kc::test::WriteFile;
using win::DWORD;
using win::GetPrivateProfileStringA;
using win::WritePrivateProfileStringA;

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override { win::DriveTable::Set({{"C:", scratch_.path()}}); }

  // Writes `contents` as C:\<name> and returns the Windows path.
  std::string Put(const std::string& contents, const std::string& name = "test.ini") {
    WriteFile(scratch_ / name, contents);
    return "C:\\" + name;
  }
  std::string Host(const std::string& name = "test.ini") const { return scratch_ / name; }
  ino_t Inode(const std::string& name = "test.ini") const {
    struct stat st {};
    ::stat(Host(name).c_str(), &st);
    return st.st_ino;
  }
  std::string Read(const char* section, const char* key, const std::string& file, DWORD size = 260,
                   const char* def = "") {
    std::string buffer(size, '\x7f');
    DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(), size, file.c_str());
    return buffer.substr(0, n);
  }

  kc::test::PlatformState state_;
  kc::test::ScratchFolder scratch_;
};

TEST_F(ProfileFile, ValueCutToCapacityMinusOne) {
  std::string file = Put("[Global]\r\nPlatform=123456789012345\r\n");
  char buffer[12];
  EXPECT_EQ(GetPrivateProfileStringA("Global", "Platform", "", buffer, 12, file.c_str()), 11u);
  EXPECT_STREQ(buffer, "12345678901");
  EXPECT_EQ(GetPrivateProfileStringA("Global", "Platform", "", buffer, 1, file.c_str()), 0u);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'x';
  EXPECT_EQ(GetPrivateProfileStringA("Global", "Platform", "", buffer, 0, file.c_str()), 0u);
  EXPECT_EQ(buffer[0], 'x');
}

TEST_F(ProfileFile, QuotedValueCutInsideTheQuotes) {
  std::string file = Put("[s]\r\nk=\"abcdef\"\r\n");
  EXPECT_EQ(Read("s", "k", file, 4), "abc");
  EXPECT_EQ(Read("s", "k", file, 7), "abcdef");
}

TEST_F(ProfileFile, KeyListSkipsLinesWithoutEquals) {
  std::string file = Put("[s]\r\nname1=val1\r\nname2=\r\nname3\r\n;name5=x\r\nname4=val4\r\n");
  EXPECT_EQ(Read("S", nullptr, file, 100), "name1\0name2\0name4\0"s);
}

TEST_F(ProfileFile, KeyListCutKeepsAShortenedLastName) {
  std::string file = Put("[Components]\r\nAlpha=1\r\nBravo=2\r\nCharlie=3\r\n");
  std::string buffer(12, '\x7f');
  DWORD n = GetPrivateProfileStringA("Components", nullptr, "", buffer.data(), 12, file.c_str());
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(buffer, "Alpha\0Brav\0\0"s);
}

TEST_F(ProfileFile, SectionListWithNullSection) {
  std::string file = Put("top=1\r\n[one]\r\n[]\r\n[Two]\r\nk=v\r\n[one]\r\n");
  EXPECT_EQ(Read(nullptr, "ignored", file, 100), "one\0Two\0one\0"s);
}

TEST_F(ProfileFile, EmptyOrMissingSectionListReturnsTheDefault) {
  std::string file = Put("[empty]\r\n; only a comment\r\nnot a key\r\n[full]\r\nk=v\r\n");
  EXPECT_EQ(Read("empty", nullptr, file, 100, "dflt"), "dflt");
  EXPECT_EQ(Read("absent", nullptr, file, 100, "dflt"), "dflt");
  EXPECT_EQ(Read("empty", nullptr, file, 100, ""), "");
}

TEST_F(ProfileFile, MissingFileGivesTheDefaultAndFileNotFound) {
  win::SetLastError(0);
  EXPECT_EQ(Read("s", "k", "C:\\absent.ini", 260, "fallback"), "fallback");
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Read("s", "k", "Q:\\no-such-drive.ini", 260, "fallback"), "fallback");
  EXPECT_EQ(Read(nullptr, nullptr, "C:\\absent.ini", 10), "");
}

TEST_F(ProfileFile, DefaultLosesTrailingBlanksOnlyAndIsCut) {
  std::string file = Put("[s]\r\n");
  EXPECT_EQ(Read("s", "k", file, 260, "  dflt  "), "  dflt");
  EXPECT_EQ(Read("s", "k", file, 4, "default"), "def");
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", nullptr, buffer, 8, file.c_str()), 0u);
  EXPECT_STREQ(buffer, "");
}

TEST_F(ProfileFile, CallArgumentsAreTrimmed) {
  std::string file = Put("[Sec]\r\nKey=v\r\n");
  EXPECT_EQ(Read("  sec\t", " KEY ", file), "v");
  ASSERT_TRUE(WritePrivateProfileStringA(" sec ", " key ", " w ", file.c_str()));
  EXPECT_EQ(ReadFile(Host()), "[Sec]\r\nKey=w\r\n");
}

TEST_F(ProfileFile, WriteCreatesFileSectionAndKey) {
  ASSERT_TRUE(WritePrivateProfileStringA("Global", "Platform", "16", "C:\\new.ini"));
  EXPECT_EQ(ReadFile(Host("new.ini")), "[Global]\r\nPlatform=16\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("Global", "Mode", "Local", "C:\\new.ini"));
  ASSERT_TRUE(WritePrivateProfileStringA("Choices-32", "Show", "YES", "C:\\new.ini"));
  EXPECT_EQ(ReadFile(Host("new.ini")), "[Global]\r\nPlatform=16\r\nMode=Local\r\n[Choices-32]\r\nShow=YES\r\n");
  EXPECT_EQ(Read("global", "mode", "C:\\new.ini"), "Local");
}

TEST_F(ProfileFile, DeletingAbsentThingsLeavesTheFileUnwritten) {
  std::string file = Put("[s]\r\nk=v\r\n");
  ino_t before = Inode();
  EXPECT_TRUE(WritePrivateProfileStringA("s", "absent", nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("absent", nullptr, nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "v", file.c_str()));  // the value it already has
  EXPECT_EQ(Inode(), before) << "the file was rewritten";
  EXPECT_TRUE(WritePrivateProfileStringA("s", "k", nullptr, "C:\\absent.ini"));
  EXPECT_FALSE(kc::test::Exists(Host("absent.ini")));
}

TEST_F(ProfileFile, NullValueDeletesKeyAndNullKeyDeletesSection) {
  std::string file = Put("[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("a", "x", nullptr, file.c_str()));
  EXPECT_EQ(ReadFile(Host()), "[a]\r\ny=2\r\n[b]\r\nz=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("A", nullptr, "ignored", file.c_str()));
  EXPECT_EQ(ReadFile(Host()), "[b]\r\nz=3\r\n");
}

struct RefusedWrite {
  const char* section;
  const char* key;
  const char* value;
};

class UnreadableWrite : public ProfileFile, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(UnreadableWrite, IsRefusedAndLeavesTheFile) {
  const RefusedWrite& w = GetParam();
  const std::string original = "[s]\r\nk=v\r\n";
  std::string file = Put(original);
  win::SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileStringA(w.section, w.key, w.value, file.c_str()));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ReadFile(Host()), original);
  EXPECT_NE(win::ProfileTextProblem(w.section, w.key, w.value), "");
}

INSTANTIATE_TEST_SUITE_P(Texts, UnreadableWrite,
                         ::testing::Values(RefusedWrite{"s", "Acme = v2", "x"}, RefusedWrite{"s", "[k]", "x"},
                                           RefusedWrite{"s", ";k", "x"}, RefusedWrite{"s", "k", "line1\r\nline2"},
                                           RefusedWrite{"s", "k\nj", "x"}, RefusedWrite{"s\n", "k", "x"},
                                           RefusedWrite{"a]b", "k", "x"}, RefusedWrite{"a]b", nullptr, nullptr},
                                           RefusedWrite{nullptr, "k", "x"}, RefusedWrite{"s", "", "x"}));

TEST_F(ProfileFile, WriteThatCannotHappenReturnsFalseAndKeepsTheOldFile) {
  const std::string original = "[s]\r\nk=v\r\n";
  std::string file = Put(original, "ro/test.ini");
  // A read-only folder: run without root's power to ignore it.
  ::chmod((scratch_ / "ro").c_str(), 0555);
  int status = kc::test::RunUnprivileged(
      [&] { return WritePrivateProfileStringA("s", "k", "new", file.c_str()) == win::FALSE ? 0 : 1; });
  ::chmod((scratch_ / "ro").c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(Host("ro/test.ini")), original);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch_ / "ro"), {}), 1);

  std::filesystem::create_directory(scratch_ / "folder.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "C:\\folder.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(scratch_ / "folder.ini"));
  EXPECT_EQ(Read("s", "k", "C:\\folder.ini", 260, "d"), "d");

  win::SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "Q:\\test.ini"));
  EXPECT_NE(win::GetLastError(), 0u);
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "C:\\no\\such\\folder\\x.ini"));
}

TEST_F(ProfileFile, LfFileKeepsItsLinesAndReadsBack) {
  std::string file = Put("[a]\nx=1\n\n[b]\ny=2");
  ASSERT_TRUE(WritePrivateProfileStringA("a", "z", "3", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("b", "y", "4", file.c_str()));
  EXPECT_EQ(ReadFile(Host()), "[a]\nx=1\nz=3\r\n\n[b]\ny=4");
}

TEST_F(ProfileFile, BinaryJunkNeverBreaksReadsOrWrites) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    std::string junk(1 + random() % 3000, '\0');
    for (char& c : junk) c = static_cast<char>(random() % 8 == 0 ? "[]=;\r\n \0"[random() % 8] : random());
    std::string file = Put(junk);
    Read(nullptr, nullptr, file, 64);
    Read("s", nullptr, file, 5);
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "v", file.c_str()));
    EXPECT_EQ(Read("s", "k", file), "v");
    ASSERT_TRUE(WritePrivateProfileStringA("s", nullptr, nullptr, file.c_str()));
  }
}

// Every input that once broke the profile functions, run through reads and
// writes of the file: none may crash, and written keys must read back.
TEST_F(ProfileFile, RegressionInputs) {
  const std::filesystem::path folder = std::filesystem::path(KITCOMP_TEST_DATA) / "ini" / "regressions";
  ASSERT_TRUE(std::filesystem::is_directory(folder));
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename() == "README.md") continue;
    SCOPED_TRACE(entry.path().string());
    std::string file = Put(*ReadFile(entry.path().string()));
    Read(nullptr, nullptr, file, 2);
    Read(nullptr, nullptr, file, 4096);
    Read("", nullptr, file, 3);
    Read("s", "k", file, 2);
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "\"value\"", file.c_str()));
    EXPECT_EQ(Read("s", "k", file), "value");
    ASSERT_TRUE(WritePrivateProfileStringA("", "top", "1", file.c_str()));
    EXPECT_EQ(Read("", "top", file), "1");
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("s", nullptr, nullptr, file.c_str()));
    ++count;
  }
  std::cout << count << " regression inputs\n";
}

// The fixture files: a real-world shaped setup.ini and odd encodings.
TEST_F(ProfileFile, FixtureFiles) {
  const std::filesystem::path folder = std::filesystem::path(KITCOMP_TEST_DATA) / "ini";
  std::string setup = Put(*ReadFile((folder / "setup.ini").string()), "setup.ini");
  EXPECT_EQ(Read("General", "Product", setup), "Lumenary Suite");
  EXPECT_EQ(Read("SubComponents", nullptr, setup, 1000), "Mail\0News\0Composer\0"s);
  EXPECT_EQ(Read("Mail", "Path", setup), "%ProgramFiles%\\Lumenary\\Mail");
  // The byte order mark is skipped: the first section is found.
  std::string bom = Put(*ReadFile((folder / "utf8_bom.ini").string()), "bom.ini");
  EXPECT_EQ(Read("General", "Title", bom, 260, "absent"), "First");
  EXPECT_EQ(Read("", "Title", bom, 260, "absent"), "absent");
  EXPECT_EQ(Read("Second", "Title", bom), "Found");
}

// Files as Windows tools write them: code-page bytes, a UTF-8 byte order
// mark, UTF-16LE. Each row writes (or deletes) one key and gives the bytes the
// file must then hold and one value that must read back.
struct FormCase {
  const char* why;
  std::string before;
  const char* section;
  const char* key;
  const char* value;  // null: delete the key
  std::string after;
  const char* readKey;
  std::string readValue;
};

void PrintTo(const FormCase& c, std::ostream* os) {
  *os << c.why;
}

std::string Utf16(const std::string& narrow) {
  return "\xFF\xFE" + kc::platform::NarrowToUtf16Le(narrow);
}

class FileForms : public ProfileFile, public ::testing::WithParamInterface<FormCase> {};

TEST_P(FileForms, RoundTripKeepingTheFormAndEveryOtherByte) {
  const FormCase& c = GetParam();
  std::string file = Put(c.before);
  ASSERT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()));
  EXPECT_EQ(ReadFile(Host()), c.after);
  EXPECT_EQ(Read(c.section, c.readKey, file), c.readValue);
}

const std::string kBom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Forms, FileForms,
    ::testing::Values(
        FormCase{"code-page bytes stay byte for byte",
                 "[s]\r\nTitle=Caf\xE9 \xAB"
                 "Edition\xBB\r\n",
                 "s", "k", "v",
                 "[s]\r\nTitle=Caf\xE9 \xAB"
                 "Edition\xBB\r\nk=v\r\n",
                 "Title",
                 "Caf\xE9 \xAB"
                 "Edition\xBB"},
        FormCase{"code-page name deleted by its bytes", "[MMMods-32]\r\nC\xE1mara=cam\r\nChat=chat\r\n", "MMMods-32",
                 "C\xE1mara", nullptr, "[MMMods-32]\r\nChat=chat\r\n", "Chat", "chat"},
        FormCase{"BOM: the first section is found and its key replaced", kBom + "[Choices-32]\r\nk=old\r\n",
                 "Choices-32", "k", "new", kBom + "[Choices-32]\r\nk=new\r\n", "k", "new"},
        FormCase{"BOM: a new section is added after the text, no second mark", kBom + "[Global]\r\n", "Choices-32", "k",
                 "v", kBom + "[Global]\r\n[Choices-32]\r\nk=v\r\n", "k", "v"},
        FormCase{"BOM: code-page text is stored as the UTF-8 the file declares", kBom + "[s]\r\n", "s", "k", "Caf\xE9",
                 kBom + "[s]\r\nk=Caf\xC3\xA9\r\n", "k", "Caf\xC3\xA9"},
        FormCase{"UTF-16: read as UTF-8, a key added in UTF-16", Utf16("[s]\r\nTitle=Caf\xC3\xA9\r\n"), "s", "k", "v",
                 Utf16("[s]\r\nTitle=Caf\xC3\xA9\r\nk=v\r\n"), "Title", "Caf\xC3\xA9"},
        FormCase{"UTF-16: a new section as in an ANSI file", Utf16("[a]\r\nx=1"), "b", "k", "\xF0\x9F\x98\x80",
                 Utf16("[a]\r\nx=1\r\n[b]\r\nk=\xF0\x9F\x98\x80\r\n"), "k", "\xF0\x9F\x98\x80"},
        FormCase{"UTF-16: code-page text stored as its characters", Utf16("[s]\r\n"), "s", "k", "Caf\xE9",
                 Utf16("[s]\r\nk=Caf\xC3\xA9\r\n"), "k", "Caf\xC3\xA9"},
        FormCase{"UTF-16: a code-page name finds and deletes its key", Utf16("[m]\r\nC\xC3\xA1mara=x\r\ny=1\r\n"), "m",
                 "C\xE1mara", nullptr, Utf16("[m]\r\ny=1\r\n"), "y", "1"}));

TEST_F(ProfileFile, Utf16TextNoNarrowStringHoldsIsNeitherReadNorRewritten) {
  // "[s]\r\nk=" and an unpaired high surrogate.
  const std::string original = "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\x3D\xD8"s;
  std::string file = Put(original);
  EXPECT_EQ(Read("s", "k", file, 260, "dflt"), "dflt");
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_FALSE(WritePrivateProfileStringA("s", "j", "v", file.c_str()));
  EXPECT_EQ(win::GetLastError(), win::ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_NE(win::LastErrorText().find("UTF-16 text that is not valid at byte 16"), std::string::npos)
      << win::LastErrorText();
  EXPECT_EQ(ReadFile(Host()), original);
}

TEST_F(ProfileFile, TypedTextTakesTheEncodingTheFileUses) {
  struct Row {
    const char* why;
    std::optional<std::string> contents;  // nullopt: no file
    kc::platform::TextEncoding encoding;
  };
  using kc::platform::TextEncoding;
  const Row rows[] = {
      {"ASCII file", "[s]\r\nk=v\r\n", TextEncoding::kUtf8},
      {"file with code-page bytes", "[s]\r\nk=Caf\xE9\r\n", TextEncoding::kWindows1252},
      {"file with UTF-8 text", "[s]\r\nk=Caf\xC3\xA9\r\n", TextEncoding::kUtf8},
      {"UTF-8 file with a mark", kBom + "[s]\r\n", TextEncoding::kUtf8},
      {"UTF-16 file", Utf16("[s]\r\nk=\xC3\xA9\r\n"), TextEncoding::kUtf8},
      {"no file", std::nullopt, TextEncoding::kUtf8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    std::filesystem::remove(Host());
    if (row.contents) Put(*row.contents);
    EXPECT_EQ(win::ProfileTextEncoding("C:\\test.ini"), row.encoding);
  }
}

// A writer killed at random moments must leave the old or the new file, never
// a mix: the file always parses to one of the two complete states.
TEST_F(ProfileFile, KilledWriterLeavesACompleteFile) {
  const std::string a(150000, 'a');
  const std::string b(150000, 'b');
  std::string file = Put("[s]\r\nk=" + a + "\r\ntail=end\r\n");
  std::mt19937 random(42);
  int sawA = 0;
  int sawB = 0;
  for (int round = 0; round < 40; ++round) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0;; ++i) WritePrivateProfileStringA("s", "k", (i % 2) ? a.c_str() : b.c_str(), file.c_str());
    }
    ::usleep(1000 + random() % 40000);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::string value = Read("s", "k", file, 200000);
    EXPECT_TRUE(value == a || value == b) << "round " << round << ": value of " << value.size() << " bytes";
    sawA += value == a;
    sawB += value == b;
    EXPECT_EQ(Read("s", "tail", file), "end");
    std::optional<std::string> bytes = ReadFile(Host());
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(*bytes == "[s]\r\nk=" + a + "\r\ntail=end\r\n" || *bytes == "[s]\r\nk=" + b + "\r\ntail=end\r\n");
  }
  // Both states seen: the kills did land between completed writes.
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
}

}  // namespace
