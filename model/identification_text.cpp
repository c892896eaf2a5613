#include "model/identification_text.h"

namespace tavrel {
namespace {

char LowCharacter(std::int32_t value) {
  return static_cast<char>(value & 0xFF);
}
char HighCharacter(std::int32_t value) {
  return static_cast<char>((value >> 8) & 0xFF);
}

std::vector<std::int32_t> ValuesOf(const ParameterTable& table, int first, int last) {
  std::vector<std::int32_t> values;
  for (int index = first; index <= last; ++index) values.push_back(table.GetValue(index, false));
  return values;
}

// A pair of characters is appended as one small text piece, which ends at
// its first zero byte: a zero first character drops the pair, a zero second
// character drops only itself.
void AppendPair(std::string& text, std::int32_t value) {
  if (LowCharacter(value) == '\0') return;
  text.push_back(LowCharacter(value));
  if (HighCharacter(value) != '\0') text.push_back(HighCharacter(value));
}

}  // namespace

std::string UnpackText(std::span<const std::int32_t> values) {
  std::string text;
  for (const std::int32_t value : values) {
    if (LowCharacter(value) == '\0') break;
    if (value < 256) {
      text.push_back(LowCharacter(value));
      break;
    }
    AppendPair(text, value);
  }
  return text;
}

std::string UnpackSerialNumber(std::span<const std::int32_t, 4> values) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) AppendPair(text, values[i]);
  if (LowCharacter(values[3]) != '\0') text.push_back(LowCharacter(values[3]));
  return text;
}

std::string UnpackVersion(std::int32_t first, std::int32_t second) {
  const std::string text{LowCharacter(first),  '.', HighCharacter(first), '.',
                         LowCharacter(second), '.', HighCharacter(second)};
  // The version text ends at its first zero byte.
  return text.substr(0, text.find('\0'));
}

std::vector<std::int32_t> PackText(const std::string& text) {
  std::vector<std::int32_t> values;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    std::int32_t value = static_cast<unsigned char>(text[i]);
    if (i + 1 < text.size()) value += 256 * static_cast<unsigned char>(text[i + 1]);
    values.push_back(value);
  }
  return values;
}

std::string VendorNameOf(const ParameterTable& table) {
  return UnpackText(ValuesOf(table, kVendorNameFirst, kVendorNameLast));
}

std::string ModelNameOf(const ParameterTable& table) {
  return UnpackText(ValuesOf(table, kModelNameFirst, kModelNameLast));
}

std::string SerialNumberOf(const ParameterTable& table) {
  const std::vector<std::int32_t> values = ValuesOf(table, kSerialNumberFirst, kSerialNumberLast);
  return UnpackSerialNumber(std::span<const std::int32_t, 4>(values.data(), 4));
}

std::string VersionOf(const ParameterTable& table) {
  return UnpackVersion(table.GetValue(kVersionFirst, false), table.GetValue(kVersionLast, false));
}

Identification UnpackIdentification(const ParameterTable& table) {
  return {VendorNameOf(table), ModelNameOf(table), SerialNumberOf(table), VersionOf(table)};
}

}  // namespace tavrel
