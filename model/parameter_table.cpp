#include "model/parameter_table.h"

#include "res/string_table.h"

namespace tavrel {

int cameraType = 0;

namespace {

constexpr const char* kModelNames[kCameraTypeCount] = {
    "LOMIRA-P/S", "PAVON-P/S", "SOVELI-P/S", "RINDAL-P/S", "KESTRA-P/S", "QUESSA-P/S", "TEMBRA-P/S",
};

// Header bytes of every parameter message.
constexpr std::int32_t kHeader1 = 0x01;
constexpr std::int32_t kHeader2 = 0xFF;

// Command bytes of the two register areas the table uses.
constexpr std::uint8_t kReadSettings = 0x81;
constexpr std::uint8_t kWriteSettings = 0x01;
constexpr std::uint8_t kReadIdentification = 0x90;
constexpr std::uint8_t kWriteIdentification = 0x10;

constexpr std::uint8_t kBothFlags = kFlagWrite | kFlagRead;

struct BaseRow {
  int index;
  std::uint8_t flags;
  std::uint8_t readCommand;
  std::uint8_t writeCommand;
  std::uint8_t address;
  std::int32_t defaultValue;
  std::int32_t minimum;
  std::int32_t maximum;
  std::uint32_t nameId;
};

// The settings as the first model has them; entry 17 is not part of it.
constexpr BaseRow kBaseRows[] = {
    {0, kBothFlags, kReadSettings, kWriteSettings, 0x06, 1, 0, 1, 62200},      // AGC MODE
    {1, kBothFlags, kReadSettings, kWriteSettings, 0x08, 0, 0, 255, 62201},    // SHUTTER SPEED
    {2, kBothFlags, kReadSettings, kWriteSettings, 0x04, 0, 0, 4, 62202},      // TRIGGER MODE
    {3, kBothFlags, kReadSettings, kWriteSettings, 0x0F, 0, 0, 1, 62204},      // TRIGGER POLARITY
    {4, kBothFlags, kReadSettings, kWriteSettings, 0x10, 0, 0, 1, 62204},      // TRIGGER POLARITY
    {5, kBothFlags, kReadSettings, kWriteSettings, 0x02, 1, 0, 1, 62203},      // HD RESET
    {6, kBothFlags, kReadSettings, kWriteSettings, 0x14, 1, 0, 1, 62238},      // DATA BIT
    {7, kBothFlags, kReadSettings, kWriteSettings, 0x06, 0, 0, 15, 62234},     // AD CLK
    {8, kBothFlags, kReadSettings, kWriteSettings, 0x07, 0, 0, 15, 62232},     // SHP
    {9, kBothFlags, kReadSettings, kWriteSettings, 0x08, 0, 0, 15, 62233},     // SHD
    {10, kBothFlags, kReadSettings, kWriteSettings, 0x0C, 0, 0, 462, 62207},   // GAIN
    {11, kBothFlags, kReadSettings, kWriteSettings, 0x1C, 0, 0, 1023, 62242},  // Adjust GAIN
    {12, kBothFlags, kReadSettings, kWriteSettings, 0x17, 25, 0, 31, 62208},   // BLACK LEVEL
    {13, kBothFlags, kReadSettings, kWriteSettings, 0x00, 0, 0, 7, 62209},     // GAIN CONT
    {14, kBothFlags, kReadSettings, kWriteSettings, 0x05, 1, 0, 1, 62210},     // CLK PHASE ON/OFF
    {15, kBothFlags, kReadSettings, kWriteSettings, 0x11, 929, 0, 929,
     62240},                                                                 // Programable Shutter
    {16, kBothFlags, kReadSettings, kWriteSettings, 0x19, 5, 0, 26, 62212},  // (no text)
    {18, kBothFlags, kReadSettings, kWriteSettings, 0x0A, 7, 0, 15, 62216},  // CLK PHASE
    {19, kBothFlags, kReadSettings, kWriteSettings, 0x00, 0, 0, 15, 62236},  // H1
    {20, kBothFlags, kReadSettings, kWriteSettings, 0x00, 0, 0, 15, 62237},  // H2
    {21, kBothFlags, kReadSettings, kWriteSettings, 0x15, 0, 0, 1, 62241},   // VD FVAL
    {22, kBothFlags, kReadSettings, kWriteSettings, 0x16, 0, 0, 1, 62247},   // HD/LVAL
    {23, kBothFlags, kReadSettings, kWriteSettings, 0x00, 0, 0, 1, 62243},   // Back Up
    {24, kBothFlags, kReadSettings, kWriteSettings, 0x1E, 0, 0, 1, 62246},   // Partial Scan ON/OFF
    {25, kBothFlags, kReadSettings, kWriteSettings, 0x1F, 1, 1, 1236, 62244},  // Partial Scan Start
    {26, kBothFlags, kReadSettings, kWriteSettings, 0x20, 1236, 1, 1236,
     62245},                                                                   // Partial Scan End
    {49, kFlagRead, kReadSettings, kWriteSettings, 0x60, 0, 0, 65535, 62250},  // Password
    {128, 0, 0x00, 0x00, 0x00, 0, 0, 0, 62231},                                // (Reserved)
};

// Identification texts, two characters per entry, at INFO addresses 0x00..0x15.
constexpr int kFirstIdentificationEntry = 27;
constexpr int kLastIdentificationEntry = 48;
constexpr std::uint32_t kVendorNameId = 62251;
constexpr std::uint32_t kModelNameId = 62248;
constexpr std::uint32_t kSerialNumberId = 62249;
constexpr std::uint32_t kVersionId = 62252;

std::uint32_t IdentificationNameId(int index) {
  if (index <= 34) return kVendorNameId;
  if (index <= 42) return kModelNameId;
  if (index <= 46) return kSerialNumberId;
  return kVersionId;
}

// What differs between the models.
struct ModelRow {
  std::int32_t gainMaximum;          // entry 10
  std::int32_t blackLevelDefault;    // entry 12
  std::int32_t blackLevelMaximum;    // entry 12
  std::int32_t programableShutter;   // entry 15, default and maximum
  bool accelerated;                  // entry 17 in use
  std::int32_t partialScanStartMax;  // entry 25
  std::int32_t partialScanEnd;       // entry 26, default and maximum
};

constexpr ModelRow kModelRows[kCameraTypeCount] = {
    {462, 25, 31, 929, false, 1236, 1236},  // LOMIRA-P/S
    {462, 25, 31, 818, false, 768, 768},    // PAVON-P/S
    {462, 25, 31, 787, false, 494, 494},    // SOVELI-P/S
    {462, 25, 31, 770, false, 494, 494},    // RINDAL-P/S
    {336, 0, 32, 834, true, 1236, 1236},    // KESTRA-P/S
    {336, 0, 32, 720, true, 494, 494},      // QUESSA-P/S
    {336, 0, 32, 787, true, 494, 494},      // TEMBRA-P/S
};

}  // namespace

std::string CameraModelName(int type) {
  if (type < 0 || type >= kCameraTypeCount) return {};
  return kModelNames[type];
}

int CameraTypeFromName(const std::string& name) {
  for (int type = 0; type < kCameraTypeCount; ++type) {
    if (name == kModelNames[type]) return type;
  }
  return -1;
}

ParameterTable::ParameterTable() {
  for (int index = 0; index < kParameterCount; ++index) ResetValue(index);
}

ParameterTable::~ParameterTable() = default;

void ParameterTable::InitTable() {
  entries.fill(ParameterEntry{});

  for (const BaseRow& row : kBaseRows) {
    SetEntry(row.index, row.flags, row.readCommand, row.writeCommand, row.address, row.defaultValue,
             row.minimum, row.maximum, nullptr, nullptr, row.nameId);
  }
  for (int index = kFirstIdentificationEntry; index <= kLastIdentificationEntry; ++index) {
    const auto address = static_cast<std::uint8_t>(index - kFirstIdentificationEntry);
    SetEntry(index, kFlagRead, kReadIdentification, kWriteIdentification, address, 0, 0, 65535,
             nullptr, nullptr, IdentificationNameId(index));
  }

  if (cameraType < 1 || cameraType >= kCameraTypeCount) return;
  const ModelRow& model = kModelRows[cameraType];
  entries[10].maximum = model.gainMaximum;
  entries[12].defaultValue = model.blackLevelDefault;
  entries[12].maximum = model.blackLevelMaximum;
  entries[15].defaultValue = model.programableShutter;
  entries[15].maximum = model.programableShutter;
  if (model.accelerated) {
    SetEntry(17, kBothFlags, kReadSettings, kWriteSettings, 0x13, 0, 0, 1, nullptr, nullptr,
             62286);  // Accelrated ON/OFF
  }
  entries[25].maximum = model.partialScanStartMax;
  entries[26].defaultValue = model.partialScanEnd;
  entries[26].maximum = model.partialScanEnd;
}

void ParameterTable::SetEntry(int index, std::uint8_t flags, std::uint8_t readCommand,
                              std::uint8_t writeCommand, std::uint8_t address,
                              std::int32_t defaultValue, std::int32_t minimum, std::int32_t maximum,
                              ValueConverter fromCamera, ValueConverter toCamera,
                              std::uint32_t nameId) {
  entries[index] = ParameterEntry{flags,   readCommand, writeCommand, address,  defaultValue,
                                  minimum, maximum,     fromCamera,   toCamera, nameId};
}

std::int32_t ParameterTable::GetDefault(int index, bool convert) const {
  const std::int32_t value = entries[index].defaultValue;
  return convert ? FromCamera(index, value) : value;
}

std::int32_t ParameterTable::GetMinimum(int index, bool convert) const {
  const std::int32_t value = entries[index].minimum;
  return convert ? FromCamera(index, value) : value;
}

std::int32_t ParameterTable::GetMaximum(int index, bool convert) const {
  const std::int32_t value = entries[index].maximum;
  return convert ? FromCamera(index, value) : value;
}

std::string ParameterTable::GetName(int index) const {
  const std::uint32_t id = entries[index].nameId;
  if (id == 0) return {};
  return std::string(res::LoadString(id));
}

std::int32_t ParameterTable::FromCamera(int index, std::int32_t value) const {
  const ValueConverter convert = entries[index].fromCamera;
  return convert != nullptr ? convert(value) : value;
}

std::int32_t ParameterTable::ToCamera(int index, std::int32_t value) const {
  const ValueConverter convert = entries[index].toCamera;
  return convert != nullptr ? convert(value) : value;
}

std::int32_t ParameterTable::ResetValue(int index) {
  values[index] = GetDefault(index, true);
  return values[index];
}

std::int32_t ParameterTable::GetValue(int index, bool toCamera) const {
  return toCamera ? ToCamera(index, values[index]) : values[index];
}

std::int32_t ParameterTable::SetValue(int index, std::int32_t value, bool fromCamera) {
  if (fromCamera) value = FromCamera(index, value);
  const bool changed = values[index] != value;
  values[index] = value;
  return changed ? 1 : 0;
}

std::int32_t ParameterTable::WriteEntry(int index, std::int32_t value) {
  const ParameterEntry& entry = entries[index];
  const std::int32_t cameraValue = ToCamera(index, value);
  AboutToTransferEntry(index, true, value);
  if (WriteValue(kHeader1, kHeader2, entry.writeCommand, entry.address, entry.minimum,
                 entry.maximum, cameraValue) < 0) {
    return SetError(kKeepStoredCode);
  }
  return SetValue(index, value, false);
}

std::int32_t ParameterTable::ReadEntry(int index) {
  const ParameterEntry& entry = entries[index];
  std::int32_t received = 0;
  AboutToTransferEntry(index, false, 0);
  if (ReadValue(kHeader1, kHeader2, entry.readCommand, entry.address, entry.minimum, entry.maximum,
                &received) < 0) {
    return SetError(kKeepStoredCode);
  }
  return SetValue(index, FromCamera(index, received), false);
}

std::int32_t ParameterTable::WriteAllEntries() {
  for (int index = 0; index < kParameterCount; ++index) {
    // The first entry outside write-all ends the walk.
    if ((entries[index].flags & kFlagWrite) == 0) return 0;
    if (WriteEntry(index, GetValue(index, false)) < 0) return SetError(kKeepStoredCode);
  }
  return 0;
}

std::int32_t ParameterTable::ReadAllEntries() {
  for (int index = 0; index < kParameterCount; ++index) {
    // The first entry outside read-all ends the walk.
    if ((entries[index].flags & kFlagRead) == 0) return 1;
    if (ReadEntry(index) < 0) return SetError(kKeepStoredCode);
  }
  return 1;
}

}  // namespace tavrel
