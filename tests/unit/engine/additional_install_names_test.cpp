#include "engine/additional_install_names.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace kc::engine {
namespace {

using Kind = ModuleNameClash::Kind;

struct ClashCase {
  const char* why;
  const char* name;
  const char* other;  // the other included slot's name; nullptr when it is not included
  Kind kind;
  const char* taker;
};

class ModuleNameRule : public ::testing::TestWithParam<ClashCase> {};

// The one rule of the page and the build, on the names a kit reserves.
TEST_P(ModuleNameRule, RefusesTheNamesTheInstallerAlreadyUses) {
  test::TempDrive drive;
  test::MakeKit(drive);
  drive.Write("kit/source/install/extras/notes.txt", "a folder of the installer's: it reaches no image");
  const ClashCase& c = GetParam();
  const std::string other = c.other ? c.other : "";
  const ModuleNameClash clash =
      ModuleFileNameClash(c.name, c.other ? &other : nullptr, LoadReservedModuleNames("T:\\kit"));
  EXPECT_EQ(clash.kind, c.kind);
  if (c.taker) EXPECT_EQ(clash.taker, c.taker);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModuleNameRule,
    ::testing::Values(ClashCase{"a_free_name_passes", "viewer", "tools", Kind::kNone, ""},
                      ClashCase{"an_empty_name_is_none", "", nullptr, Kind::kEmpty, nullptr},
                      ClashCase{"a_name_that_climbs_out_is_no_file_name", "..\\kitcomp", nullptr,
                                Kind::kNotPlainFileName, nullptr},
                      ClashCase{"the_other_slot_has_it_in_any_case", "tools", "TOOLS", Kind::kOtherSlot, ""},
                      ClashCase{"an_excluded_other_slot_takes_nothing", "tools", nullptr, Kind::kNone, ""},
                      ClashCase{"the_stem_of_an_installer_file", "README", nullptr, Kind::kInstallerFile, "readme.txt"},
                      ClashCase{"a_folder_of_the_installer_takes_no_name", "extras", nullptr, Kind::kNone, ""},
                      ClashCase{"a_module_of_the_program_ini_lists", "Cal", nullptr, Kind::kDeliveredModule, "cal"},
                      ClashCase{"a_module_every_kit_delivers", "addinst", nullptr, Kind::kDeliveredModule, "addinst"}),
    [](const ::testing::TestParamInfo<ClashCase>& info) { return std::string(info.param.why); });

}  // namespace
}  // namespace kc::engine
