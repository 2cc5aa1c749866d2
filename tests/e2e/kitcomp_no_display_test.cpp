// kitcomp started where there is no display: the wizard says so in one line
// and exits 2 (Qt would abort), while `kitcomp build` needs none.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "support/row_names.h"

namespace kc::e2e {
namespace {

struct NoDisplayCase {
  const char* arguments;
  int status;
  const char* said;  // on the one line of output; nullptr: the build's summary
  const char* why;
};

class NoDisplay : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplay, WizardExplainsAndTheBuildRuns) {
  const NoDisplayCase& c = GetParam();
  KitCopy kit;
  std::string output;
  const int status = kit.Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + KitCopy::Program() +
                                   " -C 'T:\\kit\\kitcomp' " + c.arguments,
                               &output);
  EXPECT_EQ(status, c.status) << c.why << "\n" << output;
  if (c.said != nullptr) {
    EXPECT_EQ(output.find('\n'), output.size() - 1) << c.why << ": not one line:\n" << output;
    EXPECT_NE(output.find(c.said), std::string::npos) << c.why << "\n" << output;
  } else {
    EXPECT_NE(output.find("Your installation creation is complete."), std::string::npos) << c.why << "\n" << output;
  }
}

INSTANTIATE_TEST_SUITE_P(Starts, NoDisplay,
                         ::testing::Values(NoDisplayCase{"", 2, "needs a display", "the wizard cannot open"},
                                           NoDisplayCase{"--from-menu", 2, "`kitcomp build` builds",
                                                         "a menu start without a display points to build"},
                                           NoDisplayCase{"build --no-download", 0, nullptr,
                                                         "the command line build needs no display"}),
                         kc::test::ByWhy{});

}  // namespace
}  // namespace kc::e2e
