// kitcomp-shots OUTPUT_DIR [KIT_DIR]: renders every dialog and wizard page of
// the desktop program offscreen to OUTPUT_DIR/<name>.png. The kit (default:
// $KITCOMP_TEST_KIT) is copied to a temporary drive first, so nothing of it
// changes. To add a picture, add an entry to Shots() below; every page of the
// wizard's page list is rendered on its own.
#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/gui/complete_dlg.h"
#include "app/gui/progress_dlg.h"
#include "app/gui/welcome_dlg.h"
#include "app/startup.h"
#include "browse/browse_path_dlg.h"
#include "engine/build_report.h"
#include "framework/window_ops.h"
#include "shot_kit.h"
#include "wizard/page_list.h"
#include "wizard/prop_sheet.h"

namespace {

using kc::app::CCompleteDlg;
using kc::app::CProgressDlg;
using kc::app::CWelcomeDlg;

struct Shot {
  std::string name;
  // Renders the picture into `file`; false when it could not.
  std::function<bool(const std::string& file)> render;
};

bool Render(QWidget& widget, const std::string& file) {
  widget.show();
  kc::fw::UpdateWindow(&widget);
  return kc::fw::RenderToPng(&widget, file);
}

kc::config::RunPaths KitPaths() {
  kc::Result<kc::config::RunPaths> paths = kc::config::MakeRunPaths(kc::shots::ShotKit::kInstallRoot);
  return paths ? paths.value() : kc::config::RunPaths{};
}

// A lower-case file name part from a page caption ("Path Options" -> "path-options").
std::string Slug(const std::string& caption) {
  QString s = QString::fromStdString(caption).toLower();
  s.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
  s.remove(QRegularExpression(QStringLiteral("^-+|-+$")));
  return s.toStdString();
}

kc::engine::BuildReport SampleFailures() {
  kc::engine::BuildReport report;
  report.AddFailure("Copying the customization file", "C:\\kit\\samples\\custom\\bookmark.htm",
                    "The file does not exist.");
  report.AddFailure("Running squash.exe", "C:\\kit\\custom\\tempmod\\lume.z", "The program ended with exit status 1.");
  report.AddFailure("Creating the image folder", "C:\\kit-output\\CD", "Access is denied.");
  return report;
}

std::vector<Shot> Shots() {
  std::vector<Shot> shots;
  shots.push_back({"welcome", [](const std::string& file) {
                     CWelcomeDlg dialog;
                     dialog.EnsureInitialized();
                     return Render(dialog, file);
                   }});
  shots.push_back({"progress", [](const std::string& file) {
                     CProgressDlg dialog;
                     dialog.EnsureInitialized();
                     dialog.SetPos(0);
                     dialog.SetStatusText("Creating CD image");
                     dialog.SetRange(0, 14);
                     dialog.SetStep(1);
                     for (int i = 0; i < 9; ++i) dialog.StepIt();
                     return Render(dialog, file);
                   }});
  shots.push_back({"complete", [](const std::string& file) {
                     CCompleteDlg dialog;
                     dialog.ShowReport(kc::engine::BuildReport{});
                     dialog.EnsureInitialized();
                     return Render(dialog, file);
                   }});
  shots.push_back({"complete-with-failures", [](const std::string& file) {
                     CCompleteDlg dialog;
                     dialog.ShowReport(SampleFailures());
                     dialog.EnsureInitialized();
                     return Render(dialog, file);
                   }});
  shots.push_back({"browse-path", [](const std::string& file) {
                     kc::browse::CBrowsePathDlg dialog;
                     dialog.m_path = std::string(kc::shots::ShotKit::kInstallRoot) + "\\source";
                     dialog.EnsureInitialized();
                     return Render(dialog, file);
                   }});
  // The wizard opened on each of its pages, from the default configuration.
  const kc::config::RunPaths paths = KitPaths();
  const std::size_t pageCount = kc::wizard::MakeWizardPages(paths).size();
  for (std::size_t i = 0; i < pageCount; ++i) {
    kc::wizard::PageList probe = kc::wizard::MakeWizardPages(paths);
    const std::string name = "wizard-" + std::to_string(i + 1) + "-" + Slug(probe[i]->GetCaption());
    shots.push_back({name, [paths, i](const std::string& file) {
                       kc::wizard::PageList pages = kc::wizard::MakeWizardPages(paths);
                       kc::wizard::CPropSheet sheet(nullptr, static_cast<int>(i));
                       for (auto& page : pages) sheet.AddPage(page.get());
                       sheet.SetWizardMode();
                       sheet.EnsureInitialized();
                       return Render(sheet, file);
                     }});
  }
  return shots;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kitcomp-shots OUTPUT_DIR [KIT_DIR]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Absolute: the kit copy becomes the current directory.
  const std::string outputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString();
  const char* kitEnv = std::getenv("KITCOMP_TEST_KIT");
  const std::string kitDir = argc > 2 ? argv[2] : (kitEnv ? kitEnv : "");
  if (kitDir.empty()) {
    std::fprintf(stderr, "kitcomp-shots: name the kit folder (build/kit) or set KITCOMP_TEST_KIT\n");
    return 2;
  }
  if (!QDir().mkpath(QString::fromStdString(outputDir))) {
    std::fprintf(stderr, "kitcomp-shots: cannot create %s\n", outputDir.c_str());
    return 1;
  }
  kc::shots::ShotKit kit(kitDir);
  if (!kit.ok()) {
    std::fprintf(stderr, "kitcomp-shots: %s\n", kit.error().c_str());
    return 1;
  }
  // Refresh the working files as a run would, so the pages show the default configuration.
  kc::config::RunPaths paths = KitPaths();
  kc::app::RefreshWorkingFiles(paths, paths.defaultConfig);

  int failures = 0;
  for (const Shot& shot : Shots()) {
    const std::string file = outputDir + "/" + shot.name + ".png";
    if (shot.render(file)) {
      std::printf("%s\n", file.c_str());
    } else {
      std::fprintf(stderr, "kitcomp-shots: could not render %s\n", file.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
