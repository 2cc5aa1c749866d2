// The manual pages and the bash completion against the programs' own --help:
// every option a page documents exists, every option of kitcomp is documented
// and completed, and the pages render without warnings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kc::e2e {
namespace {

std::string Output(const std::string& command, int* status = nullptr) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string text;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) text.append(buffer.data(), n);
  const int result = ::pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// The options a --help text lists in its first column ("  -q,--quiet ...",
// "  --cd,--no-cd{false}", "  --config FILE.kcm").
std::set<std::string> HelpOptions(const std::string& help) {
  std::set<std::string> options;
  const std::regex line("^  +(-[^ ]+)");
  std::istringstream lines(help);
  for (std::string text; std::getline(lines, text);) {
    std::smatch found;
    if (!std::regex_search(text, found, line)) continue;
    std::stringstream names(std::regex_replace(found[1].str(), std::regex("\\{[^}]*\\}"), ""));
    for (std::string name; std::getline(names, name, ',');) options.insert(name);
  }
  return options;
}

bool HasOption(const std::string& text, const std::string& option) {
  return std::regex_search(text, std::regex("(^|[^-A-Za-z0-9])" + option + "([^-A-Za-z0-9]|$)"));
}

// What a manual page gives as option items: the option names on the lines
// after ".TP", hyphens unescaped.
std::vector<std::string> DocumentedOptions(const std::string& page) {
  std::vector<std::string> options;
  const std::regex item("\\.TP\n\\.B[IR]? ([^\n]*)");
  const std::regex option("\\\\-(\\\\-)?[A-Za-z][A-Za-z0-9\\\\-]*");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), item); it != std::sregex_iterator(); ++it) {
    const std::string line = (*it)[1].str();
    for (auto o = std::sregex_iterator(line.begin(), line.end(), option); o != std::sregex_iterator(); ++o) {
      options.push_back(std::regex_replace(o->str(), std::regex("\\\\-"), "-"));
    }
  }
  return options;
}

struct PageCase {
  const char* page;
  std::string program;
  std::vector<const char*> subcommands;  // whose --help lists the options
  bool complete;                         // every option of --help is documented
};

class ManPage : public ::testing::TestWithParam<PageCase> {};

TEST_P(ManPage, DocumentsTheOptionsTheProgramHasAndRenders) {
  const PageCase& c = GetParam();
  const std::string path = std::string(KITCOMP_MAN_DIR) + "/" + c.page;
  const std::string page = ReadFile(path);
  ASSERT_FALSE(page.empty()) << path;
  EXPECT_EQ(page.find("@PROJECT_VERSION@"), std::string::npos) << "the version is filled in";

  std::string help;
  for (const char* subcommand : c.subcommands) help += Output(Quoted(c.program) + " " + subcommand + " --help 2>&1");
  const std::vector<std::string> documented = DocumentedOptions(page);
  EXPECT_GE(documented.size(), 2u) << c.page;
  for (const std::string& option : documented) {
    if (option == "--help") continue;  // it printed `help`
    EXPECT_TRUE(HasOption(help, option)) << c.page << " documents " << option << ", which --help does not know";
  }
  if (c.complete) {
    std::string text = std::regex_replace(page, std::regex("\\\\-"), "-");
    for (const std::string& option : HelpOptions(help)) {
      EXPECT_TRUE(HasOption(text, option)) << c.page << " does not document " << option;
    }
  }
  // Rendering: groff is there wherever man is; without it, only the options
  // are checked.
  int status = 0;
  Output("command -v groff >/dev/null", &status);
  if (status == 0) {
    const std::string warnings = Output("groff -man -Tutf8 -ww -z " + Quoted(path) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << c.page;
    EXPECT_EQ(warnings, "") << c.page;
  }
}

const std::string kTools = KITCOMP_BUILT_TOOLS;

INSTANTIATE_TEST_SUITE_P(
    Pages, ManPage,
    ::testing::Values(PageCase{"kitcomp.1", KITCOMP_BINARY, {"", "build", "check", "verify"}, true},
                      PageCase{"squash.exe.1", kTools + "/squash.exe", {""}, false},
                      PageCase{"pkgindex.exe.1", kTools + "/pkgindex.exe", {""}, false},
                      PageCase{"sfxmaker.exe.1", kTools + "/sfxmaker.exe", {""}, false}));

// What the completion offers for the words typed so far (the last one is being
// completed), in the folder `in`.
std::set<std::string> Completions(const std::string& words, const std::filesystem::path& in) {
  const std::filesystem::path script = in.parent_path() / (in.filename().string() + ".sh");
  std::ofstream(script) << "source " << Quoted(KITCOMP_COMPLETION) << "\ncd " << Quoted(in.string()) << "\nCOMP_WORDS=("
                        << words << ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_kitcomp\n"
                        << "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  std::set<std::string> offered;
  std::istringstream lines(Output("bash " + Quoted(script.string())));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) offered.insert(line);
  }
  std::filesystem::remove(script);
  return offered;
}

TEST(Completion, OffersEveryOptionOfEachSubcommandAndTheRightFiles) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kc-completion";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "kits");
  for (const char* file : {"ops.kcm", "notes.txt"}) std::ofstream(folder / file) << "x";

  for (const std::string subcommand : {"", "build", "check", "verify"}) {
    const std::set<std::string> help = HelpOptions(Output(Quoted(KITCOMP_BINARY) + " " + subcommand + " --help"));
    EXPECT_EQ(Completions("kitcomp " + subcommand + " -", folder), help) << "kitcomp " << subcommand;
  }
  struct Row {
    const char* words;
    std::set<std::string> offered;
    const char* why;
  };
  const Row rows[] = {
      {"kitcomp ''", {"build", "check", "verify"}, "the subcommands"},
      {"kitcomp -C kits bu", {"build"}, "after -C DIR"},
      {"kitcomp build --config ''", {"kits", "ops.kcm"}, "configurations and folders"},
      {"kitcomp check --output ''", {"kits"}, "folders only"},
      {"kitcomp build --log ''", {"kits", "notes.txt", "ops.kcm"}, "any file"},
      {"kitcomp build ''", {}, "no second subcommand"},
      {"kitcomp verify ''", {"kits", "notes.txt", "ops.kcm"}, "images: files and folders"},
  };
  for (const Row& row : rows) EXPECT_EQ(Completions(row.words, folder), row.offered) << row.why;
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kc::e2e
