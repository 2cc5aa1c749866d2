// A new user's whole run: the welcome dialog, Browse for a saved
// configuration, all nine pages with a change on each, Finish, the build with
// its progress, the completion dialog; then the images on disk are checked
// against the choices, and a second Next starts again from the same
// configuration.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/gui/welcome_dlg.h"
#include "config/profile_access.h"
#include "dialogs/dlg102_welcome_ids.h"
#include "dialogs/dlg129_components_ids.h"
#include "dialogs/dlg131_dialogcontrol_ids.h"
#include "dialogs/dlg134_settings_ids.h"
#include "dialogs/dlg139_customfiles_ids.h"
#include "dialogs/dlg140_output_ids.h"
#include "dialogs/dlg141_browsepath_ids.h"
#include "dialogs/dlg147_addinstalls_ids.h"
#include "dialogs/dlg150_netornot_ids.h"
#include "dialogs/dlg151_pathoptions_ids.h"
#include "dialogs/dlg152_custommore_ids.h"
#include "dialogs/dlg155_complete_ids.h"
#include "framework/property_sheet.h"
#include "framework/win_defs.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/gui_driver.h"
#include "support/scripted_prompts.h"

namespace kc::test {
namespace {

namespace fs = std::filesystem;

class WholeRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCwd = fs::current_path();
    const char* kit = std::getenv("KITCOMP_TEST_KIT");
    if (kit == nullptr || *kit == '\0') kit = KITCOMP_BUILD_KIT;
    ASSERT_TRUE(fs::is_directory(kit)) << kit << " holds no sample kit";
    base = fs::path(drive.path().toStdString());
    fs::copy(kit, base / "kit", fs::copy_options::recursive);
    // The default configuration names the delivered samples by Z: paths. The
    // packaging tools are programs of their own: they read the table from the
    // environment.
    savedDrives = qgetenv("KITCOMP_DRIVES");
    qputenv("KITCOMP_DRIVES", QByteArray::fromStdString("c=" + base.string() + ";z=/"));
    win::DriveTable::Reload();
    config::WriteValue("C:\\kit\\kitcomp\\kitcomp.ini", "Kit Composer", "INSTALLED PATH", "C:\\kit");
    // The saved configuration the user opens: the default one with a change.
    fs::create_directories(base / "saved");
    ASSERT_TRUE(win::CopyFileA("C:\\kit\\kitcomp\\default.dkb", "C:\\saved\\start.kcm", win::FALSE));
    config::WriteValue("C:\\saved\\start.kcm", "Choices-32", "Program Folder", "From Saved");
    Write("files/myreadme.txt", "CUSTOM README\r\n");
    Write("files/bm.htm", "<html>bookmarks</html>");
    Write("dialup/main.htm", "<html>dial-up</html>");
    fs::create_directories(base / "out");
    ASSERT_TRUE(win::SetCurrentDirectoryA("C:\\kit\\kitcomp"));
  }
  void TearDown() override {
    fs::current_path(savedCwd);
    if (savedDrives.isNull())
      qunsetenv("KITCOMP_DRIVES");
    else
      qputenv("KITCOMP_DRIVES", savedDrives);
    win::DriveTable::Reload();
  }
  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories((base / relative).parent_path());
    std::ofstream(base / relative, std::ios::binary) << text;
  }
  std::string Read(const std::string& relative) {
    std::ifstream in(base / relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  QTemporaryDir drive;
  fs::path base;
  fs::path savedCwd;
  QByteArray savedDrives;
};

// Sets a check box to the wanted state by clicking it when it differs.
void SetCheck(QWidget* page, int id, bool checked) {
  auto* page_ = static_cast<fw::CDialog*>(page);
  if ((page_->IsDlgButtonChecked(id) == fw::BST_CHECKED) != checked) Click(page, id);
}

TEST_F(WholeRunTest, ANewUsersRunBuildsWhatThePagesChoseAndTheNextRunStartsAfresh) {
  ScriptedPrompts prompts;
  app::CWelcomeDlg welcome;
  welcome.EnsureInitialized();
  welcome.show();
  ASSERT_FALSE(welcome.StartUpRefused());

  prompts.AnswerFile("C:\\saved\\start.kcm");
  Click(&welcome, dlg102_welcome::IDC_BROWSE);
  EXPECT_EQ(welcome.GetDlgItemText(dlg102_welcome::IDC_CONFIGURATION_PATH), "C:\\saved\\start.kcm");

  std::string addedComponent;
  int completeTemplate = 0;
  std::string completeFailures;
  std::vector<std::string> captions;
  prompts.AnswerDialog([&](fw::CDialog& d) {
    auto& sheet = static_cast<fw::CPropertySheet&>(d);
    auto page = [&] { return sheet.GetActivePage(); };
    auto next = [&] {
      captions.push_back(page()->GetCaption());
      Click(&sheet, fw::ID_WIZNEXT);
    };
    // 1 Type of installer: a local installer.
    Click(page(), dlg150_netornot::IDC_LOCAL_TYPE);
    next();
    // 2 Path options: lock the base path.
    SetCheck(page(), dlg151_pathoptions::IDC_LOCK_BASE_PATH, true);
    next();
    // 3 Components: remove the first included one, then add it back... and
    // one more: the first of the available list.
    ClickListItem(page(), dlg129_components::IDC_AVAILABLE, 0);
    addedComponent = fw::CListBox(page()->GetDlgItem(dlg129_components::IDC_AVAILABLE)).GetText(0);
    Click(page(), dlg129_components::IDC_ADD);
    next();
    // 4 Installer settings.
    TypeText(page(), dlg134_settings::IDC_PROGRAM_FOLDER, "Lumenary Tools");
    next();
    // 5 Dialog control: never reboot.
    Click(page(), dlg131_dialogcontrol::IDC_REBOOT_NEVER);
    next();
    // 6 Customization files.
    TypeText(page(), dlg139_customfiles::IDC_BOOKMARKS_PATH, "C:\\files\\bm.htm");
    next();
    // 7 Customization files continued: our readme and dial-up package.
    TypeText(page(), dlg152_custommore::IDC_README_PATH, "C:\\files\\myreadme.txt");
    TypeText(page(), dlg152_custommore::IDC_DIALUP_PATH, "C:\\dialup");
    next();
    // 8 Additional installs: the sample viewer under a new description.
    SetCheck(page(), dlg147_addinstalls::IDC_INCLUDE_1, true);
    SetCheck(page(), dlg147_addinstalls::IDC_INCLUDE_2, false);
    TypeText(page(), dlg147_addinstalls::IDC_PATH_1, "C:\\kit\\samples\\extras\\viewer.exe");
    TypeText(page(), dlg147_addinstalls::IDC_DESCRIPTION_1, "Page Viewer Plus");
    TypeText(page(), dlg147_addinstalls::IDC_SIZE_1, "250000");
    next();
    // 9 Output: a CD image only, under a folder chosen in the folder browser,
    // which leaves the current directory elsewhere.
    captions.push_back(page()->GetCaption());
    SetCheck(page(), dlg140_output::IDC_CREATE_CD, true);
    SetCheck(page(), dlg140_output::IDC_CREATE_DOWNLOAD, false);
    prompts.AnswerDialog([](fw::CDialog& browser) {
      ChooseComboEntry(&browser, dlg141_browsepath::IDC_DRIVES,
                       fw::CComboBox(browser.GetDlgItem(dlg141_browsepath::IDC_DRIVES)).FindStringExact(-1, "[-c-]"));
      auto* tree = static_cast<QTreeWidget*>(browser.GetDlgItem(dlg141_browsepath::IDC_FOLDER_TREE));
      DoubleClickTreeItem(&browser, dlg141_browsepath::IDC_FOLDER_TREE, tree->topLevelItem(0));
      auto found = tree->findItems("out", Qt::MatchExactly | Qt::MatchRecursive);
      if (!found.isEmpty()) DoubleClickTreeItem(&browser, dlg141_browsepath::IDC_FOLDER_TREE, found.first());
      return fw::IDOK;
    });
    Click(page(), dlg140_output::IDC_BROWSE_OUTPUT);
    EXPECT_EQ(page()->GetDlgItemText(dlg140_output::IDC_OUTPUT_PATH), "c:\\out");
    // Prompts are answered in order: the completion dialog comes after the browser.
    prompts.AnswerDialog([&](fw::CDialog& complete) {
      completeTemplate = complete.GetTemplateId();
      completeFailures = complete.GetDlgItemText(dlg155_complete::IDC_HEADLINE);
      auto* failures = static_cast<QTreeWidget*>(complete.GetDlgItem(dlg155_complete::IDC_FAILURES));
      for (int i = 0; i < failures->topLevelItemCount(); ++i) {
        for (int column = 0; column < 3; ++column) {
          completeFailures += "\n" + failures->topLevelItem(i)->text(column).toStdString();
        }
      }
      return fw::IDOK;
    });
    Click(&sheet, fw::ID_WIZFINISH);
    return fw::ID_WIZFINISH;
  });
  Click(&welcome, 1);  // Next: the run driver
  ASSERT_EQ(prompts.Pending(), 0u);
  EXPECT_EQ(captions,
            (std::vector<std::string>{"Type of Installer", "Path Options", "Installable modules", "Installer Settings",
                                      "Dialog control", "Customization files", "Customization Files, continued...",
                                      "Additional Installs", "Kit Composer Output"}));
  EXPECT_EQ(completeTemplate, 155);
  EXPECT_EQ(completeFailures.find("fail"), std::string::npos) << completeFailures;
  EXPECT_TRUE(welcome.isVisible());

  // The CD image holds what the pages chose.
  const std::string cdSetup = "C:\\out\\CD\\setup.ini";
  EXPECT_EQ(Read("out/CD/readme.txt"), "CUSTOM README\r\n");
  EXPECT_EQ(config::ReadValue(cdSetup, "Product Defaults", "Program Folder"), "Lumenary Tools");
  EXPECT_EQ(config::ReadValue(cdSetup, "Product Defaults", "Show Reboot Dialog"), "NEVER");
  EXPECT_EQ(config::ReadValue(cdSetup, "Network Install", "Mode"), "Admin");
  EXPECT_EQ(config::ReadValue(cdSetup, "Network Install", "End User Path Dialog Network Path Edit Box"), "DISABLED");
  EXPECT_EQ(config::ReadValue(cdSetup, "Components", "Page Viewer Plus"), "viewer");
  std::string listing;
  for (const auto& entry : fs::directory_iterator(base / "out/CD")) listing += entry.path().filename().string() + " ";
  EXPECT_TRUE(fs::exists(base / "out/CD/viewer.z")) << listing;
  const std::string addedStem =
      config::ReadValue("C:\\kit\\kitcomp\\kitcomp.ini", "Available 32", addedComponent.c_str());
  ASSERT_FALSE(addedStem.empty()) << addedComponent;
  EXPECT_EQ(config::ReadValue(cdSetup, "Components", addedComponent.c_str()), addedStem);
  EXPECT_TRUE(fs::exists(base / ("out/CD/" + addedStem + ".z"))) << addedStem;
  EXPECT_FALSE(fs::exists(base / "out/network/netsetup.exe"));
  EXPECT_EQ(config::ReadValue("C:\\kit\\kitcomp\\choices.tmp", "Choices-32", "Custom Account Setup Path"),
            "C:\\dialup\\main.htm");

  // A second Next starts again from the same saved configuration.
  std::string programFolderShown;
  prompts.AnswerDialog([&](fw::CDialog& d) {
    auto& sheet = static_cast<fw::CPropertySheet&>(d);
    for (int i = 0; i < 3; ++i) Click(&sheet, fw::ID_WIZNEXT);
    programFolderShown = sheet.GetActivePage()->GetDlgItemText(dlg134_settings::IDC_PROGRAM_FOLDER);
    return fw::IDCANCEL;
  });
  Click(&welcome, 1);
  EXPECT_EQ(programFolderShown, "From Saved");
  EXPECT_EQ(prompts.Pending(), 0u);
}

}  // namespace
}  // namespace kc::test
