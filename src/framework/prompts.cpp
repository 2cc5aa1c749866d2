#include "framework/prompts.h"

#include "framework/qt_prompts.h"

namespace kc::fw {
namespace {
Prompts* g_installed = nullptr;
}

Prompts& Prompts::Current() {
  static QtPrompts qtPrompts;
  return g_installed ? *g_installed : qtPrompts;
}

Prompts* Prompts::Install(Prompts* p) {
  Prompts* previous = g_installed;
  g_installed = p;
  return previous;
}

}  // namespace kc::fw
