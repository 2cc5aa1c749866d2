// The extractor at the front of every self-extracting file sfxmaker writes.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "sfxmaker/stub/extract.h"
#include "sfxmaker/stub/payload.h"

namespace {

namespace fs = std::filesystem;

// Exit statuses of the extractor; otherwise it ends with the command's own.
constexpr int kUsage = 2;
constexpr int kCorrupt = 3;
constexpr int kExtractFailed = 4;
constexpr int kCannotRun = 5;

constexpr const char* kHelp = R"(Usage: %s [--check | --list | [--target DIR] [--noexec] [--keep]]

A self-extracting installer: checks that it is intact, extracts its files into
a fresh temporary folder (or DIR, created when missing) and runs
"%s" there. The temporary folder is removed afterwards.

  --check       only verify the checksum (exit 0 intact, 3 corrupt)
  --list        print "<size><TAB><name>" for every file
  --target DIR  extract into DIR (kept afterwards)
  --noexec      extract only, do not run the command; prints the folder
  --keep        keep the temporary folder after the command ran
  --help        this text

The checksum covers the whole file. Names that are absolute or contain "..",
devices, FIFOs, sockets and links leading out of the folder are refused before
anything is written, and so is a set of files larger than the free space.
Any failed write stops the extraction; a fresh temporary folder is then removed.
Exit status: the command's own status; 0 for --check, --list, --noexec when
all went well; 2 bad usage; 3 corrupt file; 4 extraction failed or refused;
5 the command could not be started.
)";

struct Options {
  bool help = false, check = false, list = false, noexec = false, keep = false;
  std::string target;
};

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h")
      options.help = true;
    else if (argument == "--check")
      options.check = true;
    else if (argument == "--list")
      options.list = true;
    else if (argument == "--noexec")
      options.noexec = true;
    else if (argument == "--keep")
      options.keep = true;
    else if (argument == "--target" && i + 1 < argc)
      options.target = argv[++i];
    else if (argument.rfind("--target=", 0) == 0)
      options.target = argument.substr(9);
    else {
      std::fprintf(stderr, "%s: unknown argument \"%s\" (see --help)\n", argv[0], argument.c_str());
      return false;
    }
  }
  return true;
}

// A new folder of our own below the temporary folder: created exclusively, so
// no one else's folder is ever taken over, and readable by us alone.
bool MakeFreshFolder(fs::path& folder, std::string& error) {
  std::random_device random;
  std::error_code code;
  const fs::path base = fs::temp_directory_path(code);
  if (code) {
    error = "no temporary folder: " + code.message();
    return false;
  }
  for (int attempt = 0; attempt < 32; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "netsetup-%08x", random());
    folder = base / name;
    if (fs::create_directory(folder, code)) {
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, code);
      return true;
    }
    if (code) break;
  }
  error = "cannot create a folder in " + base.string() + (code ? ": " + code.message() : "");
  return false;
}

int RunCommand(const std::string& commandLine) {
  const std::vector<std::string> arguments = win::CommandLineToArgs(commandLine);
  if (arguments.empty()) return 0;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  win::STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  win::PROCESS_INFORMATION process{};
  // The program is resolved in the current folder, the extraction folder.
  if (!win::CreateProcessA(arguments[0].c_str(), line.data(), nullptr, nullptr, win::TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
    std::fprintf(stderr, "cannot run \"%s\": %s\n", commandLine.c_str(), win::LastErrorText().c_str());
    return kCannotRun;
  }
  win::WaitForSingleObject(process.hProcess, win::INFINITE);
  win::DWORD status = 0;
  win::GetExitCodeProcess(process.hProcess, &status);
  win::CloseHandle(process.hProcess);
  win::CloseHandle(process.hThread);
  return static_cast<int>(status);
}

int Failed(const char* program, const std::string& error) {
  std::fprintf(stderr, "%s: %s\n", program, error.c_str());
  return error.rfind("corrupt:", 0) == 0 ? kCorrupt : kExtractFailed;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) return kUsage;

  std::string error;
  std::unique_ptr<kc::sfx::Payload> payload = kc::sfx::Payload::Open("/proc/self/exe", error);
  if (options.help) {
    std::printf(kHelp, argv[0], payload ? payload->commandLine().c_str() : "");
    return 0;
  }
  if (!payload) return Failed(argv[0], error);

  std::error_code code;
  fs::path folder;
  const bool fresh = options.target.empty() && !options.check && !options.list;
  if (!fresh) {
    // Nothing is written into someone's folder, or listed, before the whole
    // file is known to be intact.
    if (!payload->Verify(error)) return Failed(argv[0], error);
    if (options.check) {
      std::printf("%s: intact\n", argv[0]);
      return 0;
    }
  }
  std::vector<kc::zip::ZipEntry> entries;
  if (!payload->ReadEntries(entries, error)) return Failed(argv[0], error);
  if (options.list) {
    for (const auto& entry : entries)
      if (!entry.IsDirectory())
        std::printf("%llu\t%s\n", static_cast<unsigned long long>(entry.size), entry.name.c_str());
    return 0;
  }

  if (fresh) {
    if (!MakeFreshFolder(folder, error)) return Failed(argv[0], error);
  } else {
    folder = fs::absolute(options.target, code);
    fs::create_directories(folder, code);
    if (code || !fs::is_directory(folder)) {
      std::fprintf(stderr, "%s: %s: cannot create the folder%s\n", argv[0], options.target.c_str(),
                   code ? (": " + code.message()).c_str() : "");
      return kExtractFailed;
    }
  }
  // Into a fresh folder of our own, the check runs beside the extraction (the
  // folder is removed when either fails); nothing runs before both are done.
  std::string verifyError;
  bool intact = !fresh;
  std::thread verifier;
  if (fresh) verifier = std::thread([&] { intact = payload->Verify(verifyError); });
  const bool extracted = kc::sfx::ExtractInto(*payload, entries, folder.string(), error);
  if (verifier.joinable()) verifier.join();
  if (!intact || !extracted) {
    if (fresh) fs::remove_all(folder, code);
    return Failed(argv[0], intact ? error : verifyError);
  }
  if (options.noexec) {
    std::printf("%s\n", folder.string().c_str());
    return 0;
  }
  const fs::path started = fs::current_path(code);
  fs::current_path(folder, code);
  if (code) return Failed(argv[0], folder.string() + ": " + code.message());
  const int status = RunCommand(payload->commandLine());
  fs::current_path(started, code);
  if (fresh && !options.keep) fs::remove_all(folder, code);
  return status;
}
