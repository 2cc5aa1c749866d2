// squash: zip archives of module files.
#include <cstdio>
#include <string>
#include <vector>

#include "common/tool_failure.h"
#include "squash/archive_merge.h"
#include "squash/squash_options.h"

int main(int argc, char** argv) {
  using namespace kc::tools;
  return RunTool("squash", [&] {
    const SquashOptions options = ParseSquashOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.finished) return *options.finished;
    if (options.list) {
      ListArchive(options.archive, stdout);
      return kExitOk;
    }
    const MergeReport report = SquashFiles(options);
    for (const std::string& warning : report.warnings) std::fprintf(stderr, "squash: warning: %s\n", warning.c_str());
    std::printf("%s: %d added, %d replaced, %d kept\n", options.archive.c_str(), report.added, report.replaced,
                report.kept);
    return kExitOk;
  });
}
