#include "model/serial_number_write.h"

#include "model/serial_number.h"

namespace tavrel {

SerialNumberWriteResult WriteSerialNumber(ParameterDocument& document,
                                          RecentSerialNumberStore& recent,
                                          const SerialNumberWrite& request) {
  if (WriteSerialNumberEntries(document, request.text) < 0) {
    return SerialNumberWriteResult::kCameraFailed;
  }
  recent.StoreSerialNumber(SerialNumberValue(request.text));
  if (!AppendAdjustmentRecord(document, request.logPath, request.modelName, request.clock,
                              request.logWait)) {
    return SerialNumberWriteResult::kLogFailed;
  }
  return SerialNumberWriteResult::kWritten;
}

}  // namespace tavrel
