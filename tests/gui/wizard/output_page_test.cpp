// The output page: image boxes and the output path's enabling, what it loads
// at every activation and writes on Back, saving the configuration, the
// folder browser, and Finish.
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browse/browse_path_dlg.h"
#include "config/profile_access.h"
#include "dialogs/dlg140_output_ids.h"
#include "dialogs/dlg141_browsepath_ids.h"
#include "framework/win_defs.h"
#include "platform/files.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg140_output;

class OutputWizardTest : public WizardTest {
 protected:
  bool Shown(int id) { return !static_cast<QPushButton*>(sheet->GetDlgItem(id))->isHidden(); }
  bool SheetEnabled(int id) { return sheet->GetDlgItem(id)->isEnabled(); }
  std::string HostText(const std::string& windowsPath) {
    std::ifstream in(Host(windowsPath), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(OutputWizardTest, ShowsItsCaptionLabelsAndButtonsWordForWord) {
  OpenOn(kOutputPage);
  EXPECT_EQ(Page()->GetCaption(), "Kit Composer Output");
  EXPECT_TRUE(PageShowsText("Output path:"));
  EXPECT_EQ(Text(IDC_CREATE_CD), "Create CD image");
  EXPECT_EQ(Text(IDC_CREATE_DOWNLOAD), "Create Network downloadable file");
  EXPECT_EQ(Text(IDC_BROWSE_OUTPUT), "Browse");
  EXPECT_EQ(Text(IDC_SAVE_CONFIGURATION), "Save this Kit Composer configuration as...");
}

TEST_F(OutputWizardTest, CdOnlyShowsTheStoredPathInAnEnabledField) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\nOutput Path=C:\\out\r\n");
  OpenOn(kOutputPage);
  EXPECT_TRUE(Checked(IDC_CREATE_CD));
  EXPECT_FALSE(Checked(IDC_CREATE_DOWNLOAD));
  EXPECT_TRUE(Enabled(IDC_OUTPUT_PATH));
  EXPECT_TRUE(Enabled(IDC_BROWSE_OUTPUT));
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\out");
}

TEST_F(OutputWizardTest, ShowsBackAndFinishAndBackRestoresBackAndNext) {
  OpenOn(kOutputPage);
  EXPECT_TRUE(Shown(fw::ID_WIZFINISH));
  EXPECT_FALSE(Shown(fw::ID_WIZNEXT));
  EXPECT_TRUE(SheetEnabled(fw::ID_WIZBACK));
  Back();
  ASSERT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  EXPECT_TRUE(Shown(fw::ID_WIZNEXT));
  EXPECT_TRUE(SheetEnabled(fw::ID_WIZNEXT));
  EXPECT_FALSE(Shown(fw::ID_WIZFINISH));
}

// Neither box checked: the field is disabled but still shows the stored path,
// so that Back writes back what is stored, not an earlier visit's text.
TEST_F(OutputWizardTest, LoadsTheOutputPathAtEveryActivationEvenWithNoImageChosen) {
  SetChoices("[Choices-32]\r\nCreate CD=NO\r\nCreate Download=NO\r\nOutput Path=C:\\first\r\n");
  OpenOn(kOutputPage);
  EXPECT_FALSE(Enabled(IDC_OUTPUT_PATH));
  EXPECT_FALSE(Enabled(IDC_BROWSE_OUTPUT));
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\first");
  Back();
  config::WriteValue(paths.choicesFile, "Choices-32", "Output Path", "C:\\changed elsewhere");
  Next();
  ASSERT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\changed elsewhere");
  Back();
  EXPECT_EQ(Choice("Output Path"), "C:\\changed elsewhere");
}

TEST_F(OutputWizardTest, FieldAndBrowseAreEnabledWhileAnImageKindIsChecked) {
  SetChoices("[Choices-32]\r\nCreate CD=NO\r\nCreate Download=NO\r\n");
  OpenOn(kOutputPage);
  struct Step {
    int click;
    bool enabled;
  };
  for (const Step& step :
       {Step{IDC_CREATE_CD, true}, Step{IDC_CREATE_DOWNLOAD, true}, Step{IDC_CREATE_CD, true},
        Step{IDC_CREATE_DOWNLOAD, false}, Step{IDC_CREATE_DOWNLOAD, true}, Step{IDC_CREATE_DOWNLOAD, false}}) {
    Click(Page(), step.click);
    EXPECT_EQ(Enabled(IDC_OUTPUT_PATH), step.enabled) << step.click;
    EXPECT_EQ(Enabled(IDC_BROWSE_OUTPUT), step.enabled) << step.click;
  }
}

TEST_F(OutputWizardTest, BackWritesTheBoxesAndThePath) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\nCreate Download=junk\r\nOutput Path=C:\\old\r\n");
  OpenOn(kOutputPage);
  Click(Page(), IDC_CREATE_CD);
  Click(Page(), IDC_CREATE_DOWNLOAD);
  TypeText(Page(), IDC_OUTPUT_PATH, "C:\\images");
  Back();
  EXPECT_EQ(Choice("Create CD"), "NO");
  EXPECT_EQ(Choice("Create Download"), "YES");
  EXPECT_EQ(Choice("Output Path"), "C:\\images");
}

TEST_F(OutputWizardTest, PlatformSixteenUsesChoicesSixteen) {
  SetChoices(
      "[Global]\r\nPlatform=16\r\n[Choices-16]\r\nCreate Download=YES\r\nOutput Path=C:\\o16\r\n"
      "[Choices-32]\r\nCreate CD=YES\r\n");
  OpenOn(kOutputPage);
  EXPECT_FALSE(Checked(IDC_CREATE_CD));
  EXPECT_TRUE(Checked(IDC_CREATE_DOWNLOAD));
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\o16");
  Back();
  EXPECT_EQ(Choice("Create CD", "Choices-16"), "NO");
  EXPECT_EQ(Choice("Create CD"), "YES");
}

TEST_F(OutputWizardTest, SaveCopiesTheChoicesFileAsItIsBeforeThePageIsLeft) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\nOutput Path=C:\\before\r\n");
  OpenOn(kOutputPage);
  TypeText(Page(), IDC_OUTPUT_PATH, "C:\\after");
  prompts->AnswerFile("C:\\saved\\mine.kcm");
  MakeFolder("C:\\saved");
  Click(Page(), IDC_SAVE_CONFIGURATION);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  const PromptRecord& asked = prompts->Requests()[0];
  EXPECT_FALSE(asked.open);
  EXPECT_EQ(asked.filter, "KitComposer makefile (*.kcm)|*.kcm||");
  EXPECT_EQ(asked.initialName, "*.kcm");
  EXPECT_EQ(asked.defaultExt, "kcm");
  EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR);
  EXPECT_EQ(config::ReadValue("C:\\saved\\mine.kcm", "Choices-32", "Output Path"), "C:\\before");
  EXPECT_EQ(ActiveIndex(), kOutputPage);

  // Once the page has been left, a save holds its values.
  Back();
  Next();
  prompts->AnswerFile("C:\\saved\\mine.kcm");
  Click(Page(), IDC_SAVE_CONFIGURATION);
  EXPECT_EQ(config::ReadValue("C:\\saved\\mine.kcm", "Choices-32", "Output Path"), "C:\\after");
  EXPECT_EQ(HostText("C:\\saved\\mine.kcm"), HostText(paths.choicesFile));
}

TEST_F(OutputWizardTest, BrowseStartsTheFolderBrowserAtThePathAndTakesItsChoice) {
  MakeFolder("C:\\images\\cd");
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\nOutput Path=C:\\images\r\n");
  OpenOn(kOutputPage);
  std::string startShown;
  prompts->AnswerDialog([&](fw::CDialog& d) {
    startShown = d.GetDlgItemText(dlg141_browsepath::IDC_PATH_SHOWN);
    d.SetDlgItemText(dlg141_browsepath::IDC_PATH_SHOWN, "C:\\images\\cd");
    return fw::IDOK;
  });
  Click(Page(), IDC_BROWSE_OUTPUT);
  EXPECT_EQ(startShown, "C:\\images");
  EXPECT_EQ(prompts->Requests().at(0).templateId, 141);
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\images\\cd");
  prompts->AnswerDialog([](fw::CDialog& d) {
    d.SetDlgItemText(dlg141_browsepath::IDC_PATH_SHOWN, "C:\\");
    return fw::IDCANCEL;
  });
  Click(Page(), IDC_BROWSE_OUTPUT);
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\images\\cd");
  EXPECT_EQ(Choice("Output Path"), "C:\\images");  // nothing written before leaving
}

TEST_F(OutputWizardTest, FinishOnAnInvalidDriveRefusesAndKeepsThePage) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\nOutput Path=C:\\before\r\n");
  OpenOn(kOutputPage);
  TypeText(Page(), IDC_OUTPUT_PATH, "Q:\\images");
  Click(Page(), IDC_CREATE_DOWNLOAD);
  prompts->AnswerMessageBox(fw::IDOK);
  Finish();
  EXPECT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_TRUE(sheet->isVisible());
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text, "The output drive is invalid.");
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
  // The image keys are stored even so; the output path is not.
  EXPECT_EQ(Choice("Create Download"), "YES");
  EXPECT_EQ(Choice("Output Path"), "C:\\before");
}

// Any refusal after the drive checks comes in the same box, and the engine
// setup.ini stays as it was.
TEST_F(OutputWizardTest, FinishRefusesAnOutputInsideTheKitsWorkFolder) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\n");
  WriteFile(paths.engineSetupIni, "[Product Defaults]\r\n");
  OpenOn(kOutputPage);
  TypeText(Page(), IDC_OUTPUT_PATH, "C:\\kit\\custom\\temptree");
  prompts->AnswerMessageBox(fw::IDOK);
  Finish();
  EXPECT_EQ(ActiveIndex(), kOutputPage);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text,
            "The output path C:\\kit\\custom\\temptree lies inside the kit's work folder C:\\kit\\custom, which "
            "every build rewrites: the images would be removed or packed into the next build's images. Please "
            "choose an output path outside it.");
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
  EXPECT_FALSE(HasChoice("Output Path"));
  EXPECT_EQ(ReadFile(paths.engineSetupIni), "[Product Defaults]\r\n");
}

// No writable drive of a test machine lacks room for the images, so the
// space message itself is left to the engine's own tests; what the page owes
// after any refusal is that it stays usable and a corrected path finishes.
TEST_F(OutputWizardTest, AfterARefusedFinishACorrectedPathFinishes) {
  SetChoices("[Choices-32]\r\nCreate CD=YES\r\n");
  OpenOn(kOutputPage);
  TypeText(Page(), IDC_OUTPUT_PATH, "Q:\\images");
  prompts->AnswerMessageBox(fw::IDOK);
  Finish();
  ASSERT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_TRUE(Shown(fw::ID_WIZFINISH));
  EXPECT_TRUE(SheetEnabled(fw::ID_WIZBACK));
  EXPECT_EQ(Text(IDC_OUTPUT_PATH), "Q:\\images");
  TypeText(Page(), IDC_OUTPUT_PATH, "C:\\images");
  Finish();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(Choice("Output Path"), "C:\\images");
}

TEST_F(OutputWizardTest, FinishOnAWritableDriveEndsTheWizardAndWritesTheSettings) {
  SetChoices("[Choices-32]\r\nCreate CD=NO\r\nProgram Folder=Lumenary Tools\r\n");
  OpenOn(kOutputPage);
  Click(Page(), IDC_CREATE_CD);
  TypeText(Page(), IDC_OUTPUT_PATH, "C:\\images");
  Finish();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_TRUE(prompts->Requests().empty());
  EXPECT_EQ(Choice("Create CD"), "YES");
  EXPECT_EQ(Choice("Output Path"), "C:\\images");
  EXPECT_EQ(config::ReadValue(paths.engineSetupIni, "Product Defaults", "Program Folder"), "Lumenary Tools");
}

}  // namespace
}  // namespace kc::test
