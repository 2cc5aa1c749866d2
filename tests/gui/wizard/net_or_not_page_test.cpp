// The installer type page: what it shows for each stored value, what each
// click enables, and exactly which keys it writes on leaving.
#include <gtest/gtest.h>

#include "wizard_fixture.h"

namespace kc::test {
namespace {

constexpr int kLocalType = 1047;
constexpr int kNetworkType = 1046;
constexpr int kEndUserNetwork = 1051;
constexpr int kEndUserLocal = 1052;
constexpr int kLock = 1053;

using InstallerTypePage = WizardTest;

TEST_F(InstallerTypePage, WithoutNetOrLocalShowsTheNetworkTypeWithEndUserControlsEnabled) {
  OpenOn(kInstallerTypePage);
  EXPECT_FALSE(Checked(kLocalType));
  EXPECT_TRUE(Checked(kNetworkType));
  for (int id : {kEndUserNetwork, kEndUserLocal, kLock}) EXPECT_TRUE(Enabled(id)) << id;
  // No stored end-user state: the local drive.
  EXPECT_FALSE(Checked(kEndUserNetwork));
  EXPECT_TRUE(Checked(kEndUserLocal));
}

TEST_F(InstallerTypePage, LocalDisablesTheEndUserControlsAndLeavingWritesOnlyNetOrLocal) {
  SetChoices(
      "[Choices-32]\r\nNetOrLocal=Local\r\nEnd User Path Dialog Option State=Network\r\n"
      "End User Path Dialog Option=DISABLED\r\n");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(kLocalType));
  for (int id : {kEndUserNetwork, kEndUserLocal, kLock}) EXPECT_FALSE(Enabled(id)) << id;
  Next();
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  EXPECT_EQ(Choice("NetOrLocal"), "Local");
  // The end-user keys survive a visit to the local type.
  EXPECT_EQ(Choice("End User Path Dialog Option State"), "Network");
  EXPECT_EQ(Choice("End User Path Dialog Option"), "DISABLED");
}

TEST_F(InstallerTypePage, ChoosingLocalWritesNothingElseEvenWhenTheKeysWereAbsent) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(kLocalType);
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Local");
  EXPECT_FALSE(HasChoice("End User Path Dialog Option State"));
  EXPECT_FALSE(HasChoice("End User Path Dialog Option"));
}

TEST_F(InstallerTypePage, NetworkLeaveWritesAllThreeKeysFromTheControls) {
  SetChoices("[Choices-32]\r\nNetOrLocal=Net\r\n");
  OpenOn(kInstallerTypePage);
  ClickOnPage(kEndUserNetwork);
  ClickOnPage(kLock);
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
  EXPECT_TRUE(Checked(kLock));
  Next();
  EXPECT_EQ(Choice("End User Path Dialog Option"), "DISABLED");
}

TEST_F(InstallerTypePage, LockBoxIsClearedForEveryValueButExactlyDisabled) {
  for (const char* value : {"ENABLED", "disabled", "Disabled", ""}) {
    SetChoices(std::string("[Choices-32]\r\nNetOrLocal=Net\r\nEnd User Path Dialog Option=") + value + "\r\n");
    OpenOn(kInstallerTypePage);
    EXPECT_FALSE(Checked(kLock)) << '"' << value << '"';
    TearDown();
    SetUp();
  }
}

TEST_F(InstallerTypePage, EndUserStateIsNetworkOnlyForTheExactWord) {
  for (auto [value, network] : {std::pair{"Network", true}, std::pair{"network", false},
                                std::pair{"NETWORK", false}, std::pair{"Local", false}}) {
    SetChoices(std::string("[Choices-32]\r\nEnd User Path Dialog Option State=") + value + "\r\n");
    OpenOn(kInstallerTypePage);
    EXPECT_EQ(Checked(kEndUserNetwork), network) << value;
    EXPECT_EQ(Checked(kEndUserLocal), !network) << value;
    TearDown();
    SetUp();
  }
}

TEST_F(InstallerTypePage, NetOrLocalIsLocalOnlyForTheExactWord) {
  SetChoices("[Choices-32]\r\nNetOrLocal=local\r\n");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(kNetworkType));
  EXPECT_TRUE(Enabled(kEndUserNetwork));
  Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Net");
}

TEST_F(InstallerTypePage, SwitchingBackToNetworkShowsTheStoredSubChoiceNotTheLastClick) {
  SetChoices("[Choices-32]\r\nNetOrLocal=Net\r\nEnd User Path Dialog Option State=Network\r\n");
  OpenOn(kInstallerTypePage);
  ClickOnPage(kEndUserLocal);
  ClickOnPage(kLocalType);
  EXPECT_FALSE(Enabled(kEndUserLocal));
  // Disabling keeps the check states.
  EXPECT_TRUE(Checked(kEndUserLocal));
  ClickOnPage(kNetworkType);
  EXPECT_TRUE(Enabled(kEndUserLocal));
  EXPECT_TRUE(Checked(kEndUserNetwork));
  EXPECT_FALSE(Checked(kEndUserLocal));
}

TEST_F(InstallerTypePage, RadioClicksClearOnlyTheirOwnGroup) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(kEndUserNetwork);
  EXPECT_TRUE(Checked(kNetworkType));
  ClickOnPage(kLocalType);
  EXPECT_FALSE(Checked(kNetworkType));
  EXPECT_TRUE(Checked(kEndUserNetwork));
}

TEST_F(InstallerTypePage, ComingBackWithBackReloadsFromWhatTheLeaveWrote) {
  OpenOn(kInstallerTypePage);
  ClickOnPage(kEndUserNetwork);
  ClickOnPage(kLock);
  Next();
  Back();
  EXPECT_EQ(ActiveIndex(), kInstallerTypePage);
  EXPECT_TRUE(Checked(kNetworkType));
  EXPECT_TRUE(Checked(kEndUserNetwork));
  EXPECT_TRUE(Checked(kLock));
}

}  // namespace
}  // namespace kc::test
