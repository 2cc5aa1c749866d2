// --set: answers given on the command line. They are written into the working
// copy of the configuration once it has been copied, each through the checks
// of the page that owns its key, so that a build from the command line takes
// no answer the wizard would have refused.
//
// Syntax: "KEY=VALUE" sets a key of the platform section ("Choices-16" when
// [Global] "Platform" is "16" at that moment, else "Choices-32");
// "[SECTION]KEY=VALUE" a key of another section ("[Global]Platform=16",
// "[Mods-32]Fonts=fonts"). The key ends at the first "=", so a value may hold
// one; blanks around key and value do not count, as in the INI file. Settings
// are applied in the order given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/run_paths.h"

namespace kc::app {

struct AnswerSetting {
  std::string given;    // as typed, for messages
  std::string section;  // "" for the platform section
  std::string key;
  std::string value;
};

// nullopt, with `problem` set, for text that is not of the form above.
std::optional<AnswerSetting> ParseAnswerSetting(const std::string& text, std::string& problem);

struct SettingProblem {
  std::string page;     // caption of the page that refused it; "" when no page owns the key
  std::string message;  // names the setting as given
};

struct SettingsOutcome {
  // Keys no page and no part of a build knows (a typing mistake, most often):
  // refused unless forced, and then written as given.
  std::vector<SettingProblem> unknown;
  // Values the owning page would not have stored; not written.
  std::vector<SettingProblem> refused;
};

enum class SettingChecks {
  // Value words and the install path rule per setting, then, once all are
  // written, the leave checks of each page whose keys were set, storing what
  // that page stores (the dial-up package's completed path; an additional
  // install's trimmed entries and derived module name). For a build.
  kPages,
  // Value words and the path rule only: `kitcomp check` runs every page's
  // checks on the whole configuration afterwards.
  kValuesOnly,
};

// Applies `settings` to `choicesFile`, a working copy of a configuration of the
// kit at `kit` (whose program INI file says which components exist).
SettingsOutcome ApplyAnswerSettings(const config::RunPaths& kit, const std::string& choicesFile,
                                    const std::vector<AnswerSetting>& settings, bool force, SettingChecks checks);

}  // namespace kc::app
