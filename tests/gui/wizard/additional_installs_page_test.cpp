// The additional installs page: slot enabling, the checks in their order and
// what stays written after a refusal, trimming, the module file name, and the
// refusals of names that would clash inside the generated installer.
#include <gtest/gtest.h>

#include "dialogs/dlg147_addinstalls_ids.h"
#include "engine/additional_install_names.h"
#include "framework/app.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg147_addinstalls;

constexpr int kSlot1Controls[] = {IDC_PATH_1, IDC_BROWSE_1, IDC_CLEAR_1, IDC_DESCRIPTION_1, IDC_SIZE_1};
constexpr int kSlot2Controls[] = {IDC_PATH_2, IDC_BROWSE_2, IDC_CLEAR_2, IDC_DESCRIPTION_2, IDC_SIZE_2};

struct Derivation {
  const char* path;
  int slot;
  const char* name;
};

class ModuleFileNameTest : public ::testing::TestWithParam<Derivation> {};

TEST_P(ModuleFileNameTest, TakesTheLastComponentUpToItsFirstDot) {
  EXPECT_EQ(engine::DeriveModuleFileName(GetParam().path, GetParam().slot), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, ModuleFileNameTest,
                         ::testing::Values(Derivation{"C:\\i\\setup32.exe", 1, "setup32"},
                                           Derivation{"C:\\i\\my.setup.exe", 1, "my"},
                                           Derivation{"C:\\i\\tool.beta.exe", 2, "tool"},
                                           Derivation{"C:\\i\\.x", 1, ""}, Derivation{"C:\\i\\.x", 2, ".x"},
                                           Derivation{"C:\\i\\.x.exe", 2, ".x"}, Derivation{"C:\\i\\noext", 1, "noext"},
                                           Derivation{"tool.exe", 1, "tool"}, Derivation{"C:\\i.d\\tool", 2, "tool"},
                                           Derivation{"C:/files/My Tool.exe", 1, "My Tool"},
                                           Derivation{"C:\\files/setup32.exe", 2, "setup32"}));

class AdditionalInstallsTest : public WizardTest {
 protected:
  void FillSlot1(const std::string& path, const std::string& description, const std::string& size) {
    TypeText(Page(), IDC_PATH_1, path);
    TypeText(Page(), IDC_DESCRIPTION_1, description);
    TypeText(Page(), IDC_SIZE_1, size);
  }
  void FillSlot2(const std::string& path, const std::string& description, const std::string& size) {
    TypeText(Page(), IDC_PATH_2, path);
    TypeText(Page(), IDC_DESCRIPTION_2, description);
    TypeText(Page(), IDC_SIZE_2, size);
  }
};

TEST_F(AdditionalInstallsTest, ShowsItsCaptionLabelsAndButtonsWordForWord) {
  OpenOn(kAdditionalInstallsPage);
  EXPECT_EQ(Page()->GetCaption(), "Additional Installs");
  for (const char* text :
       {"You can add installers for two other products here.  Each must be in a single executable file and will "
        "be run when the main installation completes.",
        "Specify the path to the executable (.exe) file of your custom component (s)",
        "Path to executable:", "Descriptive module name:", "Size (in bytes)"}) {
    EXPECT_TRUE(PageShowsText(text)) << text;
  }
  EXPECT_EQ(Text(IDC_INCLUDE_1), "Include a third party installer");
  EXPECT_EQ(Text(IDC_INCLUDE_2), "Include an additional third party installer");
  for (int id : {IDC_BROWSE_1, IDC_BROWSE_2}) EXPECT_EQ(Text(id), "Browse") << id;
  for (int id : {IDC_CLEAR_1, IDC_CLEAR_2}) EXPECT_EQ(Text(id), "Clear") << id;
}

TEST_F(AdditionalInstallsTest, SlotsAreEnabledExactlyWhenTheirBoxIsChecked) {
  SetChoices(
      "[Choices-32]\r\nInclude Additional Install 1=YES\r\nInclude Additional Install 2=yes\r\n"
      "Additional Install 2 Path=C:\\old.exe\r\nAdditional Install 2 Description=Old\r\n");
  OpenOn(kAdditionalInstallsPage);
  EXPECT_TRUE(Checked(IDC_INCLUDE_1));
  EXPECT_FALSE(Checked(IDC_INCLUDE_2));
  for (int id : kSlot1Controls) EXPECT_TRUE(Enabled(id)) << id;
  for (int id : kSlot2Controls) EXPECT_FALSE(Enabled(id)) << id;
  // The stored values show, disabled.
  EXPECT_EQ(Text(IDC_PATH_2), "C:\\old.exe");
  EXPECT_EQ(Text(IDC_DESCRIPTION_2), "Old");
  Click(Page(), IDC_INCLUDE_2);
  for (int id : kSlot2Controls) EXPECT_TRUE(Enabled(id)) << id;
  Click(Page(), IDC_INCLUDE_1);
  for (int id : kSlot1Controls) EXPECT_FALSE(Enabled(id)) << id;
  Click(Page(), IDC_INCLUDE_2);
  EXPECT_EQ(Text(IDC_PATH_2), "C:\\old.exe");  // disabling empties nothing
}

TEST_F(AdditionalInstallsTest, BothBoxesClearedWriteOnlyTheIncludeKeys) {
  SetChoices("[Choices-32]\r\nAdditional Install 1 Path=C:\\keep.exe\r\nAdditional Install 2 Size=12\r\n");
  OpenOn(kAdditionalInstallsPage);
  Next();
  EXPECT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_EQ(Choice("Include Additional Install 1"), "NO");
  EXPECT_EQ(Choice("Include Additional Install 2"), "NO");
  EXPECT_EQ(Choice("Additional Install 1 Path"), "C:\\keep.exe");
  EXPECT_EQ(Choice("Additional Install 2 Size"), "12");
  EXPECT_FALSE(HasChoice("Additional Install 1 Filename"));
  EXPECT_TRUE(prompts->Requests().empty());
}

// Slot 1 included with these entries: the message shown and the keys that
// the checks passed before it wrote.
struct CheckCase {
  const char* path;
  const char* description;
  const char* size;
  const char* message;
  bool pathWritten;
  bool descriptionWritten;
};

class CheckOrderTest : public AdditionalInstallsTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckOrderTest, RefusesAtTheFirstFailedCheckKeepingWhatWasWritten) {
  const CheckCase c = GetParam();
  MakeFile("C:\\inst\\tool.exe");
  SetChoices("[Choices-32]\r\nInclude Additional Install 2=odd\r\n");
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  Click(Page(), IDC_INCLUDE_2);  // slot 2 included too: untouched after slot 1 fails
  FillSlot1(c.path, c.description, c.size);
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text, c.message);
  EXPECT_EQ(prompts->Requests()[0].caption, fw::AfxGetAppName());
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
  EXPECT_EQ(Choice("Include Additional Install 1"), "YES");
  EXPECT_EQ(HasChoice("Additional Install 1 Path"), c.pathWritten);
  EXPECT_EQ(HasChoice("Additional Install 1 Description"), c.descriptionWritten);
  EXPECT_FALSE(HasChoice("Additional Install 1 Size"));
  EXPECT_FALSE(HasChoice("Additional Install 1 Filename"));
  EXPECT_EQ(Choice("Include Additional Install 2"), "odd");
  EXPECT_EQ(Text(IDC_PATH_1), c.path);  // the texts stay as typed
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CheckOrderTest,
    ::testing::Values(
        CheckCase{"", "", "", "You must specify the path to the executable.", false, false},
        CheckCase{"   ", "Tool", "10", "You must specify the path to the executable.", false, false},
        CheckCase{"C:\\inst\\none.exe", "Tool", "10", "The installer path you specified is invalid.", false, false},
        CheckCase{"C:\\inst\\tool.exe", "  ", "10", "You must enter a descriptive module name.", true, false},
        CheckCase{"C:\\inst\\tool.exe", "Tool", " ", "You must specify a size value for the installer.", true, true}));

TEST_F(AdditionalInstallsTest, BackRunsTheSameChecks) {
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_2);
  prompts->AnswerMessageBox(fw::IDOK);
  Back();
  EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  EXPECT_EQ(prompts->Requests().at(0).text, "You must specify the path to the executable.");
  EXPECT_EQ(Choice("Include Additional Install 1"), "NO");
  EXPECT_EQ(Choice("Include Additional Install 2"), "YES");
}

TEST_F(AdditionalInstallsTest, StoresTrimmedEntriesAndTheDerivedNamesOfBothSlots) {
  MakeFile("C:\\inst\\tool.beta.exe");
  MakeFile("C:\\other\\.hidden.exe");
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  Click(Page(), IDC_INCLUDE_2);
  FillSlot1("C:\\inst\\tool.beta.exe   ", "  Tool Suite  ", "abc ");
  FillSlot2("C:\\other\\.hidden.exe", "Hidden", "2000");
  Next();
  ASSERT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_EQ(Choice("Additional Install 1 Path"), "C:\\inst\\tool.beta.exe");
  EXPECT_EQ(Choice("Additional Install 1 Description"), "Tool Suite");  // leading blanks: the INI trims them
  EXPECT_EQ(Choice("Additional Install 1 Size"), "abc");
  EXPECT_EQ(Choice("Additional Install 1 Filename"), "tool");
  EXPECT_EQ(Choice("Additional Install 2 Filename"), ".hidden");
  Back();
  ASSERT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  EXPECT_EQ(Text(IDC_PATH_1), "C:\\inst\\tool.beta.exe   ");  // the field keeps what was typed
}

// Names that would break the generated installer, refused in a fixed order.
struct ClashCase {
  const char* slot1File;
  const char* slot1Description;
  const char* slot2File;  // nullptr: slot 2 not included
  const char* message;
};

class NameClashTest : public AdditionalInstallsTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(NameClashTest, RefusesBeforeWritingTheFileName) {
  const ClashCase c = GetParam();
  MakeFile(c.slot1File);
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  FillSlot1(c.slot1File, c.slot1Description, "100");
  if (c.slot2File != nullptr) {
    MakeFile(c.slot2File);
    Click(Page(), IDC_INCLUDE_2);
    FillSlot2(c.slot2File, "Second", "200");
  }
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text, c.message);
  EXPECT_EQ(prompts->Requests()[0].caption, fw::AfxGetAppName());
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
  EXPECT_TRUE(HasChoice("Additional Install 1 Size"));
  EXPECT_FALSE(HasChoice("Additional Install 1 Filename"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameClashTest,
    ::testing::Values(
        ClashCase{"C:\\a\\tool.exe", "Tools=Extra", nullptr,
                  "The descriptive module name \"Tools=Extra\" cannot be used as a component name of the "
                  "installer. A name may not contain \"=\"."},
        ClashCase{"C:\\a\\tool.exe", "[Tools]", nullptr,
                  "The descriptive module name \"[Tools]\" cannot be used as a component name of the installer. "
                  "A name may not begin with \"[\" or \";\"."},
        ClashCase{"C:\\a\\tool.exe", ";Tools", nullptr,
                  "The descriptive module name \";Tools\" cannot be used as a component name of the installer. "
                  "A name may not begin with \"[\" or \";\"."},
        // The description is checked before the file name.
        ClashCase{"C:\\a\\setup.exe", "a=b", nullptr,
                  "The descriptive module name \"a=b\" cannot be used as a component name of the installer. "
                  "A name may not contain \"=\"."},
        // A description that names a component would replace it in [Components].
        ClashCase{"C:\\a\\tool.exe", "chat", nullptr,
                  "The descriptive module name \"chat\" is already the name of a component of the installer "
                  "(\"Chat\"). Please choose another name."},
        ClashCase{"C:\\a\\tool.exe", "Lumenary 4.5", nullptr,
                  "The descriptive module name \"Lumenary 4.5\" is already the name of a component of the "
                  "installer (\"Lumenary 4.5\"). Please choose another name."},
        // The descriptions are checked before the file names.
        ClashCase{"C:\\a\\lume.exe", "News Reader", nullptr,
                  "The descriptive module name \"News Reader\" is already the name of a component of the "
                  "installer (\"News Reader\"). Please choose another name."},
        ClashCase{"C:\\a\\tool.exe", " second", "C:\\b\\other.exe",
                  "Both additional installers have the descriptive module name \" second\". Please give each its "
                  "own name."},
        ClashCase{"C:\\a\\Tool.exe", "First", "C:\\b\\tool.x.exe",
                  "Both additional installers would become the installer module \"Tool\". Please rename one of "
                  "the executables."},
        ClashCase{"C:\\a\\setup.exe", "Mine", nullptr,
                  "The executable's name \"setup\" is taken by the installer's own file \"setup.exe\". Please "
                  "rename the executable."},
        ClashCase{"C:\\a\\README.exe", "Mine", nullptr,
                  "The executable's name \"README\" is taken by the installer's own file \"readme.txt\". Please "
                  "rename the executable."},
        ClashCase{"C:\\a\\lume.exe", "Mine", nullptr,
                  "The executable's name \"lume\" is taken by a module that the installer delivers (\"lume\"). "
                  "Please rename the executable."},
        ClashCase{"C:\\a\\Cal.exe", "Mine", nullptr,
                  "The executable's name \"Cal\" is taken by a module that the installer delivers (\"cal\"). "
                  "Please rename the executable."},
        ClashCase{"C:\\a\\audio.exe", "Mine", nullptr,
                  "The executable's name \"audio\" is taken by a module that the installer delivers (\"audio\"). "
                  "Please rename the executable."},
        ClashCase{"C:\\a\\addinst.exe", "Mine", nullptr,
                  "The executable's name \"addinst\" is taken by a module that the installer delivers "
                  "(\"addinst\"). Please rename the executable."},
        // Module names that are no plain file names: the rule Finish applies too.
        ClashCase{"C:\\a\\.profile.exe", "Mine", nullptr,
                  "The executable's name begins with \".\", so it gives no installer module name. Please rename "
                  "the executable."},
        ClashCase{"C:\\a\\con.exe", "Mine", nullptr,
                  "The executable would become the installer module \"con\", which is not a plain file name: it is "
                  "the name of a Windows device. Please rename the executable."},
        ClashCase{"C:\\a\\a|b.exe", "Mine", nullptr,
                  "The executable would become the installer module \"a|b\", which is not a plain file name: it "
                  "contains the character |, which Windows does not allow in file names. Please rename the "
                  "executable."},
        ClashCase{"C:\\a\\tool .exe", "Mine", nullptr,
                  "The executable would become the installer module \"tool \", which is not a plain file name: it "
                  "ends with a dot or a blank, which Windows drops from file names. Please rename the "
                  "executable."}));

TEST_F(AdditionalInstallsTest, ADescriptionThatTheSourceInstallerGivesAComponentIsRefused) {
  WriteFile(paths.sourceSetupIni, "[Product Defaults]\r\n[Components]\r\nBase Files=base\r\n");
  MakeFile("C:\\a\\tool.exe");
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  FillSlot1("C:\\a\\tool.exe", "BASE FILES", "1");
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text,
            "The descriptive module name \"BASE FILES\" is already the name of a component of the installer "
            "(\"Base Files\"). Please choose another name.");
  EXPECT_FALSE(HasChoice("Additional Install 1 Filename"));
}

TEST_F(AdditionalInstallsTest, SameNameInAnExcludedSlotIsNoClash) {
  MakeFile("C:\\a\\tool.exe");
  SetChoices("[Choices-32]\r\nAdditional Install 2 Path=C:\\b\\tool.exe\r\n");
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  FillSlot1("C:\\a\\tool.exe", "Tool", "1");
  Next();
  EXPECT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_EQ(Choice("Additional Install 1 Filename"), "tool");
}

TEST_F(AdditionalInstallsTest, BrowseAsksForAnExecutableAndClearEmptiesOnlyThePath) {
  OpenOn(kAdditionalInstallsPage);
  Click(Page(), IDC_INCLUDE_1);
  Click(Page(), IDC_INCLUDE_2);
  TypeText(Page(), IDC_DESCRIPTION_2, "Desc");
  TypeText(Page(), IDC_SIZE_2, "99");
  for (auto [browse, edit] : {std::pair{IDC_BROWSE_1, IDC_PATH_1}, std::pair{IDC_BROWSE_2, IDC_PATH_2}}) {
    prompts->AnswerFile("C:\\dl\\x.exe");
    Click(Page(), browse);
    EXPECT_EQ(Text(edit), "C:\\dl\\x.exe");
    const PromptRecord& asked = prompts->Requests().back();
    EXPECT_TRUE(asked.open);
    EXPECT_EQ(asked.filter, "Self-extracting executable (*.exe)|*.exe||");
    EXPECT_EQ(asked.initialName, "");
    EXPECT_EQ(asked.defaultExt, "exe");
    EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR);
  }
  Click(Page(), IDC_CLEAR_2);
  EXPECT_EQ(Text(IDC_PATH_2), "");
  EXPECT_EQ(Text(IDC_DESCRIPTION_2), "Desc");
  EXPECT_EQ(Text(IDC_SIZE_2), "99");
  EXPECT_EQ(Text(IDC_PATH_1), "C:\\dl\\x.exe");
}

}  // namespace
}  // namespace kc::test
