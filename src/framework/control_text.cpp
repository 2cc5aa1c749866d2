#include "framework/control_text.h"

#include <QByteArray>
#include <QWidget>

namespace kc::fw {
namespace {

const char kBytesProperty[] = "kcTextBytes";
const char kShownProperty[] = "kcTextShown";

}  // namespace

QString ShownText(std::string_view bytes) {
  const std::string utf8 = platform::NarrowToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void RememberControlText(QWidget* w, std::string_view bytes, const QString& shown) {
  if (!w) return;
  w->setProperty(kBytesProperty, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  w->setProperty(kShownProperty, shown);
}

std::optional<std::string> StoredControlText(const QWidget* w, const QString& current, platform::TextEncoding encoding,
                                             std::string* refused) {
  if (w) {
    const QVariant shown = w->property(kShownProperty);
    if (shown.isValid() && shown.toString() == current) return w->property(kBytesProperty).toByteArray().toStdString();
  }
  if (!current.isValidUtf16()) {  // an unpaired surrogate: no encoding holds it
    if (refused) *refused = "\xEF\xBF\xBD";
    return std::nullopt;
  }
  return platform::EncodeUtf8As(current.toStdString(), encoding, refused);
}

QVariant ItemBytes(std::string_view bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string BytesOfItem(const QVariant& data, const QString& shown) {
  return data.isValid() ? data.toByteArray().toStdString() : shown.toStdString();
}

std::string UnstorableTextMessage(const QString& text, const std::string& refused, platform::TextEncoding encoding,
                                  const std::string& file) {
  const std::string where = file.empty() ? std::string() : " in which " + file + " is written";
  const std::string codeName =
      encoding == platform::TextEncoding::kWindows1252 ? "the Windows-1252 code page" : "UTF-8";
  return "The text \"" + text.toStdString() + "\" cannot be stored as typed: its character \"" + refused +
         "\" does not exist in " + codeName + where + ". Please type the text without it.";
}

}  // namespace kc::fw
