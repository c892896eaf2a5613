#include "model/manual_command.h"

#include "link/comm_port.h"
#include "model/camera_unit.h"
#include "model/exchange_purpose.h"

namespace tavrel {

bool SendManualCommand(CameraUnit& camera, const std::string& body) {
  ExchangePurpose purpose;
  purpose.kind = ExchangePurpose::Kind::kManualSend;
  const ExchangePurposeScope scope(camera, purpose);
  if (camera.SendCommand(body.c_str()) < 0) {
    camera.ShowLastError();
    return false;
  }
  return true;
}

std::optional<std::string> QueryManualCommand(CameraUnit& camera, const std::string& body) {
  ExchangePurpose purpose;
  purpose.kind = ExchangePurpose::Kind::kManualQuery;
  const ExchangePurposeScope scope(camera, purpose);
  char reply[kMessageBufferSize] = {};
  if (camera.Query(body.c_str(), reply) < 0) {
    camera.ShowLastError();
    return std::nullopt;
  }
  // All six, even a NUL among them: the engineer sees what the camera sent.
  return std::string(reply, 6);
}

}  // namespace tavrel
