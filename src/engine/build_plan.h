// The build plan: what runs after the wizard ends with Finish.
#pragma once

#include <functional>

#include "engine/build_report.h"
#include "engine/progress.h"
#include "config/run_paths.h"

namespace kc::engine {

// Builds every requested image from the choices file and the engine setup.ini,
// showing the stages on `progress` and repainting `mainWindow` between steps.
// `showCompletion` runs at the end while the progress view is still up (the
// desktop program's completion dialog; the command line's summary) and gets the
// report of the build. Returns the same report.
BuildReport RunBuildPlan(const config::RunPaths& paths, ProgressView& progress, Window& mainWindow,
                         const std::function<void(const BuildReport&)>& showCompletion);

}  // namespace kc::engine
