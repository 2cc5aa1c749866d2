#include "app/build_summary.h"

#include <cstdio>

#include "platform/drives.h"

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

std::string HostPathOf(const std::string& windowsPath) {
  return win::ToHostPath(windowsPath).value_or(std::string());
}

std::string FormatImages(const engine::BuildReport& report) {
  if (report.images().empty()) {
    // Without failures nothing was asked for; with them, something stopped it.
    return report.ok() ? "No image was requested.\n" : "No image was built.\n";
  }
  std::string text = "Images:\n";
  for (const engine::ImageResult& image : report.images()) {
    const std::string host = HostPathOf(image.directory);
    text += "  " + image.kind + " image in " + image.directory + (host.empty() ? "" : " (" + host + ")") + ": " +
            std::to_string(image.files) + (image.files == 1 ? " file, " : " files, ") + FormatSize(image.bytes) + "\n";
  }
  return text;
}

std::string FormatFailures(const engine::BuildReport& report) {
  if (report.ok()) return "";
  std::string text = std::to_string(report.failures().size()) +
                     (report.failures().size() == 1 ? " step failed" : " steps failed") +
                     (report.images().empty() ? ":\n" : "; the images above are incomplete:\n");
  for (const engine::Failure& failure : report.failures()) {
    text += "  " + failure.step;
    if (!failure.file.empty()) text += ": " + failure.file;
    text += "\n    " + failure.reason + "\n";
  }
  return text;
}

std::string FormatVerdict(const engine::BuildReport& report) {
  return report.ok() ? "Your installation creation is complete.\n" : "The installation creation failed.\n";
}

std::string FormatSummary(const engine::BuildReport& report) {
  return FormatImages(report) + FormatFailures(report) + FormatVerdict(report);
}

}  // namespace kc::app
