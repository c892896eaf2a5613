// Plays arbitrary bytes as the camera's answer to a register read: the row
// gets hexadecimal digits of the area's width, the reply's first ones, or the
// read fails with its link code recorded and the row untouched.
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/scripted_line.h"
#include "model/camera_unit.h"
#include "model/register_access.h"

namespace {

using fuzz::Require;
using fuzz::ScriptedLine;
using tavrel::RegisterArea;
using tavrel::RegisterRowOutcome;

constexpr RegisterArea kAreas[] = {RegisterArea::kCommon, RegisterArea::kDsp, RegisterArea::kTg,
                                   RegisterArea::kAfe,    RegisterArea::kDdr, RegisterArea::kInfo};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const RegisterArea area = kAreas[data[0] % std::size(kAreas)];
  const auto mode =
      (data[0] & 0x80) != 0 ? tavrel::RegisterMode::kEeprom : tavrel::RegisterMode::kFpga;
  const auto digits = static_cast<std::size_t>(tavrel::RegisterDataDigits(area));

  tavrel::CameraUnit editor;
  editor.AttachTransport(std::make_unique<ScriptedLine>(data + 1, size - 1), 1, 9600);
  std::string shown = "untouched";
  const RegisterRowOutcome row = tavrel::ReadRegisterRow(editor, mode, area, "5a", shown);
  if (row == RegisterRowOutcome::kDone) {
    Require(shown.size() == digits);
    for (char c : shown) Require(std::isxdigit(static_cast<unsigned char>(c)) != 0);
  } else {
    Require(row == RegisterRowOutcome::kLinkError && shown == "untouched");
    Require(editor.GetErrorCode() > 1 && editor.GetErrorCode() <= 27);
  }
  return 0;
}
