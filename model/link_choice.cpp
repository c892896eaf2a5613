#include "model/link_choice.h"

#include <algorithm>
#include <cctype>

#include "model/camera_unit.h"

namespace tavrel {
namespace {

bool SameLetters(std::string_view text, std::string_view lowerCase) {
  return text.size() == lowerCase.size() &&
         std::equal(text.begin(), text.end(), lowerCase.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         });
}

}  // namespace

LinkChoice LinkChoice::ComPort(std::int32_t port, std::int32_t baud) {
  return {Kind::kComPort, port, {}, baud};
}

LinkChoice LinkChoice::Device(std::string path, std::int32_t baud) {
  return {Kind::kDevice, 0, std::move(path), baud};
}

LinkChoice LinkChoice::Board(std::string library) {
  return {Kind::kBoard, 0, std::move(library), 0};
}

LinkChoice LinkChoice::VirtualCamera(std::int32_t baud) {
  return {Kind::kVirtualCamera, 0, {}, baud};
}

std::optional<LinkChoice> ParseLinkText(std::string_view text) {
  const std::size_t colon = text.find(':');
  const std::string_view kind = text.substr(0, colon);
  const std::string_view rest = colon == std::string_view::npos ? "" : text.substr(colon + 1);
  if (SameLetters(kind, "board")) {
    if (rest.empty()) return std::nullopt;
    return LinkChoice::Board(std::string(rest));
  }
  const std::optional<std::int32_t> port = ParseComPortName(kind);
  if (!port) return std::nullopt;
  if (rest.empty()) return LinkChoice::ComPort(*port, kLineRates.front());
  for (const std::int32_t baud : kLineRates) {
    if (rest == std::to_string(baud)) return LinkChoice::ComPort(*port, baud);
  }
  return std::nullopt;
}

std::int32_t OpenLink(CameraUnit& camera, const LinkChoice& choice,
                      VirtualCameraHost* virtualCamera) {
  switch (choice.kind) {
    case LinkChoice::Kind::kComPort:
      return camera.OpenSerialLink(choice.port, choice.baud);
    case LinkChoice::Kind::kBoard:
      return camera.OpenBoardLink(choice.path);
    case LinkChoice::Kind::kDevice:
    case LinkChoice::Kind::kVirtualCamera:
      break;
  }
  const std::int32_t result =
      choice.kind == LinkChoice::Kind::kDevice ? camera.OpenSerialDevice(choice.path, choice.baud)
      : virtualCamera != nullptr               ? virtualCamera->Connect(camera, choice.baud)
                                               : camera.SetError(LinkCode::kPortOpenFailed);
  if (result < 0) camera.ShowLastError();
  return result;
}

}  // namespace tavrel
