#include <gtest/gtest.h>

#include "engine/image_builder.h"
#include "engine_test_support.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

struct CatalogueCase {
  const char* name;
  std::string setupIni;  // the engine setup.ini
  int result;
  std::vector<std::string> stems;
};

class Catalogue : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(Catalogue, ReadsStemsFromTheEngineSetupIni) {
  TempDrive drive;
  drive.Write("kit/custom/engine/setup.ini", GetParam().setupIni);
  test::RecordingProgress progress;
  test::RecordingWindow window(progress.log);
  CImageBuilder builder(progress, window);
  EXPECT_EQ(builder.ReadComponentCatalogue("T:\\kit"), GetParam().result);
  EXPECT_EQ(builder.catalogue(), GetParam().stems);
  EXPECT_EQ(builder.count(), static_cast<int>(GetParam().stems.size()));
  // An empty catalogue is a build without modules: it is reported.
  EXPECT_EQ(builder.report().ok(), GetParam().result == 0);
}

std::string ManyComponents(int n, const std::string& prefix) {
  std::string text = "[Components]\r\n";
  for (int i = 0; i < n; ++i) text += prefix + std::to_string(i) + "=m" + std::to_string(i) + "\r\n";
  return text;
}

std::vector<std::string> ManyStems(int n) {
  std::vector<std::string> stems;
  for (int i = 0; i < n; ++i) stems.push_back("m" + std::to_string(i));
  return stems;
}

const std::string kLongName(150, 'N');

INSTANTIATE_TEST_SUITE_P(
    Cases, Catalogue,
    ::testing::Values(
        CatalogueCase{"ComponentsThenSubComponentsInFileOrder",
                      "[Components]\r\nMain=lume\r\nCalendar=cal\r\n[SubComponents]\r\nMultimedia Support=x\r\n"
                      "Extras=y\r\n[Multimedia Support]\r\nDefault Path=Program\r\nAudio=audio\r\n"
                      "[Extras]\r\nVideo=video\r\n",
                      0,
                      {"lume", "cal", "audio", "video"}},
        CatalogueCase{"EmptyValuesContributeNothing", "[Components]\r\nA=\r\nB=b\r\n", 0, {"b"}},
        CatalogueCase{"PathKeysSkippedOnlyWhenSpelledExactly",
                      "[Components]\r\nA=a\r\n[SubComponents]\r\nMM=\r\nOther=\r\n[MM]\r\nDefault Path=p1\r\n"
                      "Path Dependency=p2\r\nChangeable Path=p3\r\n[Other]\r\ndefault path=p4\r\n"
                      "CHANGEABLE PATH=p5\r\n",
                      0,
                      {"a", "p4", "p5"}},
        CatalogueCase{"SubComponentValueCutTo99Characters",
                      "[Components]\r\nA=a\r\n[SubComponents]\r\nMM=\r\n[MM]\r\nLong=" + std::string(120, 's') + "\r\n",
                      0,
                      {"a", std::string(99, 's')}},
        CatalogueCase{"ComponentValueCutTo199Characters",
                      "[Components]\r\nA=" + std::string(250, 'c') + "\r\n",
                      0,
                      {std::string(199, 'c')}},
        CatalogueCase{"MissingSubComponentSectionContributesNothing",
                      "[Components]\r\nA=a\r\n[SubComponents]\r\nNowhere=\r\n",
                      0,
                      {"a"}},
        // Keys without a module are no catalogue either, whatever the sub-components hold.
        CatalogueCase{"ComponentsWithOnlyEmptyValues",
                      "[Components]\r\nA=\r\nB=\r\n[SubComponents]\r\nMM=\r\n[MM]\r\nAudio=audio\r\n",
                      -1,
                      {}},
        CatalogueCase{"NoComponentsSection", "[SubComponents]\r\nMM=\r\n[MM]\r\nAudio=audio\r\n", -1, {}},
        CatalogueCase{"MissingFile", "", -1, {}},
        CatalogueCase{"DuplicatesKept", "[Components]\r\nA=cal\r\nB=cal\r\n", 0, {"cal", "cal"}},
        CatalogueCase{"MoreThanTwentyFourEntries", ManyComponents(30, "Component "), 0, ManyStems(30)},
        // 40 names of 150+ characters: far beyond a 200-character list buffer.
        CatalogueCase{"LongKeyListReadWhole", ManyComponents(40, kLongName), 0, ManyStems(40)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueMissingFile, SaysTheSettingsFileIsMissing) {
  TempDrive drive;
  test::RecordingProgress progress;
  test::RecordingWindow window(progress.log);
  CImageBuilder builder(progress, window);
  EXPECT_EQ(builder.ReadComponentCatalogue("T:\\kit"), -1);
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_EQ(builder.report().failures()[0].file, "T:\\kit\\custom\\engine\\setup.ini");
  EXPECT_NE(builder.report().failures()[0].reason.find("missing"), std::string::npos);
}

TEST(CatalogueNames, AStemThatIsNoFileNameIsReportedAndLeftOut) {
  TempDrive drive;
  drive.Write("kit/custom/engine/setup.ini",
              "[Components]\r\nMain=lume\r\nCalendar=..\\..\\kitcomp\\kitcomp\r\n[SubComponents]\r\nMM=\r\n"
              "[MM]\r\nAudio=C:audio\r\n");
  test::RecordingProgress progress;
  test::RecordingWindow window(progress.log);
  CImageBuilder builder(progress, window);
  builder.ReadComponentCatalogue("T:\\kit");
  EXPECT_EQ(builder.catalogue(), std::vector<std::string>{"lume"});
  ASSERT_EQ(builder.report().failures().size(), 2u);
  EXPECT_EQ(builder.report().failures()[0].reason,
            "The component \"Calendar\" (in [Components]) names the module \"..\\..\\kitcomp\\kitcomp\", which is not "
            "a plain file name: it contains a path separator (\\ or /). The module was left out.");
  EXPECT_NE(builder.report().failures()[1].reason.find("\"Audio\" (in [MM])"), std::string::npos);
}

}  // namespace
}  // namespace kc::engine
