// Naming a parameter entry on the command line: an index 0..128 or a unique
// entry name, case ignored.
#pragma once

#include <optional>
#include <string>

#include "model/parameter_table.h"

namespace tavrel::cli {

struct EntryLookup {
  std::optional<int> index;
  std::string error;  // why there is no index: unknown or ambiguous, with the choices
};

EntryLookup FindEntry(const ParameterTable& table, const std::string& text);

// Parses a decimal or 0x-prefixed hexadecimal 32-bit integer.
std::optional<std::int32_t> ParseInteger(const std::string& text);

}  // namespace tavrel::cli
