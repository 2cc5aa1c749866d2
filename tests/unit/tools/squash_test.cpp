// squash.exe as the engine runs it: one-file archives, merges of a staging
// folder, labels, hidden files, reproducible bytes and atomic replacement.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "common/tool_failure.h"
#include "squash/squash_options.h"
#include "tool_run.h"
#include "zip_read_back.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Squash : public ScratchDrive {
 protected:
  ToolRun Squash_(const std::vector<std::string>& arguments) { return RunProgram("squash.exe", arguments); }

  // name -> data of every entry, in archive order as a vector of names too.
  std::vector<ArchivedEntry> Entries(const std::string& relative) {
    return ReadZipContents(Host(relative).string(), relative, [](const std::string&) { return true; });
  }
  std::vector<std::string> Names(const std::string& relative) {
    std::vector<std::string> names;
    for (const ArchivedEntry& entry : Entries(relative)) names.push_back(entry.name);
    return names;
  }
  std::string Data(const std::string& relative, const std::string& name) {
    for (const ArchivedEntry& entry : Entries(relative))
      if (entry.name == name) return entry.data;
    return "<missing>";
  }
  // The staging tree of the main module as the engine builds it.
  void MakeStagingTree() {
    Put("stage/program/defaults/bookmark.htm", "<html>bookmarks</html>");
    Put("stage/program/defaults/mail/inbox", "inbox");
    Put("stage/config/velomark.cfg", "pref=1");
    Put("stage/Readme.txt", "read me");
  }
};

TEST_F(Squash, OneFileArchiveHoldsTheFileUnderItsName) {
  Put("in/installer.exe", "MZ installer bytes");
  const ToolRun run = Squash_({"t:\\in\\installer.exe", "t:\\out\\extra.z"});
  // The folder of the archive does not exist: a clear failure, no file.
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_THAT(run.err, HasSubstr("t:\\out\\extra.z"));
  EXPECT_THAT(run.err, HasSubstr("folder not found"));

  fs::create_directories(Host("out"));
  ASSERT_EQ(Squash_({"t:\\in\\installer.exe", "t:\\out\\extra.z"}).exitCode, 0);
  EXPECT_THAT(Names("out/extra.z"), ElementsAre("installer.exe"));
  EXPECT_EQ(Data("out/extra.z", "installer.exe"), "MZ installer bytes");
}

TEST_F(Squash, ArchiveCarriesTheTimeOfItsNewestEntryNotOfTheRun) {
  using namespace std::chrono_literals;
  Put("stage/old.txt", "old");
  Put("stage/new.txt", "new");
  const auto base = fs::file_time_type::clock::now() - 48h;
  fs::last_write_time(Host("stage/old.txt"), base);
  fs::last_write_time(Host("stage/new.txt"), base + 1h);
  fs::create_directories(Host("out"));
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\out\\merged.z"}).exitCode, 0);
  const auto archiveTime = fs::last_write_time(Host("out/merged.z"));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(archiveTime - (base + 1h)).count(), 0);
}

TEST_F(Squash, FolderPatternTakesTheWholeTreeWithRelativeNamesInNameOrder) {
  MakeStagingTree();
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\lume.z"}).exitCode, 0);
  EXPECT_THAT(Names("lume.z"), ElementsAre("config/velomark.cfg", "program/defaults/bookmark.htm",
                                           "program/defaults/mail/inbox", "Readme.txt"));
  EXPECT_EQ(Data("lume.z", "program/defaults/mail/inbox"), "inbox");
}

TEST_F(Squash, PatternMatchesFileNamesInEveryFolder) {
  MakeStagingTree();
  ASSERT_EQ(Squash_({"t:\\stage\\*.htm", "t:\\pages.z"}).exitCode, 0);
  EXPECT_THAT(Names("pages.z"), ElementsAre("program/defaults/bookmark.htm"));
}

TEST_F(Squash, SingleFileOfTheStagingTreeIsStoredUnderItsFileNameWithItsLabel) {
  MakeStagingTree();
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\lume.z"}).exitCode, 0);
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\config\\velomark.cfg", "t:\\lume.z", "CONFIG"}).exitCode, 0);
  const ToolRun list = Squash_({"--list", "t:\\lume.z"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out,
            "6\tconfig/velomark.cfg\t\n"
            "22\tprogram/defaults/bookmark.htm\t\n"
            "5\tprogram/defaults/mail/inbox\t\n"
            "7\tReadme.txt\t\n"
            "6\tvelomark.cfg\tCONFIG\n");
}

struct MergeCase {
  const char* name;
  std::vector<std::string> options;
  std::string expectedData;
  std::string expectedLabel;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const MergeCase& c, std::ostream* os) {
  *os << c.name;
}

class SquashMerge : public Squash, public ::testing::WithParamInterface<MergeCase> {};

// An archive with "setup.ini" (old, labelled "asw") receives a new setup.ini
// spelled in other letter case; the options decide which one stays.
TEST_P(SquashMerge, ExistingEntryOfTheSameNameIsReplacedOnlyWithOverwrite) {
  Put("old/setup.ini", "old");
  ASSERT_EQ(Squash_({"-i", "t:\\old\\*.*", "t:\\as.z", "asw"}).exitCode, 0);
  Put("new/SETUP.INI", "new");
  Put("new/other.txt", "other");
  std::vector<std::string> arguments = GetParam().options;
  arguments.insert(arguments.end(), {"t:\\new\\*.*", "t:\\as.z"});
  const ToolRun run = Squash_(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::map<std::string, std::string> byLowerName;
  for (const ArchivedEntry& entry : Entries("as.z"))
    if (entry.name[0] != '.') byLowerName[entry.name == "SETUP.INI" ? "setup.ini" : entry.name] = entry.data;
  EXPECT_EQ(byLowerName.size(), 2u) << "one entry per name, whatever its case";
  EXPECT_EQ(byLowerName["setup.ini"], GetParam().expectedData);
  EXPECT_EQ(byLowerName["other.txt"], "other");
  const ToolRun list = Squash_({"--list", "t:\\as.z"});
  EXPECT_THAT(list.out, HasSubstr("\t" + GetParam().expectedLabel + "\n"));
}

INSTANTIATE_TEST_SUITE_P(Options, SquashMerge,
                         ::testing::Values(MergeCase{"Keep", {"-i"}, "old", "asw"},
                                           MergeCase{"Replace", {"-i", "-o"}, "new", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Squash, WithoutIncludeTheArchiveIsMadeAfresh) {
  Put("a/one.txt", "1");
  Put("b/two.txt", "2");
  ASSERT_EQ(Squash_({"t:\\a\\*.*", "t:\\m.z"}).exitCode, 0);
  ASSERT_EQ(Squash_({"t:\\b\\*.*", "t:\\m.z"}).exitCode, 0);
  EXPECT_THAT(Names("m.z"), ElementsAre("two.txt"));
  ASSERT_EQ(Squash_({"-i", "t:\\a\\*.*", "t:\\m.z"}).exitCode, 0);
  EXPECT_THAT(Names("m.z"), ElementsAre("one.txt", "two.txt"));
}

struct HiddenCase {
  const char* name;
  std::vector<std::string> options;
  std::vector<std::string> expected;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const HiddenCase& c, std::ostream* os) {
  *os << c.name;
}

class SquashHidden : public Squash, public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(SquashHidden, NamesStartingWithADotNeedSh) {
  Put("s/visible.txt", "v");
  Put("s/.profile", "p");
  Put("s/.cache/blob", "b");
  std::vector<std::string> arguments = GetParam().options;
  arguments.insert(arguments.end(), {"t:\\s\\*.*", "t:\\h.z"});
  ASSERT_EQ(Squash_(arguments).exitCode, 0);
  EXPECT_EQ(Names("h.z"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SquashHidden,
    ::testing::Values(HiddenCase{"Skipped", {"-i", "-o"}, {"visible.txt"}},
                      HiddenCase{"Included", {"-i", "-o", "-sh"}, {".cache/blob", ".profile", "visible.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Squash, LabelsOfEarlierEntriesSurviveLaterMerges) {
  Put("acct/asw.dat", "account");
  Put("more/extra.txt", "extra");
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\acct\\*.*", "t:\\as.z", "asw"}).exitCode, 0);
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\more\\*.*", "t:\\as.z"}).exitCode, 0);
  EXPECT_EQ(Squash_({"--list", "t:\\as.z"}).out, "7\tasw.dat\tasw\n5\textra.txt\t\n");
  // The labels travel in the entries themselves: no extra file to install.
  EXPECT_THAT(Names("as.z"), ElementsAre("asw.dat", "extra.txt"));
}

TEST_F(Squash, SameInputsGiveTheSameBytes) {
  MakeStagingTree();
  fs::permissions(Host("stage/Readme.txt"), fs::perms::owner_exec, fs::perm_options::add);
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\first.z", "L"}).exitCode, 0);
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\second.z", "L"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(Host("first.z")), ReadBytes(Host("second.z")));
  // Merging the same files again changes nothing either.
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\second.z", "L"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(Host("first.z")), ReadBytes(Host("second.z")));
}

TEST_F(Squash, EntriesKeepTheInputTimeAndTheExecutableBit) {
  Put("x/run.sh", "#!/bin/sh\n");
  Put("x/data.txt", "d");
  fs::permissions(Host("x/run.sh"), fs::perms::owner_exec, fs::perm_options::add);
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(Host("x/data.txt"), stamp);
  ASSERT_EQ(Squash_({"t:\\x\\*.*", "t:\\x.z"}).exitCode, 0);
  const std::vector<ArchivedEntry> entries = Entries("x.z");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "data.txt");
  EXPECT_EQ(entries[0].mode, 0644u);
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::file_clock::to_sys(stamp).time_since_epoch());
  EXPECT_EQ(entries[0].mtime, seconds.count());
  EXPECT_EQ(entries[1].mode, 0755u);
}

TEST_F(Squash, FailedMergeLeavesTheOldArchiveAndNoTemporaryFile) {
  Put("ok/a.txt", "a");
  ASSERT_EQ(Squash_({"t:\\ok\\*.*", "t:\\keep.z"}).exitCode, 0);
  const std::string before = ReadBytes(Host("keep.z"));
  // A link to nothing is listed but cannot be read: the run fails midway.
  Put("bad/a.txt", "changed");
  fs::create_symlink(Host("nowhere"), Host("bad/b.txt"));
  const ToolRun run = Squash_({"-i", "-o", "t:\\bad\\*.*", "t:\\keep.z"});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_THAT(run.err, HasSubstr("b.txt"));
  EXPECT_EQ(ReadBytes(Host("keep.z")), before);
  std::vector<std::string> left;
  for (const auto& item : fs::directory_iterator(root_)) left.push_back(item.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_THAT(left, ElementsAre("bad", "keep.z", "ok"));
}

struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;
  int exitCode;
  std::string message;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SquashFailure : public Squash, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SquashFailure, ExitsNonZeroNamingTheFileAndTheReason) {
  Put("there/file.txt", "x");
  Put("notzip.z", "this is not a zip archive");
  const ToolRun run = Squash_(GetParam().arguments);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_THAT(run.err, HasSubstr(GetParam().message));
  EXPECT_EQ(ReadBytes(Host("notzip.z")), "this is not a zip archive");
  EXPECT_FALSE(fs::exists(Host("out.z")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SquashFailure,
    ::testing::Values(
        FailureCase{"MissingFolder", {"-i", "-o", "t:\\gone\\*.*", "t:\\out.z"}, 2, "t:\\gone: folder not found"},
        FailureCase{"MissingFile", {"t:\\there\\nope.txt", "t:\\out.z"}, 2, "t:\\there\\nope.txt: file not found"},
        FailureCase{"FolderNamedAsFile", {"t:\\there", "t:\\out.z"}, 2, "is a folder"},
        FailureCase{"NoSuchDrive", {"q:\\a.txt", "t:\\out.z"}, 2, "q:\\a.txt"},
        FailureCase{"UnknownOption", {"-x", "t:\\there\\*.*", "t:\\out.z"}, 2, "not expected: -x"},
        FailureCase{"TooFewArguments", {"t:\\there\\*.*"}, 2, "expected SOURCE ARCHIVE"},
        FailureCase{"ExistingArchiveNotZip", {"-i", "t:\\there\\*.*", "t:\\notzip.z"}, 2, "t:\\notzip.z"},
        FailureCase{"ListOfMissingArchive", {"--list", "t:\\out.z"}, 2, "t:\\out.z: file not found"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Squash, EmptyMatchStillWritesTheArchive) {
  fs::create_directories(Host("empty"));
  ASSERT_EQ(Squash_({"-i", "-o", "-sh", "t:\\empty\\*.*", "t:\\e.z"}).exitCode, 0);
  EXPECT_TRUE(Names("e.z").empty());
}

TEST_F(Squash, HelpDescribesTheFormats) {
  const ToolRun run = Squash_({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_THAT(run.out, HasSubstr("comment"));
  EXPECT_THAT(run.out, HasSubstr("-sh"));
}

TEST(SquashOptions, EngineCommandLinesParse) {
  const SquashOptions merge =
      ParseSquashOptions({"-i", "-o", "-sh", "C:\\k\\custom\\temptree\\*.*", "C:\\as.z", "asw"});
  EXPECT_TRUE(merge.include && merge.overwrite && merge.hidden);
  EXPECT_EQ(merge.source, "C:\\k\\custom\\temptree\\*.*");
  EXPECT_EQ(merge.archive, "C:\\as.z");
  EXPECT_EQ(merge.label, "asw");
  const SquashOptions single = ParseSquashOptions({"C:\\setup.exe", "C:\\m.z"});
  EXPECT_FALSE(single.include || single.overwrite || single.hidden || single.label);
  EXPECT_THROW(ParseSquashOptions({"a", "b", "c", "d"}), ToolFailure);
  EXPECT_THROW(ParseSquashOptions({"a", "b", "bad\tlabel"}), ToolFailure);
}

}  // namespace
}  // namespace kc::tools::test

namespace kc::tools::test {
namespace {

// Each tool answers --version with the project's version and --help with its
// formats and exit statuses, whatever comes after on the line.
TEST(ToolCommandLine, VersionAndHelpOfEveryTool) {
  for (const char* tool : {"squash.exe", "pkgindex.exe", "sfxmaker.exe"}) {
    const ToolRun version = RunProgram(tool, {"--version"});
    EXPECT_EQ(version.exitCode, 0) << tool;
    EXPECT_EQ(version.out, std::string(tool) + " " + KC_TOOLS_VERSION + "\n") << tool;
    const ToolRun help = RunProgram(tool, {"--help"});
    EXPECT_EQ(help.exitCode, 0) << tool;
    EXPECT_THAT(help.out, HasSubstr("Exit status: 0 ")) << tool;
  }
}

}  // namespace
}  // namespace kc::tools::test
