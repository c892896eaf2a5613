// The camera's registers: six areas of 256 three-byte registers, one set for
// the FPGA (H1 0x00) and one for the EEPROM (H1 0x01). Bytes are kept as they
// travel on the wire (V0 V1 V2).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/camera_options.h"

namespace sim {

using RegisterBytes = std::array<std::uint8_t, 3>;

inline constexpr int kAreaCommon = 0x01;
inline constexpr int kAreaDsp = 0x02;
inline constexpr int kAreaTg = 0x03;
inline constexpr int kAreaAfe = 0x04;
inline constexpr int kAreaDdr = 0x05;
inline constexpr int kAreaInfo = 0x10;

// Where the access value is written, and the value that unlocks the serial
// number registers.
inline constexpr int kAccessAddress = 0x60;
inline constexpr RegisterBytes kAccessBytes = {0x4A, 0x1D, 0x00};
inline constexpr int kSerialFirstAddress = 0x10;
inline constexpr int kSerialLastAddress = 0x13;

inline constexpr const char* kDefaultVendorName = "Talbrook";
inline constexpr const char* kDefaultSerialNumber = "0012345";
inline constexpr const char* kDefaultCameraVersion = "1000";

class RegisterBank {
 public:
  // Loads the model's defaults and identification data. Throws
  // std::invalid_argument for an unknown model or malformed identification.
  explicit RegisterBank(const CameraOptions& options);

  static bool IsValidMode(int h1) { return h1 == 0 || h1 == 1; }
  static bool IsValidArea(int area);

  // Empty optional for an invalid mode or area.
  std::optional<RegisterBytes> Read(int h1, int area, int address) const;
  bool Write(int h1, int area, int address, RegisterBytes bytes);

  // A serial-number register may be written only after the access value.
  bool IsWriteAllowed(int h1, int area, int address) const;

 private:
  static std::optional<int> AreaSlot(int area);
  void StoreBoth(int area, int address, RegisterBytes bytes);
  void StoreText(int firstAddress, int entries, const std::string& text);

  // [mode][area slot][address]
  std::array<std::array<std::array<RegisterBytes, 256>, 6>, 2> registers_{};
};

}  // namespace sim
