#include "model/access_value.h"

#include "model/parameter_document.h"

namespace tavrel {

std::int32_t WriteAccessValue(ParameterDocument& document) {
  return document.WriteParameter(kPasswordEntry, kAccessValue);
}

}  // namespace tavrel
