// GetPrivateProfileStringA and WritePrivateProfileStringA on a generated 1 MB
// setup.ini: a value near the end, the key list of a large section, and a
// replaced value (the write includes the flush to disk of the atomic
// replacement). The text layer is measured alone as well.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/drives.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

namespace {

// About 1 MB: 600 component sections of 40 keys, then a section of 2000
// files, then the section read at the end.
std::string MakeSetupIni() {
  std::string text = "; Installer settings\r\n[General]\r\nProduct=Lumenary Suite\r\nVersion=4.7\r\n\r\n";
  for (int c = 0; c < 600; ++c) {
    text += "[Component " + std::to_string(c) + "]\r\n";
    for (int k = 0; k < 40; ++k) {
      text += "Key" + std::to_string(k) + " = \"value of component " + std::to_string(c) + " key " + std::to_string(k) +
              "\"\r\n";
    }
    text += "\r\n";
  }
  text += "[Files]\r\n";
  for (int f = 0; f < 2000; ++f) text += "file" + std::to_string(f) + ".dat=1\r\n";
  text += "\r\n[Last]\r\nTarget=found it\r\n";
  return text;
}

class SetupIni {
 public:
  SetupIni() {
    char pattern[] = "/tmp/kc-profile-bench-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    win::DriveTable::Set({{"C:", folder_}});
    text_ = MakeSetupIni();
    std::ofstream(folder_ + "/setup.ini", std::ios::binary) << text_;
  }
  ~SetupIni() { std::filesystem::remove_all(folder_); }
  const std::string& text() const { return text_; }

 private:
  std::string folder_;
  std::string text_;
};

SetupIni& Fixture() {
  static SetupIni fixture;
  return fixture;
}

void BM_ReadValueNearTheEnd(benchmark::State& state) {
  Fixture();
  char buffer[260];
  for (auto _ : state) {
    win::DWORD n = win::GetPrivateProfileStringA("Last", "Target", "", buffer, 260, "C:\\setup.ini");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * Fixture().text().size());
}
BENCHMARK(BM_ReadValueNearTheEnd)->Unit(benchmark::kMicrosecond);

void BM_ReadKeyListOfLargeSection(benchmark::State& state) {
  Fixture();
  std::string buffer(32768, '\0');
  for (auto _ : state) {
    win::DWORD n = win::GetPrivateProfileStringA("Files", nullptr, "", buffer.data(), 32768, "C:\\setup.ini");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * Fixture().text().size());
}
BENCHMARK(BM_ReadKeyListOfLargeSection)->Unit(benchmark::kMicrosecond);

void BM_WriteValueNearTheEnd(benchmark::State& state) {
  Fixture();
  int i = 0;
  for (auto _ : state) {
    // Alternate so that every call really rewrites the file.
    benchmark::DoNotOptimize(
        win::WritePrivateProfileStringA("Last", "Target", (++i % 2) ? "one" : "two", "C:\\setup.ini"));
  }
  state.SetBytesProcessed(state.iterations() * Fixture().text().size());
}
BENCHMARK(BM_WriteValueNearTheEnd)->Unit(benchmark::kMicrosecond);

// The text layer alone: what the file access adds is the difference.
void BM_TextFindValueNearTheEnd(benchmark::State& state) {
  const std::string& text = Fixture().text();
  for (auto _ : state) benchmark::DoNotOptimize(win::ini::FindRawValue(text, "Last", "Target"));
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_TextFindValueNearTheEnd)->Unit(benchmark::kMicrosecond);

void BM_TextSetValueNearTheEnd(benchmark::State& state) {
  const std::string& text = Fixture().text();
  for (auto _ : state) benchmark::DoNotOptimize(win::ini::SetValue(text, "Last", "Target", "other"));
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_TextSetValueNearTheEnd)->Unit(benchmark::kMicrosecond);

}  // namespace
