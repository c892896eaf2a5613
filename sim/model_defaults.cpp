#include "sim/model_defaults.h"

#include <algorithm>

namespace sim {
namespace {

// Values that differ between models.
struct ModelRow {
  const char* name;
  std::int32_t gainMax;
  std::int32_t blackDefault;
  std::int32_t blackMax;
  std::int32_t shutter;     // programmable shutter default and maximum
  std::int32_t partialMax;  // partial scan start maximum, end default and maximum
  bool hasAccelerated;      // accelerated mode register at 0x13
};

constexpr ModelRow kModels[] = {
    {"LOMIRA-P/S", 462, 25, 31, 929, 1236, false}, {"PAVON-P/S", 462, 25, 31, 818, 768, false},
    {"SOVELI-P/S", 462, 25, 31, 787, 494, false},  {"RINDAL-P/S", 462, 25, 31, 770, 494, false},
    {"KESTRA-P/S", 336, 0, 32, 834, 1236, true},   {"QUESSA-P/S", 336, 0, 32, 720, 494, true},
    {"TEMBRA-P/S", 336, 0, 32, 787, 494, true},
};

}  // namespace

const std::vector<std::string>& KnownModels() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> result;
    for (const auto& row : kModels) result.emplace_back(row.name);
    return result;
  }();
  return names;
}

std::optional<std::vector<RegisterDefault>> ModelDefaults(const std::string& model) {
  const auto* row = std::find_if(std::begin(kModels), std::end(kModels),
                                 [&](const ModelRow& r) { return model == r.name; });
  if (row == std::end(kModels)) return std::nullopt;
  std::vector<RegisterDefault> settings = {
      {0x06, 1, 1},                              // AGC mode
      {0x08, 0, 255},                            // shutter speed
      {0x04, 0, 4},                              // trigger mode
      {0x0F, 0, 1},                              // trigger polarity A
      {0x10, 0, 1},                              // trigger polarity B
      {0x02, 1, 1},                              // HD reset
      {0x14, 1, 1},                              // data bit
      {0x06, 0, 15},                             // AD clock
      {0x07, 0, 15},                             // SHP
      {0x08, 0, 15},                             // SHD
      {0x0C, 0, row->gainMax},                   // gain
      {0x1C, 0, 1023},                           // adjust gain
      {0x17, row->blackDefault, row->blackMax},  // black level
      {0x00, 0, 7},                              // gain control
      {0x05, 1, 1},                              // clock phase on/off
      {0x11, row->shutter, row->shutter},        // programmable shutter
      {0x19, 5, 26},
  };
  if (row->hasAccelerated) settings.push_back({0x13, 0, 1});
  const std::vector<RegisterDefault> rest = {
      {0x0A, 7, 15},                             // clock phase
      {0x00, 0, 15},                             // H1
      {0x00, 0, 15},                             // H2
      {0x15, 0, 1},                              // VD/FVAL
      {0x16, 0, 1},                              // HD/LVAL
      {0x00, 0, 1},                              // back up
      {0x1E, 0, 1},                              // partial scan on/off
      {0x1F, 1, row->partialMax},                // partial scan start
      {0x20, row->partialMax, row->partialMax},  // partial scan end
      {0x60, 0, 65535},                          // access value
  };
  settings.insert(settings.end(), rest.begin(), rest.end());
  return settings;
}

}  // namespace sim
