#include "app/build_summary.h"

#include <cstdio>

namespace kc::app {

std::string FormatSize(std::uint64_t bytes) {
  static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024.0 && unit < 4) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

std::string FormatSummary(const engine::BuildReport& report) {
  std::string text;
  if (report.images().empty()) {
    // Without failures nothing was asked for; with them, something stopped it.
    text += report.ok() ? "No image was requested.\n" : "No image was built.\n";
  } else {
    text += "Images:\n";
    for (const engine::ImageResult& image : report.images()) {
      text += "  " + image.kind + " image in " + image.directory + ": " + std::to_string(image.files) +
              (image.files == 1 ? " file, " : " files, ") + FormatSize(image.bytes) + "\n";
    }
  }
  if (report.ok()) {
    text += "Your installation creation is complete.\n";
    return text;
  }
  text += std::to_string(report.failures().size()) +
          (report.failures().size() == 1 ? " step failed" : " steps failed") +
          (report.images().empty() ? ":\n" : "; the images above are incomplete:\n");
  for (const engine::Failure& failure : report.failures()) {
    text += "  " + failure.step;
    if (!failure.file.empty()) text += ": " + failure.file;
    text += "\n    " + failure.reason + "\n";
  }
  text += "The installation creation failed.\n";
  return text;
}

}  // namespace kc::app
