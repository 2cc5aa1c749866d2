// The build plan: what runs after the wizard ends with Finish.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/run_paths.h"
#include "engine/build_report.h"
#include "engine/progress.h"

namespace kc::engine {

// Builds every requested image from the choices file and the engine setup.ini,
// showing the stages on `progress` and repainting `mainWindow` between steps.
// `showCompletion` runs at the end while the progress view is still up (the
// desktop program's completion dialog; the command line's summary) and gets the
// report of the build. `observer`, when given, hears of each tool run as it
// starts. Returns the same report.
BuildReport RunBuildPlan(const config::RunPaths& paths, ProgressView& progress, Window& mainWindow,
                         const std::function<void(const BuildReport&)>& showCompletion,
                         BuildObserver* observer = nullptr);

// The build reads its answers from the section Finish stored them in: the
// platform section of the choices file ("Choices-16" for "Platform" = "16").

// A network installer: "NetOrLocal" exactly "Net". The same test decides the
// "Mode" Finish writes into the installer's settings and the images the plan
// builds, so the two always agree.
bool IsNetworkInstaller(const std::string& choicesFile);

struct PlannedImage {
  std::string outputDirectory;  // the image is built in outputDirectory\kind
  const char* kind;             // "CD", "disk" or "network"
  bool administrator;           // the administrator's CD image of a network installer
};

// The images a build of the choices file makes below `outputPath`, in their
// order: a local installer's requested images (CD, disk, network); a network
// installer's administrator CD image, whatever the requests, then the end
// user's requested images.
std::vector<PlannedImage> PlanImages(const std::string& choicesFile, const std::string& outputPath);

}  // namespace kc::engine
