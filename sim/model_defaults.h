// Power-on register contents of each camera model: the settings registers of
// the common area as the camera holds them after a write-all of its defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct RegisterDefault {
  std::uint8_t address;
  std::int32_t value;
  // Highest value of the setting: decides how many bytes it occupies.
  std::int32_t maximum;
};

// Settings of `model` in the order a write-all sends them (later entries of a
// shared address win). Empty optional for an unknown model name.
std::optional<std::vector<RegisterDefault>> ModelDefaults(const std::string& model);

// All model names the virtual camera can be.
const std::vector<std::string>& KnownModels();

}  // namespace sim
