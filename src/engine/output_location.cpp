#include "engine/output_location.h"

#include <cctype>
#include <vector>

#include "config/run_paths.h"
#include "engine/directory_utils.h"

namespace kc::engine {

std::string ComparablePath(const std::string& path) {
  std::string text = path;
  for (char& c : text) c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const bool share = text.rfind("\\\\", 0) == 0;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    if (part == "..") {
      // Never above the drive or the share's server.
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string joined = share ? "\\\\" : (path.rfind('\\', 0) == 0 || path.rfind('/', 0) == 0 ? "\\" : "");
  for (std::size_t i = 0; i < parts.size(); ++i) joined += (i == 0 ? "" : "\\") + parts[i];
  return joined;
}

std::string OutputLocationProblem(const std::string& installRoot, const std::string& outputPath) {
  const std::string output = ComparablePath(outputPath);
  auto inside = [&](const std::string& folder) {
    // Made full as the output path is: an empty install root puts the kit at
    // the root of the current drive.
    const std::string comparable = ComparablePath(FullOutputPath(folder));
    return output == comparable || output.rfind(comparable + "\\", 0) == 0;
  };
  const std::string custom = installRoot + config::kCustomPart;
  if (inside(custom)) {
    return "The output path " + outputPath + " lies inside the kit's work folder " + custom +
           ", which every build rewrites: the images would be removed or packed into the next build's images. "
           "Please choose an output path outside it.";
  }
  const std::string source = installRoot + "\\source";
  if (inside(source)) {
    return "The output path " + outputPath + " lies inside the kit's source folder " + source +
           ", from which the images are made. Please choose an output path outside it.";
  }
  const std::string kitcomp = installRoot + config::kKitcompPart;
  if (output == ComparablePath(FullOutputPath(kitcomp))) {
    return "The output path " + outputPath +
           " is the kit's program folder, which holds its tools and working "
           "files. Please choose another output path.";
  }
  return "";
}

}  // namespace kc::engine
