// The longest path or tool command line a build forms, worked out before the
// build from the layout the build itself uses, so that an install root or an
// output path from which one would not fit in 259 characters is refused where
// it enters (start-up, Finish) instead of failing in dozens of steps.
#pragma once

#include <string>
#include <vector>

namespace kc::engine {

class LongestPath {
 public:
  void Path(const std::string& path) { Consider(path, false); }
  void CommandLine(const std::string& commandLine) { Consider(commandLine, true); }
  const std::string& text() const { return text_; }
  bool fits() const;
  // "the path "..." (262 characters; at most 259 fit)"
  std::string Describe() const;

 private:
  void Consider(const std::string& text, bool commandLine);
  std::string text_;
  bool commandLine_ = false;
};

// What a build forms below the install root whatever its configuration: the
// working files, the work areas down to their deepest files, the private
// archives, the tools and their fixed command lines, the installer's own files
// and the module files of every module the kit delivers.
void AddInstallRootPaths(const std::string& installRoot, LongestPath& longest);

// What a build of the choices file forms beyond that: the module files of the
// catalogue `stems`, the additional installers, the customization files staged
// under their own names, and every file of every planned image below
// `outputPath` (made full), with the package-list command lines.
void AddBuildPaths(const std::string& installRoot, const std::string& choicesFile, const std::string& outputPath,
                   const std::vector<std::string>& stems, LongestPath& longest);

// The start-up refusal of an install root from which a build would need a path
// or command line of 260 characters or more, naming it; "" when all fit.
std::string InstallRootLengthProblem(const std::string& installRoot);

// The same for a whole build at Finish, blaming the output path when the
// longest path lies below it.
std::string BuildLengthProblem(const std::string& installRoot, const std::string& choicesFile,
                               const std::string& outputPath, const std::vector<std::string>& stems);

}  // namespace kc::engine
