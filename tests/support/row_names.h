// Test names of a table-driven suite from its rows' reasons: a row
// {.why = "a blank line ends the list"} runs as .../ABlankLineEndsTheList, so a
// failure says which case broke and why it matters. gtest takes letters, digits
// and underscores only, and names that are the same from run to run.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace kc::test {

inline std::string RowName(std::string_view why) {
  std::string name;
  bool startWord = true;
  for (const char c : why) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) {
      name += startWord ? static_cast<char>(std::toupper(u)) : c;
      startWord = false;
    } else {
      startWord = true;
    }
  }
  return name.empty() ? "Row" : name;
}

// INSTANTIATE_TEST_SUITE_P(Cases, Suite, Values(...), kc::test::ByWhy{}).
struct ByWhy {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return RowName(info.param.why);
  }
};

}  // namespace kc::test
