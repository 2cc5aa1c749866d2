// A private copy of the sample kit on drive T: and the kitcomp program run on
// it as a user would run it.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>

namespace kc::e2e {

class KitCopy {
 public:
  KitCopy();  // copies $KITCOMP_TEST_KIT to <temp>/kit, output to T:\out
  ~KitCopy();
  KitCopy(const KitCopy&) = delete;
  KitCopy& operator=(const KitCopy&) = delete;

  std::string Host(const std::string& relative) const { return root_ + "/" + relative; }
  // Sets a value of the kit's default configuration ([Choices-32] unless named).
  void SetChoice(const std::string& key, const std::string& value, const std::string& section = "Choices-32");
  std::string Read(const std::string& relative) const;
  void Write(const std::string& relative, const std::string& contents, bool executable = false) const;

  struct Outcome {
    int status = -1;
    std::string output;  // standard output and error together
  };
  Outcome Build(const std::string& arguments = "") const;
  // `kitcomp -C T:\kit\kitcomp SUBCOMMAND ARGUMENTS` with its two streams apart.
  struct Streams {
    int status = -1;
    std::string out, err;
  };
  Streams Run(const std::string& subcommand, const std::string& arguments) const;
  // Starts a build without waiting, its output going to the file `log` below
  // the root; returns the pid of the kitcomp process itself.
  pid_t BuildInBackground(const std::string& arguments, const std::string& log) const;
  // The kitcomp program, quoted for the shell (the build folder may hold blanks).
  static std::string Program();
  // Runs a command with the kit's drive table; returns its exit status.
  int Shell(const std::string& command, std::string* output = nullptr) const;

  // Every file below a folder: relative name -> content.
  std::map<std::string, std::string> Tree(const std::string& relative) const;

 private:
  std::string root_;
};

// Compares two trees file by file, naming the files that differ (a whole
// archive printed by the matcher would tell nothing).
void ExpectSameTrees(const std::map<std::string, std::string>& actual,
                     const std::map<std::string, std::string>& expected);

}  // namespace kc::e2e
