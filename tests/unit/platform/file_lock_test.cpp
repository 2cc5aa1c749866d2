#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/drives.h"
#include "scratch_folder.h"

namespace {

using kc::platform::FileLock;
using Outcome = kc::platform::FileLock::Outcome;

class FileLockTest : public ::testing::Test {
 protected:
  void SetUp() override { win::DriveTable::Set({{"C:", scratch_.path()}}); }
  kc::test::PlatformState state_;
  kc::test::ScratchFolder scratch_;
};

TEST_F(FileLockTest, OneHolderAtATimeWhoIsNamedToTheOthers) {
  FileLock first;
  ASSERT_EQ(first.Take("C:\\kit.lock", "kitcomp build"), Outcome::kTaken);
  FileLock second;
  EXPECT_EQ(second.Take("C:\\kit.lock", "the Kit Composer window"), Outcome::kHeld);
  EXPECT_FALSE(second.held());
  EXPECT_EQ(second.holder().pid, ::getpid());
  EXPECT_EQ(second.holder().program, "kitcomp build");
  first.Release();
  EXPECT_EQ(second.Take("C:\\kit.lock", "the Kit Composer window"), Outcome::kTaken);
  FileLock moved = std::move(second);
  EXPECT_EQ(first.Take("C:\\kit.lock", "kitcomp build"), Outcome::kHeld) << "a moved lock still holds";

  // Never through a link: the holder's note would overwrite the file it names.
  kc::test::WriteFile(scratch_ / "precious.txt", "keep");
  ASSERT_EQ(::symlink("precious.txt", (scratch_ / "link.lock").c_str()), 0);
  EXPECT_EQ(FileLock().Take("C:\\link.lock", "x"), Outcome::kFailed);
  EXPECT_EQ(kc::test::ReadFile(scratch_ / "precious.txt"), "keep");
  EXPECT_EQ(FileLock().Take("C:\\missing\\kit.lock", "x"), Outcome::kFailed);
}

}  // namespace
