// Texts in tavrelctl's JSON, and its last handler.
#include "cli/json_text.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <string>

namespace tavrel::cli {
namespace {

// What a script does to have the bytes back: \\ is a backslash, \xHH a byte.
std::string Unescaped(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
    } else if (text[i + 1] == '\\') {
      bytes += '\\';
      ++i;
    } else {
      bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    }
  }
  return bytes;
}

TEST(JsonText, EscapesEachByteThatIsNotUtf8AndEachBackslash) {
  const struct {
    std::string bytes;
    std::string text;
  } rows[] = {
      {"KESTRA-P/S", "KESTRA-P/S"},
      {"Caf\xC3\xA9 \xE3\x82\xAB\xF0\x9F\x93\xB7", "Caf\xC3\xA9 \xE3\x82\xAB\xF0\x9F\x93\xB7"},
      {"Caf\xE9", "Caf\\xE9"},                       // Latin-1
      {"\x83J\x83\x81", "\\x83J\\x83\\x81"},         // Shift-JIS
      {"C:\\x41", "C:\\\\x41"},                      // a backslash of the text
      {"\xC0\xAF", "\\xC0\\xAF"},                    // an overlong '/'
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},           // a surrogate
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // above U+10FFFF
      {"\xE3\x82", "\\xE3\\x82"},                    // cut short
      {"\xE3\x82"
       "A",
       "\\xE3\\x82"
       "A"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(JsonText(row.bytes), row.text) << row.bytes;
    EXPECT_EQ(Unescaped(JsonText(row.bytes)), row.bytes);
  }
}

TEST(JsonText, AnyBytesComeBackFromTheJson) {
  std::mt19937 random(31);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 24, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    const std::string json = JsonDump({{"vendor", JsonText(bytes)}});
    EXPECT_EQ(Unescaped(nlohmann::json::parse(json)["vendor"].get<std::string>()), bytes);
  }
}

}  // namespace
}  // namespace tavrel::cli
