// The closing words of a command-line build: the images made, where (as the
// system names the folder and as the host does), their sizes, and every failure
// with its step, file and reason.
#pragma once

#include <cstdint>
#include <string>

#include "engine/build_report.h"

namespace kc::app {

std::string FormatSize(std::uint64_t bytes);

// The three parts: the images (for standard output), the failures (for
// standard error; "" without any) and the closing verdict line.
std::string FormatImages(const engine::BuildReport& report);
std::string FormatFailures(const engine::BuildReport& report);
std::string FormatVerdict(const engine::BuildReport& report);

// All three in that order, as a log holds them.
std::string FormatSummary(const engine::BuildReport& report);

// An image folder's host path through the drive table, or "" when no drive
// holds it.
std::string HostPathOf(const std::string& windowsPath);

}  // namespace kc::app
