// The camera's settings as 129 parameter entries: descriptors fixed at
// start-up for the chosen camera model, and the current values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/comm_error.h"

namespace tavrel {

inline constexpr int kParameterCount = 129;
inline constexpr std::uint8_t kFlagWrite = 1;  // takes part in write-all
inline constexpr std::uint8_t kFlagRead = 2;   // takes part in read-all

// Camera model chosen at start-up: 0 LOMIRA-P/S, 1 PAVON-P/S, 2 SOVELI-P/S,
// 3 RINDAL-P/S, 4 KESTRA-P/S, 5 QUESSA-P/S, 6 TEMBRA-P/S.
extern int cameraType;
inline constexpr int kCameraTypeCount = 7;
// "LOMIRA-P/S" ... by camera type; empty for a type outside 0..6.
std::string CameraModelName(int type);
// The camera type of a model name (exact), or -1.
int CameraTypeFromName(const std::string& name);

using ValueConverter = std::int32_t (*)(std::int32_t);

struct ParameterEntry {
  std::uint8_t flags = 0;
  std::uint8_t readCommand = 0;
  std::uint8_t writeCommand = 0;
  std::uint8_t address = 0;
  std::int32_t defaultValue = 0;  // camera form
  std::int32_t minimum = 0;       // camera form
  std::int32_t maximum = 0;       // camera form
  ValueConverter fromCamera = nullptr;
  ValueConverter toCamera = nullptr;
  std::uint32_t nameId = 0;  // 0 = no name
};

// Every index argument is 0..128.
class ParameterTable : public virtual CommError {
 public:
  ParameterTable();
  ~ParameterTable() override;

  void InitTable();
  void SetEntry(int index, std::uint8_t flags, std::uint8_t readCommand, std::uint8_t writeCommand,
                std::uint8_t address, std::int32_t defaultValue, std::int32_t minimum,
                std::int32_t maximum, ValueConverter fromCamera, ValueConverter toCamera,
                std::uint32_t nameId);
  const ParameterEntry& GetEntry(int index) const { return entries[index]; }

  std::int32_t GetDefault(int index, bool convert) const;
  std::int32_t GetMinimum(int index, bool convert) const;
  std::int32_t GetMaximum(int index, bool convert) const;
  std::string GetName(int index) const;

  std::int32_t FromCamera(int index, std::int32_t value) const;
  std::int32_t ToCamera(int index, std::int32_t value) const;
  std::int32_t ResetValue(int index);
  std::int32_t GetValue(int index, bool toCamera) const;
  // 1 if the stored value changed, else 0.
  std::int32_t SetValue(int index, std::int32_t value, bool fromCamera);

  // Transfers: negative = failed (negated link error code); single entry:
  // 1 changed / 0 unchanged; WriteAllEntries 0; ReadAllEntries 1.
  std::int32_t WriteEntry(int index, std::int32_t value);
  std::int32_t ReadEntry(int index);
  std::int32_t WriteAllEntries();
  std::int32_t ReadAllEntries();

  // One camera message each; the camera object provides them from the link.
  virtual std::int32_t WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3,
                                  std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                                  std::int32_t value) = 0;
  virtual std::int32_t ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                                 std::int32_t minimum, std::int32_t maximum,
                                 std::int32_t* valueOut) = 0;

 protected:
  // Told just before an entry's camera message goes out, on its own or within
  // a whole-camera transfer (`value` in program form; 0 for a read), so that
  // the camera object can say what the exchange is for.
  virtual void AboutToTransferEntry(int /*index*/, bool /*write*/, std::int32_t /*value*/) {}

  std::array<ParameterEntry, kParameterCount> entries{};
  std::array<std::int32_t, kParameterCount> values{};
};

}  // namespace tavrel
