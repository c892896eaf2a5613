// The camera's identification texts (vendor name, model name, serial number,
// version), two 8-bit characters per entry value: the first in bits 0..7, the
// second in bits 8..15.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/parameter_table.h"

namespace tavrel {

// Entry groups of the identification texts.
inline constexpr int kVendorNameFirst = 27;
inline constexpr int kVendorNameLast = 34;
inline constexpr int kModelNameFirst = 35;
inline constexpr int kModelNameLast = 42;
inline constexpr int kSerialNumberFirst = 43;
inline constexpr int kSerialNumberLast = 46;
inline constexpr int kVersionFirst = 47;
inline constexpr int kVersionLast = 48;
// The serial number has exactly this many characters.
inline constexpr std::size_t kSerialNumberLength = 7;

// A variable-length text from consecutive entry values: a value whose low byte
// is 0 ends the text before it; a value below 256 adds one character and ends
// it; otherwise both characters are added and the next value follows.
std::string UnpackText(std::span<const std::int32_t> values);

// The seven serial-number characters from four values (the last gives one).
std::string UnpackSerialNumber(std::span<const std::int32_t, 4> values);

// "%c.%c.%c.%c" from the two version values.
std::string UnpackVersion(std::int32_t first, std::int32_t second);

// Entry values for writing a text: first character + 256 x second; an odd
// last character stands alone. So a 7-character serial number gives 4 values.
std::vector<std::int32_t> PackText(const std::string& text);

// The texts as the table currently holds them (program form).
std::string VendorNameOf(const ParameterTable& table);
std::string ModelNameOf(const ParameterTable& table);
std::string SerialNumberOf(const ParameterTable& table);
std::string VersionOf(const ParameterTable& table);

struct Identification {
  std::string vendorName;
  std::string modelName;
  std::string serialNumber;
  std::string version;
};
Identification UnpackIdentification(const ParameterTable& table);

}  // namespace tavrel
