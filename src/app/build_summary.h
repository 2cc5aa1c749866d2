// The closing words of a command-line build: the images made, where, their
// sizes, and every failure with its step, file and reason.
#pragma once

#include <cstdint>
#include <string>

#include "engine/build_report.h"

namespace kc::app {

std::string FormatSize(std::uint64_t bytes);
std::string FormatSummary(const engine::BuildReport& report);

}  // namespace kc::app
