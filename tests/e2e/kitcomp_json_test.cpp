// kitcomp build --json, read back by a real JSON parser (Qt's).
#ifdef KITCOMP_TEST_JSON_PARSER
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <string>

#include "e2e_support.h"
#include "support/row_names.h"

namespace kc::e2e {
namespace {

struct JsonCase {
  const char* arguments;
  int status;
  const char* statusWord;
  std::vector<const char*> kinds;  // the images, in order
  const char* detail;              // the first failure's file, or the refusal; nullptr for none
  const char* why;
};

class BuildJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(BuildJson, OneDocumentNamingTheImagesAndFailures) {
  const JsonCase& c = GetParam();
  KitCopy kit;
  kit.Write("taken", "a file");
  const KitCopy::Streams run = kit.Run("build", std::string("--json ") + c.arguments);
  EXPECT_EQ(run.status, c.status) << c.why << "\n" << run.err;
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << c.why << ": " << error.errorString().toStdString() << "\n"
                                                   << run.out;
  const QJsonObject outcome = document.object();
  EXPECT_EQ(outcome["status"].toString().toStdString(), c.statusWord) << c.why;
  EXPECT_EQ(outcome["exit_status"].toInt(), c.status) << c.why;

  const QJsonArray images = outcome["images"].toArray();
  ASSERT_EQ(static_cast<std::size_t>(images.size()), c.kinds.size()) << c.why << "\n" << run.out;
  for (qsizetype i = 0; i < images.size(); ++i) {
    const QJsonObject image = images[i].toObject();
    EXPECT_EQ(image["kind"].toString().toStdString(), c.kinds[i]) << c.why;
    // The host path is where the drive path lies, and the image is there.
    const std::string host = image["host_path"].toString().toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(host)) << c.why << ": " << host;
    EXPECT_EQ(std::filesystem::path(host).filename(), c.kinds[i]);
    EXPECT_TRUE(image["drive_path"].toString().startsWith("T:\\")) << c.why;
    EXPECT_GT(image["files"].toInteger(), 0) << c.why;
    EXPECT_GT(image["bytes"].toInteger(), 0) << c.why;
  }
  const QJsonArray failures = outcome["failures"].toArray();
  if (c.status == 2) {
    EXPECT_EQ(outcome["refusal"].toString().toStdString(), c.detail) << c.why;
  } else if (c.detail != nullptr) {
    ASSERT_FALSE(failures.isEmpty()) << c.why;
    EXPECT_EQ(failures[0].toObject()["file"].toString().toStdString(), c.detail) << c.why;
    EXPECT_FALSE(failures[0].toObject()["reason"].toString().isEmpty()) << c.why;
  } else {
    EXPECT_TRUE(failures.isEmpty()) << c.why;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildJson,
    ::testing::Values(
        JsonCase{"", 0, "succeeded", {"CD", "disk", "network"}, nullptr, "every image with its folders and sizes"},
        JsonCase{"--output 'T:\\taken'", 1, "failed", {}, "T:\\taken", "a failure with its step, file and reason"},
        JsonCase{"--output 'Q:\\images'", 2, "refused", {}, "The output drive is invalid.", "a refusal"}),
    kc::test::ByWhy{});

TEST(BuildJson, BytesThatAreNotUtf8KeepTheDocumentValid) {
  KitCopy kit;
  // An output folder named in Latin-1, as a configuration made on Windows may
  // name it: "café" with the single byte 0xE9.
  const KitCopy::Streams run = kit.Run("build", "--json --no-download --output \"$(printf 'T:\\\\caf\\351')\"");
  ASSERT_EQ(run.status, 0) << run.err;
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << run.out;
  const QJsonObject image = document.object()["images"].toArray()[0].toObject();
  EXPECT_EQ(image["drive_path"].toString(), QString("T:\\caf") + QChar(0xE9) + "\\CD");
}

// kitcomp verify --json: one document for every path, an unreadable one
// included, whose status decides the exit status.
TEST(VerifyJson, OneDocumentForEveryPath) {
  KitCopy kit;
  ASSERT_EQ(kit.Build("--no-download").status, 0);
  kit.Write("out/CD/stray.txt", "not listed");
  const KitCopy::Streams run = kit.Run("verify", "--json 'T:\\out\\disk' 'T:\\out\\CD' 'T:\\nothing'");
  EXPECT_EQ(run.status, 2) << run.err;
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << run.out;
  EXPECT_EQ(document.object()["exit_status"].toInt(), 2);
  const QJsonArray images = document.object()["images"].toArray();
  ASSERT_EQ(images.size(), 3);
  const QJsonObject disk = images[0].toObject(), cd = images[1].toObject(), nothing = images[2].toObject();
  EXPECT_EQ(disk["kind"].toString(), "disk");
  EXPECT_TRUE(disk["sound"].toBool());
  EXPECT_GT(disk["files_checked"].toInt(), 10);
  EXPECT_TRUE(disk["found"].toObject()["modules"].toArray().contains(QString("lume")));
  EXPECT_FALSE(cd["sound"].toBool());
  EXPECT_EQ(cd["problems"].toArray()[0].toObject()["file"].toString(), "stray.txt");
  EXPECT_TRUE(nothing["kind"].isNull());
  EXPECT_FALSE(nothing["error"].toString().isEmpty());
}

}  // namespace
}  // namespace kc::e2e
#endif
