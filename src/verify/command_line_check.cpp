#include <algorithm>

#include "platform/process.h"
#include "verify/checks.h"

namespace kc::verify {

void CheckCommandLine(const ImageContents& image, Verdict& verdict) {
  verdict.commandLine = image.commandLine;
  const std::vector<std::string> arguments = win::CommandLineToArgs(image.commandLine);
  if (arguments.empty() || arguments.front().empty()) {
    verdict.problems.push_back(
        {image.container, "its command line is empty: the extracted installer would never start"});
    return;
  }
  // The extractor resolves the program in the extraction folder.
  std::string program = arguments.front();
  std::replace(program.begin(), program.end(), '\\', '/');
  const ImageFile* file = image.Find(program);
  if (file == nullptr || file->folder) {
    verdict.problems.push_back({image.container, "its command line \"" + image.commandLine + "\" runs \"" +
                                                     arguments.front() + "\", which the payload does not hold"});
  }
}

}  // namespace kc::verify
