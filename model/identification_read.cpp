#include "model/identification_read.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/parameter_document.h"

namespace tavrel {
namespace {

// Reads entries first..last until the text they hold has ended: a value
// whose low byte is 0 ends it before that entry, a value below 256 ends it
// with its one character. Later entries are not read.
std::string ReadVariableText(ParameterDocument& document, int first, int last) {
  std::vector<std::int32_t> values;
  for (int index = first; index <= last; ++index) {
    document.ReadParameter(index);
    const std::int32_t value = document.GetParameter(index);
    values.push_back(value);
    if ((value & 0xFF) == 0 || value < 256) break;
  }
  return UnpackText(values);
}

}  // namespace

Identification ReadIdentification(ParameterDocument& document) {
  Identification ident;
  ident.vendorName = ReadVariableText(document, kVendorNameFirst, kVendorNameLast);
  ident.modelName = ReadVariableText(document, kModelNameFirst, kModelNameLast);
  std::array<std::int32_t, 4> serial{};
  for (int i = 0; i < 4; ++i) {
    document.ReadParameter(kSerialNumberFirst + i);
    serial[i] = document.GetParameter(kSerialNumberFirst + i);
  }
  ident.serialNumber = UnpackSerialNumber(serial);
  ident.version =
      UnpackVersion(document.GetParameter(kVersionFirst), document.GetParameter(kVersionLast));
  return ident;
}

}  // namespace tavrel
