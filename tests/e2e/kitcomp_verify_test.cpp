// kitcomp verify on the sample kit's images: each kind sound as built, and
// each kind of damage caught and named with its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>

#include "e2e_support.h"

namespace kc::e2e {
namespace {

namespace fs = std::filesystem;

// A network installer's build: the administrator's CD and the end user's CD,
// disk and network images, made once for the whole table.
class Verify : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    kit_ = std::make_unique<KitCopy>();
    kit_->SetChoice("NetOrLocal", "Net");
    built_ = kit_->Build("--verify");
  }
  static void TearDownTestSuite() { kit_.reset(); }

  // A private copy of an image below out/, to be damaged; it keeps the image
  // set's folder, which says whose image it is.
  static std::string Copy(const std::string& image, const std::string& as) {
    fs::remove_all(kit_->Host(as));
    fs::create_directories(fs::path(kit_->Host(as)).parent_path());
    fs::copy(kit_->Host("out/" + image), kit_->Host(as), fs::copy_options::recursive);
    return as;
  }

  static inline std::unique_ptr<KitCopy> kit_;
  static inline KitCopy::Outcome built_;
};

// Changes one byte: `at` from the start, or from the end when negative.
void FlipByte(const std::string& hostFile, std::streamoff at) {
  std::fstream file(hostFile, std::ios::in | std::ios::out | std::ios::binary);
  file.seekg(at, at < 0 ? std::ios::end : std::ios::beg);
  char c = 0;
  file.get(c);
  file.seekp(at, at < 0 ? std::ios::end : std::ios::beg);
  file.put(static_cast<char>(c ^ 0x20));
}

// The first byte of a zip archive's first entry's data, after its local header.
std::streamoff FirstEntryData(const std::string& hostFile) {
  std::ifstream file(hostFile, std::ios::binary);
  unsigned char header[30] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  return 30 + (header[26] | header[27] << 8) + (header[28] | header[29] << 8);
}

void Append(const std::string& hostFile, const std::string& text) {
  std::ofstream(hostFile, std::ios::app | std::ios::binary) << text;
}

struct Damage {
  const char* image;  // below out/
  const char* path;   // what is verified, relative to the copy ("" for the copy itself)
  std::function<void(const KitCopy&, const std::string& copy)> damage;
  const char* file;    // the file the problem names; nullptr: the image is sound
  const char* reason;  // a part of the reason
};

TEST_F(Verify, SoundImagesPassAndEachDamageIsNamed) {
  ASSERT_EQ(built_.status, 0) << built_.output;
  const auto none = [](const KitCopy&, const std::string&) {};
  const std::vector<Damage> table = {
      {"administrator/CD", "", none, nullptr, nullptr},
      {"end_user/CD", "", none, nullptr, nullptr},
      {"end_user/disk", "setup.iso", none, nullptr, nullptr},
      {"end_user/network", "", none, nullptr, nullptr},
      // A module archive with one byte of an entry's data changed.
      {"end_user/CD", "",
       [](const KitCopy& kit, const std::string& copy) {
         const std::string archive = kit.Host(copy + "/fonts.z");
         FlipByte(archive, FirstEntryData(archive) + 1);
       },
       "fonts.z", "is damaged"},
      {"end_user/CD", "", [](const KitCopy& kit, const std::string& copy) { fs::remove(kit.Host(copy + "/chat.z")); },
       "chat.z", "does not hold"},
      {"end_user/CD", "",
       [](const KitCopy& kit, const std::string& copy) {
         Append(kit.Host(copy + "/news.ini"),
                "[CompressGet-CG7]\r\nSource=news.z\r\nTargetFiles=program\\gone.dll\r\n");
       },
       "news.ini", "installs \"program/gone.dll\" from \"news.z\", which holds no such file"},
      {"end_user/network", "netsetup.exe",
       [](const KitCopy& kit, const std::string& copy) { FlipByte(kit.Host(copy + "/netsetup.exe"), -4000); },
       "netsetup.exe", "integrity check failed"},
      // The administrator's package list, made before the end user's settings.
      {"end_user/CD", "",
       [](const KitCopy& kit, const std::string& copy) {
         fs::copy_file(kit.Host("out/administrator/CD/setup.pkg"), kit.Host(copy + "/setup.pkg"),
                       fs::copy_options::overwrite_existing);
       },
       "setup.ini", "the package list is stale"},
      {"administrator/CD", "",
       [](const KitCopy& kit, const std::string& copy) {
         kit.Shell("sed -i 's/^Show Options Dialog=.*/Show Options Dialog=NO\\r/' '" + kit.Host(copy + "/setup.ini") +
                   "'");
       },
       "setup.ini", "Show Options Dialog is \"NO\""},
      // Windows (Joliet) and other systems (Rock Ridge) see different names.
      {"end_user/disk", "setup.iso",
       [](const KitCopy& kit, const std::string& copy) {
         const std::string iso = kit.Host(copy + "/setup.iso");
         std::fstream file(iso, std::ios::in | std::ios::out | std::ios::binary);
         const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
         const std::string joliet("\0s\0e\0t\0u\0p\0.\0i\0n\0i", 18);
         file.seekp(static_cast<std::streamoff>(bytes.find(joliet) + 17));
         file.put('x');
       },
       "setup.ini", "Windows (Joliet) finds no file of this name"},
      // A file of an image packed into a module archive.
      {"end_user/CD", "",
       [](const KitCopy& kit, const std::string& copy) {
         kit.Shell(kit.Host("kit/kitcomp/squash.exe") + " -i 'T:\\" + copy + "\\setup.pkg' 'T:\\" + copy + "\\vue.z'");
       },
       "vue.z", "a file of an earlier image"},
  };
  int row = 0;
  for (const Damage& d : table) {
    const std::string copy = Copy(d.image, "work/" + std::to_string(++row) + "/" + d.image);
    d.damage(*kit_, copy);
    std::string target = "T:\\" + copy + (*d.path ? std::string("\\") + d.path : "");
    for (char& c : target) c = c == '/' ? '\\' : c;
    const KitCopy::Streams run = kit_->Run("verify", "'" + target + "'");
    const std::string where = "row " + std::to_string(row) + " (" + d.image + ")\n" + run.out + run.err;
    if (d.file == nullptr) {
      EXPECT_EQ(run.status, 0) << where;
      EXPECT_NE(run.out.find("): sound"), std::string::npos) << where;
      continue;
    }
    EXPECT_EQ(run.status, 1) << where;
    bool named = false;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
      named = named || (line.find(std::string("problem: ") + d.file + ": ") != std::string::npos &&
                        line.find(d.reason) != std::string::npos);
    }
    EXPECT_TRUE(named) << where;
  }
  // Started in the kit's folder, a path on the kit's own drive (its drives.ini
  // puts K: at the folder holding the kit) names the same image.
  const KitCopy::Streams onKitDrive = kit_->Run("verify", "'K:\\out\\end_user\\CD'");
  EXPECT_EQ(onKitDrive.status, 0) << onKitDrive.out << onKitDrive.err;
}

// A module whose settings name a file its archive lacks builds without a
// failure; with --verify that is a failure of the build.
TEST(VerifyBuild, CountsTheProblemsOfTheImagesAsFailures) {
  KitCopy kit;
  Append(kit.Host("kit/source/modules/news.ini"), "[CompressGet-CG7]\r\nSource=news.z\r\nTargetFiles=gone.dll\r\n");
  ASSERT_EQ(kit.Build("--no-download").status, 0);
  const KitCopy::Outcome verified = kit.Build("--no-download --verify");
  EXPECT_EQ(verified.status, 1) << verified.output;
  EXPECT_NE(verified.output.find("T:\\out\\CD\\news.ini"), std::string::npos) << verified.output;
  EXPECT_NE(verified.output.find("T:\\out\\disk\\setup.iso (news.ini)"), std::string::npos) << verified.output;
}

}  // namespace
}  // namespace kc::e2e
