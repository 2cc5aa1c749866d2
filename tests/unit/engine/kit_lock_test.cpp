// Taking the kit for a run starts by removing what interrupted runs left in the
// work areas, and nothing else.
#include "engine/kit_lock.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace kc::engine {
namespace {

TEST(ReserveKit, RemovesOnlyTheWritersTemporaryFilesFromTheWorkAreas) {
  test::TempDrive drive;
  const config::RunPaths paths = test::MakeKit(drive);
  struct Planted {
    const char* file;
    bool removed;
    const char* why;
  };
  const Planted planted[] = {
      {"kit/custom/temptree/config/.velomark.cfg.copy-0123456789ab", true, "an interrupted copy in the staging tree"},
      {"kit/custom/temptree/program/defaults/.pab.ab2.copy-0a1b2c3d4e5f", true, "deeper in the staging tree"},
      {"kit/custom/tempmod/lume.z.tmp-0123456789abcdef", true, "a killed squash of the tools' earlier version"},
      {"kit/custom/engine/.setup.ini.tmp-abcdef012345", true, "an interrupted settings write"},
      {"kit/source/modules/.cal.z.copy-0123456789ab", true, "an interrupted copy among the modules"},
      {"kit/kitcomp/.setup.pkg.tmp-0123456789ab", true, "a killed pkgindex"},
      {"kit/custom/temptree/.notes.tmp-draft", false, "a user's hidden file that only looks alike"},
      {"kit/custom/temptree/program/bookmark.htm", false, "a staged customization file"},
      {"kit/source/install/.setup.exe.copy-0123456789ab", false, "outside the work areas"},
      {"kit/source/modules/sub/.x.z.copy-0123456789ab", false, "below the modules folder, which is not searched"},
  };
  for (const Planted& p : planted) drive.Write(p.file, "x");
  ASSERT_TRUE(ReserveKit(paths, "kitcomp build"));
  for (const Planted& p : planted) EXPECT_EQ(drive.Exists(p.file), !p.removed) << p.file << ": " << p.why;
}

}  // namespace
}  // namespace kc::engine
