#include "sim/register_bank.h"

#include <stdexcept>

#include "sim/model_defaults.h"

namespace sim {
namespace {

// Settings registers carry multi-byte values most significant byte first,
// over as many bytes as the setting's range needs.
RegisterBytes SettingBytes(std::int32_t value, std::int32_t maximum) {
  const auto v = static_cast<std::uint32_t>(value);
  const auto m = static_cast<std::uint32_t>(maximum);
  auto byte = [](std::uint32_t x) { return static_cast<std::uint8_t>(x & 0xFF); };
  if (m & 0xFF0000) return {byte(v >> 16), byte(v >> 8), byte(v)};
  if (m & 0xFF00) return {byte(v >> 8), byte(v), 0};
  return {byte(v), byte(v >> 8), byte(v >> 16)};
}

}  // namespace

RegisterBank::RegisterBank(const CameraOptions& options) {
  const auto defaults = ModelDefaults(options.model);
  if (!defaults) throw std::invalid_argument("unknown camera model: " + options.model);
  const std::string vendor = options.vendorName.empty() ? kDefaultVendorName : options.vendorName;
  const std::string serial =
      options.serialNumber.empty() ? kDefaultSerialNumber : options.serialNumber;
  const std::string version =
      options.cameraVersion.empty() ? kDefaultCameraVersion : options.cameraVersion;
  const std::string modelName = options.modelName.empty() ? options.model : options.modelName;
  if (vendor.size() > 16) throw std::invalid_argument("vendor name longer than 16 characters");
  if (modelName.size() > 16) throw std::invalid_argument("model name longer than 16 characters");
  if (serial.size() != 7) throw std::invalid_argument("serial number must have 7 characters");
  if (version.size() != 4) throw std::invalid_argument("camera version must have 4 characters");

  for (const auto& setting : *defaults) {
    StoreBoth(kAreaCommon, setting.address, SettingBytes(setting.value, setting.maximum));
  }
  StoreText(0x00, 8, vendor);
  StoreText(0x08, 8, modelName);
  StoreText(kSerialFirstAddress, 4, serial);
  StoreText(0x14, 2, version);
}

bool RegisterBank::IsValidArea(int area) {
  return AreaSlot(area).has_value();
}

std::optional<int> RegisterBank::AreaSlot(int area) {
  switch (area) {
    case kAreaCommon:
      return 0;
    case kAreaDsp:
      return 1;
    case kAreaTg:
      return 2;
    case kAreaAfe:
      return 3;
    case kAreaDdr:
      return 4;
    case kAreaInfo:
      return 5;
    default:
      return std::nullopt;
  }
}

std::optional<RegisterBytes> RegisterBank::Read(int h1, int area, int address) const {
  const auto slot = AreaSlot(area);
  if (!IsValidMode(h1) || !slot || address < 0 || address > 0xFF) return std::nullopt;
  return registers_[h1][*slot][address];
}

bool RegisterBank::Write(int h1, int area, int address, RegisterBytes bytes) {
  const auto slot = AreaSlot(area);
  if (!IsValidMode(h1) || !slot || address < 0 || address > 0xFF) return false;
  registers_[h1][*slot][address] = bytes;
  return true;
}

bool RegisterBank::IsWriteAllowed(int h1, int area, int address) const {
  if (area != kAreaInfo || address < kSerialFirstAddress || address > kSerialLastAddress) {
    return true;
  }
  return Read(h1, kAreaCommon, kAccessAddress) == kAccessBytes;
}

void RegisterBank::StoreBoth(int area, int address, RegisterBytes bytes) {
  Write(0, area, address, bytes);
  Write(1, area, address, bytes);
}

// Identification text: two characters per register, first character in V0.
void RegisterBank::StoreText(int firstAddress, int entries, const std::string& text) {
  for (int i = 0; i < entries; ++i) {
    RegisterBytes bytes{};
    for (int k = 0; k < 2; ++k) {
      const std::size_t at = static_cast<std::size_t>(2 * i + k);
      if (at < text.size())
        bytes[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(text[at]);
    }
    StoreBoth(kAreaInfo, firstAddress + i, bytes);
  }
}

}  // namespace sim
