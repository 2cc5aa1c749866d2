// The installer type page: what it shows for each stored value, what each
// click enables, and exactly which keys it writes on leaving.
#include <gtest/gtest.h>

#include "dialogs/dlg150_netornot_ids.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg150_netornot;

using InstallerTypePage = WizardTest;

TEST_F(InstallerTypePage, WithoutNetOrLocalShowsTheNetworkTypeWithEndUserControlsEnabled) {
  OpenOn(kInstallerTypePage);
  EXPECT_FALSE(Checked(IDC_LOCAL_TYPE));
  EXPECT_TRUE(Checked(IDC_NETWORK_TYPE));
  for (int id : {IDC_END_USER_NETWORK, IDC_END_USER_LOCAL, IDC_END_USER_LOCK}) EXPECT_TRUE(Enabled(id)) << id;
  // No stored end-user state: the local drive.
  EXPECT_FALSE(Checked(IDC_END_USER_NETWORK));
  EXPECT_TRUE(Checked(IDC_END_USER_LOCAL));
}

TEST_F(InstallerTypePage, LocalDisablesTheEndUserControlsAndLeavingWritesOnlyNetOrLocal) {
  SetChoices(
      "[Choices-32]\r\nNetOrLocal=Local\r\nEnd User Path Dialog Option State=Network\r\n"
      "End User Path Dialog Option=DISABLED\r\n");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(IDC_LOCAL_TYPE));
  for (int id : {IDC_END_USER_NETWORK, IDC_END_USER_LOCAL, IDC_END_USER_LOCK}) EXPECT_FALSE(Enabled(id)) << id;
  Next();
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  EXPECT_EQ(Choice("NetOrLocal"), "Local");
  // The end-user keys survive a visit to the local type.
  EXPECT_EQ(Choice("End User Path Dialog Option State"), "Network");
  EXPECT_EQ(Choice("End User Path Dialog Option"), "DISABLED");
}

TEST_F(InstallerTypePage, ChoosingLocalWritesNothingElseEvenWhenTheKeysWereAbsent) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(IDC_LOCAL_TYPE);
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Local");
  EXPECT_FALSE(HasChoice("End User Path Dialog Option State"));
  EXPECT_FALSE(HasChoice("End User Path Dialog Option"));
}

TEST_F(InstallerTypePage, NetworkLeaveWritesAllThreeKeysFromTheControls) {
  SetChoices("[Choices-32]\r\nNetOrLocal=Net\r\n");
  OpenOn(kInstallerTypePage);
  ClickOnPage(IDC_END_USER_NETWORK);
  ClickOnPage(IDC_END_USER_LOCK);
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Net");
  EXPECT_EQ(Choice("End User Path Dialog Option State"), "Network");
  EXPECT_EQ(Choice("End User Path Dialog Option"), "DISABLED");
}

TEST_F(InstallerTypePage, NetworkLeaveWithDefaultsWritesLocalAndEnabled) {
  OpenOn(kInstallerTypePage);
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Net");
  EXPECT_EQ(Choice("End User Path Dialog Option State"), "Local");
  EXPECT_EQ(Choice("End User Path Dialog Option"), "ENABLED");
}

// The lock box comes from the stored value, so reopening a locked network
// configuration and pressing Next keeps it locked.
TEST_F(InstallerTypePage, LockBoxIsLoadedFromTheStoredOptionAndSurvivesNext) {
  SetChoices("[Choices-32]\r\nNetOrLocal=Net\r\nEnd User Path Dialog Option=DISABLED\r\n");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(IDC_END_USER_LOCK));
  Next();
  EXPECT_EQ(Choice("End User Path Dialog Option"), "DISABLED");
}

TEST_F(InstallerTypePage, LockBoxIsClearedForEveryValueButExactlyDisabled) {
  for (const char* value : {"ENABLED", "disabled", "Disabled", ""}) {
    SetChoices(std::string("[Choices-32]\r\nNetOrLocal=Net\r\nEnd User Path Dialog Option=") + value + "\r\n");
    OpenOn(kInstallerTypePage);
    EXPECT_FALSE(Checked(IDC_END_USER_LOCK)) << '"' << value << '"';
    TearDown();
    SetUp();
  }
}

TEST_F(InstallerTypePage, EndUserStateIsNetworkOnlyForTheExactWord) {
  for (auto [value, network] : {std::pair{"Network", true}, std::pair{"network", false}, std::pair{"NETWORK", false},
                                std::pair{"Local", false}}) {
    SetChoices(std::string("[Choices-32]\r\nEnd User Path Dialog Option State=") + value + "\r\n");
    OpenOn(kInstallerTypePage);
    EXPECT_EQ(Checked(IDC_END_USER_NETWORK), network) << value;
    EXPECT_EQ(Checked(IDC_END_USER_LOCAL), !network) << value;
    TearDown();
    SetUp();
  }
}

TEST_F(InstallerTypePage, NetOrLocalIsLocalOnlyForTheExactWord) {
  SetChoices("[Choices-32]\r\nNetOrLocal=local\r\n");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(IDC_NETWORK_TYPE));
  EXPECT_TRUE(Enabled(IDC_END_USER_NETWORK));
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Net");
}

TEST_F(InstallerTypePage, SwitchingBackToNetworkShowsTheStoredSubChoiceNotTheLastClick) {
  SetChoices("[Choices-32]\r\nNetOrLocal=Net\r\nEnd User Path Dialog Option State=Network\r\n");
  OpenOn(kInstallerTypePage);
  ClickOnPage(IDC_END_USER_LOCAL);
  ClickOnPage(IDC_LOCAL_TYPE);
  EXPECT_FALSE(Enabled(IDC_END_USER_LOCAL));
  // Disabling keeps the check states.
  EXPECT_TRUE(Checked(IDC_END_USER_LOCAL));
  ClickOnPage(IDC_NETWORK_TYPE);
  EXPECT_TRUE(Enabled(IDC_END_USER_LOCAL));
  EXPECT_TRUE(Checked(IDC_END_USER_NETWORK));
  EXPECT_FALSE(Checked(IDC_END_USER_LOCAL));
}

TEST_F(InstallerTypePage, RadioClicksClearOnlyTheirOwnGroup) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(IDC_END_USER_NETWORK);
  EXPECT_TRUE(Checked(IDC_NETWORK_TYPE));
  ClickOnPage(IDC_LOCAL_TYPE);
  EXPECT_FALSE(Checked(IDC_NETWORK_TYPE));
  EXPECT_TRUE(Checked(IDC_END_USER_NETWORK));
}

TEST_F(InstallerTypePage, ComingBackWithBackReloadsFromWhatTheLeaveWrote) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(IDC_END_USER_NETWORK);
  ClickOnPage(IDC_END_USER_LOCK);
  Next();
  Back();
  EXPECT_EQ(ActiveIndex(), kInstallerTypePage);
  EXPECT_TRUE(Checked(IDC_NETWORK_TYPE));
  EXPECT_TRUE(Checked(IDC_END_USER_NETWORK));
  EXPECT_TRUE(Checked(IDC_END_USER_LOCK));
}

}  // namespace
}  // namespace kc::test
