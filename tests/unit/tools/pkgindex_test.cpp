// pkgindex.exe: the file list it reads and the setup.pkg it writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/tool_failure.h"
#include "pkgindex/file_list.h"
#include "tool_run.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kShaAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kShaEmpty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

struct ListCase {
  const char* name;
  std::string text;
  std::vector<std::string> paths;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const ListCase& c, std::ostream* os) {
  *os << c.name;
}

class FileListParsing : public ::testing::TestWithParam<ListCase> {};

TEST_P(FileListParsing, GivesThePathsWithoutTrailingBlanks) {
  EXPECT_EQ(ParseFileList(GetParam().text, "list"), GetParam().paths);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, FileListParsing,
    ::testing::Values(ListCase{"Crlf", "1;\r\nC:\\a b\\x.z \r\nC:\\y.ins \r\n", {"C:\\a b\\x.z", "C:\\y.ins"}},
                      ListCase{"Lf", "1;\nC:\\x.z \nC:\\y.ins \n", {"C:\\x.z", "C:\\y.ins"}},
                      ListCase{"Cr", "1;\rC:\\x.z \rC:\\y.ins", {"C:\\x.z", "C:\\y.ins"}},
                      ListCase{"TabsAndBlankLines", "1; \r\n\r\nC:\\x.z \t \r\n   \r\n", {"C:\\x.z"}},
                      ListCase{"OnlyHeader", "1;\r\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileListParsing, RefusesTextWithoutTheHeaderLine) {
  for (const char* text : {"", "C:\\x.z \r\n", "2;\r\nC:\\x.z\r\n"})
    EXPECT_THROW(ParseFileList(text, "list"), ToolFailure) << text;
}

class Pkgindex : public ScratchDrive {
 protected:
  void SetUp() override {
    ScratchDrive::SetUp();
    fs::create_directories(Host("kitcomp"));
  }
  ToolRun Index(const std::vector<std::string>& arguments) {
    return RunProgram("pkgindex.exe", arguments, Host("kitcomp"));
  }
  std::string Package() { return ReadBytes(Host("kitcomp/setup.pkg")); }
};

TEST_F(Pkgindex, WritesNamesSizesHashesAndTotalsInListOrder) {
  Put("out/CD/lume.z", "abc");
  Put("out/CD/empty.ins", "");
  Put("out/CD/setup.lst", "1;\r\nt:\\out\\CD\\lume.z \r\nt:\\out\\CD\\empty.ins \r\n");
  const ToolRun run = Index({"t:\\out\\CD\\setup.lst"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Package(), std::string("[Package]\r\nFormat=1\r\nFiles=2\r\nBytes=3\r\n[Files]\r\n") + "File1=3," +
                           kShaAbc + ",lume.z\r\nFile2=0," + kShaEmpty + ",empty.ins\r\n");
}

TEST_F(Pkgindex, IndexCarriesTheTimeOfTheNewestListedFile) {
  using namespace std::chrono_literals;
  Put("out/CD/a.z", "a");
  Put("out/CD/b.z", "b");
  Put("out/CD/setup.lst", "1;\r\nt:\\out\\CD\\a.z \r\nt:\\out\\CD\\b.z \r\n");
  const auto base = fs::file_time_type::clock::now() - 72h;
  fs::last_write_time(Host("out/CD/a.z"), base + 2h);
  fs::last_write_time(Host("out/CD/b.z"), base);
  ASSERT_EQ(Index({"t:\\out\\CD\\setup.lst"}).exitCode, 0);
  const auto packageTime = fs::last_write_time(Host("kitcomp/setup.pkg"));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(packageTime - (base + 2h)).count(), 0);
}

TEST_F(Pkgindex, ListPathWithSpacesWorksUnquoted) {
  Put("My Kits/out 1/CD/a.z", "abc");
  Put("My Kits/out 1/CD/setup.lst", "1;\nt:\\My Kits\\out 1\\CD\\a.z \n");
  // The engine passes the path unquoted: it arrives in three pieces.
  const ToolRun run = Index({"t:\\My", "Kits\\out", "1\\CD\\setup.lst"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(Package(), HasSubstr(std::string("File1=3,") + kShaAbc + ",a.z\r\n"));
  ASSERT_EQ(Index({"t:\\My Kits\\out 1\\CD\\setup.lst"}).exitCode, 0);
}

TEST_F(Pkgindex, MissingFilesAreNamedAndLeftOutButTheIndexIsWritten) {
  Put("img/a.z", "abc");
  Put("img/setup.lst", "1;\r\nt:\\img\\gone.ins \r\nt:\\img\\a.z \r\nt:\\img\\also-gone.ini \r\n");
  const ToolRun run = Index({"t:\\img\\setup.lst"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("t:\\img\\gone.ins"));
  EXPECT_THAT(run.err, HasSubstr("t:\\img\\also-gone.ini"));
  EXPECT_THAT(Package(), HasSubstr("Files=1\r\nBytes=3\r\n"));
  EXPECT_THAT(Package(), HasSubstr("File1=3,"));
}

TEST_F(Pkgindex, TwoFilesOfTheSameNameKeepTheirOwnLines) {
  Put("a/m.z", "abc");
  Put("b/M.Z", "");
  Put("list.lst", "1;\nt:\\a\\m.z \nt:\\b\\M.Z \n");
  const ToolRun run = Index({"t:\\list.lst"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_THAT(run.err, HasSubstr("M.Z is listed more than once"));
  EXPECT_THAT(Package(), HasSubstr(std::string("File1=3,") + kShaAbc + ",m.z\r\nFile2=0," + kShaEmpty + ",M.Z\r\n"));
}

TEST_F(Pkgindex, LargeFileHashesLikeItsContents) {
  // Several read blocks, and a size that is no multiple of one.
  std::string big(9 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 % 251);
  Put("big.bin", big);
  Put("list.lst", "1;\nt:\\big.bin \n");
  ASSERT_EQ(Index({"t:\\list.lst"}).exitCode, 0);
  const ToolRun reference = RunProgram("/usr/bin/sha256sum", {Host("big.bin").string()});
  ASSERT_EQ(reference.exitCode, 0);
  EXPECT_THAT(Package(),
              HasSubstr("File1=" + std::to_string(big.size()) + "," + reference.out.substr(0, 64) + ",big.bin\r\n"));
}

struct PkgFailureCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string message;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const PkgFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class PkgindexFailure : public Pkgindex, public ::testing::WithParamInterface<PkgFailureCase> {};

TEST_P(PkgindexFailure, WritesNothingAndSaysWhy) {
  Put("notalist.txt", "hello\r\n");
  const ToolRun run = Index(GetParam().arguments);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.err, HasSubstr(GetParam().message));
  EXPECT_FALSE(fs::exists(Host("kitcomp/setup.pkg")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PkgindexFailure,
    ::testing::Values(PkgFailureCase{"MissingList", {"t:\\none.lst"}, "t:\\none.lst: cannot be read"},
                      PkgFailureCase{"NotAList", {"t:\\notalist.txt"}, "not a file list"},
                      PkgFailureCase{"NoArgument", {}, "no file list given"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pkgindex, HelpDescribesTheFormat) {
  const ToolRun run = Index({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_THAT(run.out, HasSubstr("File1=<size>,<sha256"));
}

}  // namespace
}  // namespace kc::tools::test
