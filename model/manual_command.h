// One message body typed by hand and sent to the camera as it is, with or
// without reading the camera's reply: the service engineer's raw access,
// shared by the Manual Command tool and tavrelctl's send and query.
#pragma once

#include <optional>
#include <string>

namespace tavrel {

class CameraUnit;

// Sends `body` framed but otherwise unchanged. False when it failed; the
// camera object has then shown the error box (a body longer than the protocol
// allows is refused before anything goes on the line).
bool SendManualCommand(CameraUnit& camera, const std::string& body);

// Sends `body` and returns the camera's reply: the six value characters of its
// reply frame exactly as they arrived, unchecked. Nothing when it failed; the
// error box has then been shown.
std::optional<std::string> QueryManualCommand(CameraUnit& camera, const std::string& body);

}  // namespace tavrel
