// kitcomp: the desktop program without a subcommand, `kitcomp build` for a
// build without windows, `kitcomp check` for a configuration's check,
// `kitcomp verify` for finished images.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_build.h"
#include "app/command_check.h"
#include "app/command_verify.h"
#include "app/first_start.h"
#include "platform/files.h"

#ifdef KITCOMP_HAVE_DESKTOP
#include "app/desktop.h"
#endif

namespace {

// Qt aborts when it finds no display to open; say so in one line instead.
// QT_QPA_PLATFORM names a platform that needs none (offscreen) or says where.
bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

bool DesktopBuilt() {
#ifdef KITCOMP_HAVE_DESKTOP
  return true;
#else
  return false;
#endif
}

int RunDesktopOrExplain(int& argc, char** argv) {
#ifdef KITCOMP_HAVE_DESKTOP
  return kc::app::RunDesktop(argc, argv);
#else
  std::fprintf(stderr,
               "kitcomp: the desktop program is not built (it needs Qt 6: configure with -DKITCOMP_GUI=ON).\n"
               "Use `kitcomp build` to build the images of a configuration.\n");
  return kc::app::kExitRefused;
#endif
}

// A start from the menu that fails: stderr for the log, a window for the user.
int FailStart(int& argc, char** argv, const std::string& message) {
  std::fprintf(stderr, "kitcomp: %s\n", message.c_str());
#ifdef KITCOMP_HAVE_DESKTOP
  kc::app::ShowStartFailure(argc, argv, message);
#endif
  return kc::app::kExitRefused;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "kitcomp: composes customised installers of the Lumenary client suite.\n"
      "Without a subcommand it opens the Kit Composer wizard."};
  app.set_version_flag("--version", std::string("kitcomp ") + KITCOMP_VERSION);

  std::string directory;
  app.add_option("-C", directory, "Change to DIR first (.\\kitcomp.ini is read there)")->type_name("DIR");
  bool fromMenu = false;
  app.add_flag("--from-menu", fromMenu, "Started from the desktop menu: work in the user's copy of the kit")->group("");

  kc::app::BuildOptions buildOptions;
  CLI::App* build = kc::app::AddBuildCommand(app, buildOptions);
  kc::app::CheckOptions checkOptions;
  CLI::App* check = kc::app::AddCheckCommand(app, checkOptions);
  kc::app::VerifyOptions verifyOptions;
  CLI::App* verify = kc::app::AddVerifyCommand(app, verifyOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : kc::app::kExitRefused;
  }

  std::string problem;
  if (!directory.empty()) {
    const std::optional<std::string> windows = kc::app::ArgumentToWindowsPath(directory, problem);
    if (!windows || win::SetCurrentDirectoryA(windows->c_str()) == win::FALSE) {
      std::fprintf(stderr, "kitcomp: cannot change to %s: %s\n", directory.c_str(),
                   windows ? win::LastErrorText().c_str() : problem.c_str());
      return kc::app::kExitRefused;
    }
  }

  // Redraw the bar in place only on a terminal; logs get plain lines.
  const kc::app::CommandStreams streams{stdout, stderr, ::isatty(STDOUT_FILENO) != 0, ::isatty(STDERR_FILENO) != 0};
  if (*build) return kc::app::RunCommandLineBuild(buildOptions, streams);
  if (*check) return kc::app::RunCommandLineCheck(checkOptions, streams);
  if (*verify) return kc::app::RunCommandLineVerify(verifyOptions, streams);

  if (DesktopBuilt() && !HaveDisplay()) {
    std::fprintf(stderr,
                 "kitcomp: the wizard needs a display (none in DISPLAY or WAYLAND_DISPLAY); "
                 "`kitcomp build` builds a configuration's images without one.\n");
    return kc::app::kExitRefused;
  }
  if (fromMenu) {
    kc::Result<kc::app::FirstStartPlaces> places = kc::app::FindFirstStartPlaces();
    kc::Result<std::string> kitcomp = places ? kc::app::PrepareUserKit(places.value()) : kc::Error{places.error()};
    if (!kitcomp) return FailStart(argc, argv, kitcomp.error());
    if (win::SetCurrentDirectoryA(kitcomp.value().c_str()) == win::FALSE) {
      return FailStart(argc, argv, "cannot change to " + kitcomp.value() + ": " + win::LastErrorText());
    }
  }
  return RunDesktopOrExplain(argc, argv);
}
