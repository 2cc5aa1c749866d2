#include "app/build_json.h"

#include <cstdio>

#include "app/build_summary.h"

namespace kc::app {
namespace {

// The length of the valid UTF-8 sequence at `i` (1 to 4), or 0 when the byte
// there does not start one: overlong forms, surrogates and code points past
// U+10FFFF are not valid.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

std::string Escaped(unsigned code) {
  char text[8];
  std::snprintf(text, sizeof text, "\\u%04X", code);
  return text;
}

std::string Field(const char* name, const std::string& json) {
  return JsonString(name) + ": " + json;
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string json = "\"";
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = Utf8SequenceAt(bytes, i);
    if (length == 0) {
      json += Escaped(c);
      ++i;
      continue;
    }
    if (length > 1) {
      json.append(bytes.substr(i, length));
    } else if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c == '\n') {
      json += "\\n";
    } else if (c == '\r') {
      json += "\\r";
    } else if (c == '\t') {
      json += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      json += Escaped(c);
    } else {
      json += static_cast<char>(c);
    }
    i += length;
  }
  return json + "\"";
}

std::string FormatBuildJson(int exitStatus, const engine::BuildReport* report, const std::string& refusal) {
  const char* status = report == nullptr ? "refused" : report->ok() ? "succeeded" : "failed";
  std::string json = "{\n  " + Field("status", JsonString(status)) + ",\n  " +
                     Field("exit_status", std::to_string(exitStatus)) + ",\n  \"images\": [";
  if (report != nullptr) {
    const char* separator = "\n";
    for (const engine::ImageResult& image : report->images()) {
      const std::string host = HostPathOf(image.directory);
      json += separator;
      json += "    {" + Field("kind", JsonString(image.kind)) + ", " +
              Field("drive_path", JsonString(image.directory)) + ", " +
              Field("host_path", host.empty() ? "null" : JsonString(host)) + ", " +
              Field("files", std::to_string(image.files)) + ", " + Field("bytes", std::to_string(image.bytes)) + "}";
      separator = ",\n";
    }
    if (!report->images().empty()) json += "\n  ";
  }
  json += "],\n  \"failures\": [";
  if (report != nullptr) {
    const char* separator = "\n";
    for (const engine::Failure& failure : report->failures()) {
      json += separator;
      json += "    {" + Field("step", JsonString(failure.step)) + ", " + Field("file", JsonString(failure.file)) +
              ", " + Field("reason", JsonString(failure.reason)) + "}";
      separator = ",\n";
    }
    if (!report->failures().empty()) json += "\n  ";
  }
  json += "]";
  if (report == nullptr) json += ",\n  " + Field("refusal", JsonString(refusal));
  return json + "\n}\n";
}

}  // namespace kc::app
