// The components page: lists built from the program INI file and the choices
// file, the add and remove rules, and the main module written on leaving.
#include <gtest/gtest.h>

#include <QListWidget>

#include "config/profile_access.h"
#include "dialogs/dlg129_components_ids.h"
#include "framework/controls.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg129_components;

class ComponentsPage : public WizardTest {
 protected:
  fw::CListBox List(int id) const { return Page()->ListBox(id); }
  std::vector<std::string> Items(int id) const {
    std::vector<std::string> items;
    for (int i = 0; i < List(id).GetCount(); ++i) items.push_back(List(id).GetText(i));
    return items;
  }
  int SelectedCount(int id) const { return List(id).GetSelCount(); }
  // Selects items by clicking them, as the user does.
  void Select(int id, std::initializer_list<int> indexes) {
    for (int i : indexes) ClickListItem(Page(), id, i);
  }
  void SelectFirst(int id, int count) {
    for (int i = 0; i < count; ++i) ClickListItem(Page(), id, i);
  }
  // A program INI file offering `count` ordinary components "Component 01"...
  void OfferMany(int count) {
    std::string ini =
        "[Kit Composer]\r\nLUMENARY VERSION NAME 32=Lumenary 4.5\r\n[Main Modules 32]\r\nLumenary 4.5=lume\r\n"
        "[Available 32]\r\n";
    for (int i = 1; i <= count; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "Component %02d=mod%02d\r\n", i, i);
      ini += line;
    }
    SetProgramIni(ini);
  }
};

TEST_F(ComponentsPage, OffersBothCatalogueSectionsSortedWithoutRegardToCase) {
  SetProgramIni("[Available 32]\r\nzeta=z\r\nAlpha=a\r\nbeta=b\r\n[Multimedia 32]\r\nGamma=g\r\nalpha=dup\r\n");
  OpenOn(kComponentsPage);
  // "alpha" in both sections is offered once.
  EXPECT_EQ(Items(IDC_AVAILABLE), (std::vector<std::string>{"Alpha", "beta", "Gamma", "zeta"}));
  EXPECT_EQ(SelectedCount(IDC_AVAILABLE), 0);
}

TEST_F(ComponentsPage, IncludedListShowsBothChoiceSectionsEvenForComponentsNoLongerOffered) {
  SetChoices("[Mods-32]\r\nChat=chat\r\nRetired Tool=old\r\n[MMMods-32]\r\nAudio Player=audio\r\nchat=dup\r\n");
  OpenOn(kComponentsPage);
  EXPECT_EQ(Items(IDC_INCLUDED), (std::vector<std::string>{"Audio Player", "Chat", "Retired Tool"}));
  EXPECT_EQ(List(IDC_AVAILABLE).FindStringExact(-1, "Retired Tool"), fw::LB_ERR);
}

TEST_F(ComponentsPage, AddWritesOrdinaryModulesToModsAndMultimediaToMMMods) {
  OpenOn(kComponentsPage);
  // Available: Audio Player, Calendar, Chat, News Reader, Video Player.
  Select(IDC_AVAILABLE, {0, 1});
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(Items(IDC_INCLUDED), (std::vector<std::string>{"Audio Player", "Calendar"}));
  EXPECT_EQ(Choice("Calendar", "Mods-32"), "cal");
  EXPECT_EQ(Choice("Audio Player", "MMMods-32"), "audio");
  EXPECT_FALSE(HasChoice("Audio Player", "Mods-32"));
  // Adding never removes from the offer, and clears the selection.
  EXPECT_EQ(List(IDC_AVAILABLE).GetCount(), 5);
  EXPECT_EQ(SelectedCount(IDC_AVAILABLE), 0);
}

TEST_F(ComponentsPage, AddingAnIncludedComponentWritesNothingAndOnlyClearsItsSelection) {
  SetChoices("[Mods-32]\r\nchat=custom value\r\n");
  OpenOn(kComponentsPage);
  const std::string before = ChoicesText();
  Select(IDC_AVAILABLE, {2});  // Chat
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(ChoicesText(), before);
  EXPECT_EQ(Items(IDC_INCLUDED), (std::vector<std::string>{"chat"}));
  EXPECT_EQ(SelectedCount(IDC_AVAILABLE), 0);
}

TEST_F(ComponentsPage, ComponentWithEmptyOrdinaryValueIsRecordedAsMultimedia) {
  SetProgramIni("[Available 32]\r\nOdd One=\r\n[Multimedia 32]\r\nOdd One=odd\r\nNowhere=\r\n");
  OpenOn(kComponentsPage);
  Select(IDC_AVAILABLE, {0, 1});  // Nowhere, Odd One
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(Choice("Odd One", "MMMods-32"), "odd");
  EXPECT_TRUE(HasChoice("Nowhere", "MMMods-32"));
  EXPECT_EQ(Choice("Nowhere", "MMMods-32"), "");
  EXPECT_FALSE(HasChoice("Odd One", "Mods-32"));
}

TEST_F(ComponentsPage, ValuesAreReadWithRoomFor29Characters) {
  SetProgramIni("[Available 32]\r\nLong=abcdefghijklmnopqrstuvwxyz0123456789\r\n");
  OpenOn(kComponentsPage);
  Select(IDC_AVAILABLE, {0});
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(Choice("Long", "Mods-32"), "abcdefghijklmnopqrstuvwxyz012");
}

TEST_F(ComponentsPage, OnePressAddsAtMostTwentyAndLeavesTheRestSelected) {
  OfferMany(25);
  OpenOn(kComponentsPage);
  SelectFirst(IDC_AVAILABLE, 25);
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(List(IDC_INCLUDED).GetCount(), 20);
  EXPECT_EQ(List(IDC_INCLUDED).GetText(19), "Component 20");
  EXPECT_EQ(SelectedCount(IDC_AVAILABLE), 5);
  EXPECT_GT(List(IDC_AVAILABLE).GetSel(20), 0);
  EXPECT_FALSE(HasChoice("Component 21", "Mods-32"));
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(List(IDC_INCLUDED).GetCount(), 25);
  EXPECT_EQ(Choice("Component 25", "Mods-32"), "mod25");
  EXPECT_EQ(SelectedCount(IDC_AVAILABLE), 0);
}

TEST_F(ComponentsPage, OnePressRemovesAtMostFifteenAndLeavesTheRestSelected) {
  std::string mods = "[Mods-32]\r\n";
  for (int i = 1; i <= 18; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "Component %02d=mod%02d\r\n", i, i);
    mods += line;
  }
  SetChoices(mods);
  OpenOn(kComponentsPage);
  SelectFirst(IDC_INCLUDED, 18);
  ClickOnPage(IDC_REMOVE);
  EXPECT_EQ(Items(IDC_INCLUDED), (std::vector<std::string>{"Component 16", "Component 17", "Component 18"}));
  EXPECT_EQ(SelectedCount(IDC_INCLUDED), 3);
  EXPECT_FALSE(HasChoice("Component 15", "Mods-32"));
  EXPECT_EQ(Choice("Component 16", "Mods-32"), "mod16");
}

TEST_F(ComponentsPage, RemovingScatteredItemsRemovesExactlyThoseItems) {
  SetChoices("[Mods-32]\r\nA=a\r\nB=b\r\nC=c\r\nD=d\r\nE=e\r\n");
  OpenOn(kComponentsPage);
  Select(IDC_INCLUDED, {1, 3, 4});
  ClickOnPage(IDC_REMOVE);
  EXPECT_EQ(Items(IDC_INCLUDED), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(config::ReadAllKeys(paths.choicesFile, "Mods-32"), (std::vector<std::string>{"A", "C"}));
}

TEST_F(ComponentsPage, RemoveDeletesTheKeyFromBothSections) {
  SetChoices("[Mods-32]\r\nChat=chat\r\n[MMMods-32]\r\nChat=stray\r\nAudio Player=audio\r\n");
  OpenOn(kComponentsPage);
  Select(IDC_INCLUDED, {1});  // Audio Player, Chat: Chat
  ClickOnPage(IDC_REMOVE);
  EXPECT_FALSE(HasChoice("Chat", "Mods-32"));
  EXPECT_FALSE(HasChoice("Chat", "MMMods-32"));
  EXPECT_TRUE(HasChoice("Audio Player", "MMMods-32"));
}

TEST_F(ComponentsPage, RemovedComponentAddedAgainGetsTheCatalogueValueAgain) {
  SetChoices("[Mods-32]\r\nChat=edited\r\n");
  OpenOn(kComponentsPage);
  Select(IDC_INCLUDED, {0});
  ClickOnPage(IDC_REMOVE);
  Select(IDC_AVAILABLE, {2});  // Chat
  ClickOnPage(IDC_ADD);
  EXPECT_EQ(Choice("Chat", "Mods-32"), "chat");
}

TEST_F(ComponentsPage, LongCatalogueIsReadWhole) {
  // Far more than a 200-character key list holds.
  OfferMany(40);
  OpenOn(kComponentsPage);
  EXPECT_EQ(List(IDC_AVAILABLE).GetCount(), 40);
  EXPECT_EQ(List(IDC_AVAILABLE).GetText(39), "Component 40");
}

TEST_F(ComponentsPage, LeavingByNextOrBackWritesTheMainModule) {
  OpenOn(kComponentsPage);
  Next();
  EXPECT_EQ(Choice("Lumenary 4.5", "Main Modules 32"), "lume");
  SetChoices("[Global]\r\n");
  Back();
  ASSERT_EQ(ActiveIndex(), kComponentsPage);
  Back();
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  EXPECT_EQ(Choice("Lumenary 4.5", "Main Modules 32"), "lume");
}

TEST_F(ComponentsPage, WithoutAVersionNameNothingIsWrittenOnLeaving) {
  SetProgramIni("[Available 32]\r\nChat=chat\r\n[Main Modules 32]\r\nLumenary 4.5=lume\r\n");
  OpenOn(kComponentsPage);
  const std::string before = ChoicesText();
  Next();
  EXPECT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_EQ(ChoicesText(), before);
}

TEST_F(ComponentsPage, ListsAreRebuiltAtEveryActivation) {
  OpenOn(kComponentsPage);
  Select(IDC_AVAILABLE, {1});
  ClickOnPage(IDC_ADD);
  Next();
  config::WriteValue(paths.choicesFile, "Mods-32", "Calendar", nullptr);
  Back();
  EXPECT_TRUE(Items(IDC_INCLUDED).empty());
}

}  // namespace
}  // namespace kc::test
