// Comparing two sets of the 129 entry values, such as a settings file and
// what a camera holds: which of the entries the model uses differ.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/parameter_table.h"

namespace tavrel {

enum class CompareScope {
  kWritten,  // the entries write-all writes for the model: what loading a file sets
  kRead,     // the entries read-all reads for the model, identification included
};

struct SettingsDifference {
  int index = 0;
  std::int32_t left = 0;   // program form
  std::int32_t right = 0;  // program form

  bool operator==(const SettingsDifference&) const = default;
};

// The entries in `scope` whose values differ, in index order. `left` and
// `right` hold 129 values each in camera form, entry 0 first (as a settings
// file stores them); `model` gives the entries' flags and converters. Values
// are compared and given in program form, as the panel shows them, so a
// difference always shows two different numbers. Entries the model does not
// use, and those the scope's whole-table transfer never reaches, are ignored.
std::vector<SettingsDifference> CompareSettings(
    const ParameterTable& model, std::span<const std::int32_t, kParameterCount> left,
    std::span<const std::int32_t, kParameterCount> right, CompareScope scope);

}  // namespace tavrel
