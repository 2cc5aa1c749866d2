// How controls show the narrow text of the program and give it back.
//
// The program's texts are bytes as the files hold them. A control shows bytes
// that are valid UTF-8 as UTF-8 and any others as Windows-1252, and keeps
// both the bytes it was given and the text it showed: read back unchanged, it
// gives those bytes exactly, so text the user did not touch is never altered
// (code-page bytes included). Text the user changed is stored in the encoding
// the dialog names (that of the file it goes to, CDialog::SetTextFile); a
// character that encoding cannot hold is refused, never replaced.
//
// List, combo box and tree items keep the bytes they were added with in the
// same way; what the program reads from them is always those bytes.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

class QWidget;

namespace kc::fw {

// The text shown for narrow bytes.
QString ShownText(std::string_view bytes);

// Widgets: after a control has been given `bytes` and shows `shown`.
void RememberControlText(QWidget* w, std::string_view bytes, const QString& shown);
// The stored form of `current`, the text control w shows now: the bytes it was
// given while it still shows what it showed then, else `current` in
// `encoding`. nullopt when a character cannot be held; `refused` then names it.
std::optional<std::string> StoredControlText(const QWidget* w, const QString& current, platform::TextEncoding encoding,
                                             std::string* refused = nullptr);

// Items: the data that keeps an item's bytes, and the bytes of an item (its
// shown text as UTF-8 when it was made without them).
inline constexpr int kItemBytesRole = Qt::UserRole + 0x4B43;
QVariant ItemBytes(std::string_view bytes);
std::string BytesOfItem(const QVariant& data, const QString& shown);

// The message for typed text that cannot be stored in `encoding` (of `file`).
std::string UnstorableTextMessage(const QString& text, const std::string& refused, platform::TextEncoding encoding,
                                  const std::string& file);

}  // namespace kc::fw
