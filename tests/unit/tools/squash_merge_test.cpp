// squash's merge as the build relies on it: kept entries are copied as their
// compressed bytes are, the result equals a full rewrite, archives with the old
// label list are read and converted, names carry the UTF-8 flag, and the
// temporaries of interrupted writes and special files never get in.
#include <archive.h>
#include <archive_entry.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "common/zip_directory.h"
#include "tool_run.h"
#include "zip_read_back.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class SquashMergeCopy : public ScratchDrive {
 protected:
  ToolRun Squash(const std::vector<std::string>& arguments) { return RunProgram("squash.exe", arguments); }
  std::vector<zip::ZipEntry> Directory(const std::string& relative) {
    std::FILE* file = std::fopen(Host(relative).c_str(), "rb");
    EXPECT_TRUE(file) << relative;
    if (!file) return {};
    const std::vector<zip::ZipEntry> entries =
        zip::ReadZipDirectory(zip::ZipSource(file, 0, fs::file_size(Host(relative))));
    std::fclose(file);
    return entries;
  }
  void MakeStage(const std::string& at) {
    Put(at + "/program/defaults/bookmark.htm", std::string(5000, 'b') + "<html>bookmarks</html>");
    Put(at + "/config/velomark.cfg", "pref=1");
    Put(at + "/.hidden/profile", "hidden");
    Put(at + "/Readme.txt", "read me");
    fs::permissions(Host(at + "/Readme.txt"), fs::perms::owner_exec, fs::perm_options::add);
    for (const char* name : {"program/defaults/bookmark.htm", "config/velomark.cfg", ".hidden/profile", "Readme.txt"})
      fs::last_write_time(Host(at + "/" + name), fs::file_time_type::clock::now() - std::chrono::hours(30));
  }
};

// The two calls the build makes into lume.z (the staging tree, then the
// configuration file labelled CONFIG) against one run over the same files.
TEST_F(SquashMergeCopy, MergeGivesTheSameBytesAsAFullRewrite) {
  MakeStage("stage");
  ASSERT_EQ(Squash({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\merged.z", "L"}).exitCode, 0);
  Put("extra/velomark.cfg", "pref=2");
  ASSERT_EQ(Squash({"-i", "-o", "-sh", "t:\\extra\\velomark.cfg", "t:\\merged.z", "L"}).exitCode, 0);

  MakeStage("whole");
  fs::copy_file(Host("extra/velomark.cfg"), Host("whole/velomark.cfg"));
  fs::last_write_time(Host("whole/velomark.cfg"), fs::last_write_time(Host("extra/velomark.cfg")));
  ASSERT_EQ(Squash({"-i", "-o", "-sh", "t:\\whole\\*.*", "t:\\rewritten.z", "L"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(Host("merged.z")), ReadBytes(Host("rewritten.z")));
  EXPECT_EQ(Squash({"--list", "t:\\merged.z"}).out,
            "6\t.hidden/profile\tL\n6\tconfig/velomark.cfg\tL\n5022\tprogram/defaults/bookmark.htm\tL\n"
            "7\tReadme.txt\tL\n6\tvelomark.cfg\tL\n");
  // Another reader agrees on every entry.
  std::vector<std::string> names;
  for (const ArchivedEntry& entry :
       ReadZipContents(Host("merged.z").string(), "merged.z", [](const std::string&) { return true; }))
    names.push_back(entry.name + ":" + entry.data.substr(0, 6) + ":" + std::to_string(entry.mode));
  EXPECT_THAT(names, ElementsAre(".hidden/profile:hidden:420", "config/velomark.cfg:pref=1:420",
                                 "program/defaults/bookmark.htm:bbbbbb:420", "Readme.txt:read m:493",
                                 "velomark.cfg:pref=2:420"));
}

// An archive as earlier versions wrote it: libarchive's writer, entries stored
// rather than deflated, labels in a ".squash/labels" entry.
void WriteLegacyArchive(const fs::path& path) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  archive_write_set_format_option(a, "zip", "compression", "store");
  archive_write_open_filename(a, path.c_str());
  const struct {
    const char* name;
    std::string data;
    unsigned mode;
  } entries[] = {{".squash/labels", "asw.dat\tasw\nsub/notes.txt\tNOTES\n", 0644},
                 {"asw.dat", std::string(3000, 'a'), 0644},
                 {"run.sh", "#!/bin/sh\n", 0755},
                 {"sub/notes.txt", "notes", 0644}};
  for (const auto& item : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, item.name);
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, item.mode);
    archive_entry_set_size(entry, static_cast<la_int64_t>(item.data.size()));
    archive_entry_set_mtime(entry, 1600000000 + static_cast<int>(item.data.size()), 0);
    archive_write_header(a, entry);
    archive_write_data(a, item.data.data(), item.data.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
}

TEST_F(SquashMergeCopy, OldLabelListIsReadAndConvertedAndKeptEntriesAreNotRecompressed) {
  WriteLegacyArchive(Host("as.z"));
  const std::vector<zip::ZipEntry> before = Directory("as.z");
  EXPECT_EQ(Squash({"--list", "t:\\as.z"}).out, "3000\tasw.dat\tasw\n10\trun.sh\t\n5\tsub/notes.txt\tNOTES\n");

  Put("new/added.txt", "added");
  const ToolRun run = Squash({"-i", "-o", "-sh", "t:\\new\\*.*", "t:\\as.z", "NEW"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Squash({"--list", "t:\\as.z"}).out,
            "5\tadded.txt\tNEW\n3000\tasw.dat\tasw\n10\trun.sh\t\n5\tsub/notes.txt\tNOTES\n");
  const std::vector<zip::ZipEntry> after = Directory("as.z");
  ASSERT_EQ(after.size(), 4u) << "the old label list is gone";
  for (std::size_t i = 1; i < before.size(); ++i) {
    const zip::ZipEntry& old = before[i];
    const zip::ZipEntry& kept = after[i];
    EXPECT_EQ(kept.name, old.name);
    // Still stored: a merge that decompressed and re-deflated would shrink them.
    EXPECT_EQ(kept.method, old.method) << old.name;
    EXPECT_EQ(kept.compressedSize, old.compressedSize) << old.name;
    EXPECT_EQ(kept.crc, old.crc) << old.name;
    EXPECT_EQ(kept.mtime, old.mtime) << old.name;
    EXPECT_EQ(kept.mode, old.mode) << old.name;
  }
  const std::vector<ArchivedEntry> read =
      ReadZipContents(Host("as.z").string(), "as.z", [](const std::string&) { return true; });
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[1].data, std::string(3000, 'a'));
  EXPECT_EQ(read[2].mode, 0755u);
}

struct NameCase {
  const char* why;
  std::string name;
  bool utf8Flag;
};

TEST_F(SquashMergeCopy, Utf8FlagMarksNonAsciiUtf8NamesOnly) {
  const NameCase cases[] = {
      {"plain ASCII needs no flag", "plain.txt", false},
      {"UTF-8 name",
       "Caf\xc3\xa9 \xc2\xab"
       "Edition\xc2\xbb.txt",
       true},
      {"Windows-1252 bytes are not UTF-8: stored as they are, unflagged", "C\xe1mara.txt", false},
      {"an overlong form is not UTF-8", "bad\xc0\xafname.txt", false},
  };
  for (const NameCase& c : cases) Put("names/" + c.name, c.why);
  ASSERT_EQ(Squash({"t:\\names\\*.*", "t:\\names.z"}).exitCode, 0);
  const std::vector<zip::ZipEntry> entries = Directory("names.z");
  for (const NameCase& c : cases) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.name == c.name; });
    ASSERT_NE(found, entries.end()) << c.why;
    EXPECT_EQ((found->flags & (1u << 11)) != 0, c.utf8Flag) << c.why;
  }
}

TEST_F(SquashMergeCopy, LeftoverTemporariesNeverGetInEvenWithSh) {
  Put("stage/setup.ini", "ini");
  Put("stage/.setup.ini.tmp-0123456789ab", "half-written");
  Put("stage/config/.velomark.cfg.copy-00ff00ff00ff", "half-copied");
  Put("stage/lume.z.tmp-0123456789abcdef", "an interrupted archive");
  Put("stage/.profile", "a real hidden file");
  Put("stage/notes.tmp-draft", "a name that only looks similar");
  const ToolRun run = Squash({"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\out.z"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(Squash({"--list", "t:\\out.z"}).out, "18\t.profile\t\n30\tnotes.tmp-draft\t\n3\tsetup.ini\t\n");
  EXPECT_THAT(run.err, HasSubstr(".setup.ini.tmp-0123456789ab: skipped"));
}

TEST_F(SquashMergeCopy, SpecialFilesAreRefusedNotWaitedFor) {
  Put("stage/a.txt", "a");
  ASSERT_EQ(::mkfifo(Host("stage/pipe").c_str(), 0644), 0);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"-i", "-o", "-sh", "t:\\stage\\*.*", "t:\\out.z"}, {"t:\\stage\\pipe", "t:\\out.z"}}) {
    const ToolRun run = Squash(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments[3 % arguments.size()];
    EXPECT_THAT(run.err, HasSubstr("t:\\stage\\pipe: is a FIFO, not a file"));
    EXPECT_FALSE(fs::exists(Host("out.z")));
  }
}

}  // namespace
}  // namespace kc::tools::test
