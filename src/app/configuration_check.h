// `kitcomp check`'s findings: every refusal the wizard's pages and Finish would
// make for a configuration's answers, every file it names that cannot be read,
// and every module it names that the kit does not hold.
#pragma once

#include <string>
#include <vector>

#include "config/run_paths.h"
#include "engine/script_generation.h"

namespace kc::app {

struct ConfigurationProblem {
  std::string page;     // the caption of the page that would refuse (answer_keys.h)
  std::string message;  // the page's words, with the entry it is about
};

// The problems of the answers in `choicesFile`, a private copy of a
// configuration of the kit at `kit`, in the wizard's page order. Like Finish it
// stores the request's image answers in `choicesFile` and writes the settings
// rows into `settingsDraft` (a private copy of the kit's source setup.ini);
// it writes nothing else anywhere (the output drive is asked, not probed).
std::vector<ConfigurationProblem> CheckConfiguration(const config::RunPaths& kit, const std::string& choicesFile,
                                                     const std::string& settingsDraft,
                                                     const engine::FinishRequest& request);

}  // namespace kc::app
