#include "model/register_access.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "link/comm_port.h"
#include "link/framing.h"
#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/exchange_purpose.h"
#include "model/program_message.h"

namespace tavrel {
namespace {

struct AreaCodes {
  RegisterArea area;
  std::string_view name;
  int dataDigits;
  std::string_view writeCode;
  std::string_view readCode;
};

constexpr std::array<AreaCodes, 6> kAreas{{
    {RegisterArea::kCommon, "common", 4, "01", "81"},
    {RegisterArea::kDsp, "dsp", 2, "02", "82"},
    {RegisterArea::kTg, "tg", 2, "03", "83"},
    {RegisterArea::kAfe, "afe", 4, "04", "84"},
    {RegisterArea::kDdr, "ddr", 2, "05", "85"},
    {RegisterArea::kInfo, "info", 4, "10", "90"},
}};

const AreaCodes& Codes(RegisterArea area) {
  return kAreas[static_cast<std::size_t>(area)];
}

constexpr std::string_view kAddressErrorText = "アドレスの入力が不正です。";
constexpr std::string_view kDataErrorText = "データの入力が不正です。";

bool IsHexText(std::string_view text, std::size_t length) {
  return text.size() == length && framing::IsHexText(text);
}

std::string Capitals(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

ExchangePurpose RegisterPurpose(ExchangePurpose::Kind kind, RegisterMode mode, RegisterArea area,
                                std::string_view address, std::string_view data) {
  ExchangePurpose purpose;
  purpose.kind = kind;
  purpose.mode = mode;
  purpose.area = area;
  purpose.address = Capitals(address);
  purpose.data = Capitals(data);
  return purpose;
}

// Mode characters, "FF" and the area's code.
std::string BodyStart(RegisterMode mode, std::string_view code) {
  std::string body = mode == RegisterMode::kFpga ? "00" : "01";
  body += "FF";
  body += code;
  return body;
}

}  // namespace

std::string_view RegisterAreaName(RegisterArea area) {
  return Codes(area).name;
}

std::optional<RegisterArea> RegisterAreaFromName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const AreaCodes& codes : kAreas) {
    if (codes.name == lower) return codes.area;
  }
  return std::nullopt;
}

int RegisterDataDigits(RegisterArea area) {
  return Codes(area).dataDigits;
}

bool IsShownRegisterAddress(RegisterArea area, int address) {
  if (area == RegisterArea::kCommon) return address < 0x7F;
  if (area == RegisterArea::kInfo) return address <= 0x7F;
  return true;
}

bool RegisterPageHasAddresses(RegisterArea area, int pageBase) {
  for (int row = 0; row < kRegisterPageRows; ++row) {
    if (IsShownRegisterAddress(area, pageBase + row)) return true;
  }
  return false;
}

RegisterRowText InitialRegisterRow(RegisterArea area, int pageBase, int row) {
  const int address = pageBase + row;
  if (!IsShownRegisterAddress(area, address)) return {};
  char text[3];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(address & 0xFF));
  return {text, std::string(static_cast<std::size_t>(RegisterDataDigits(area)), '0')};
}

bool IsValidRegisterAddress(std::string_view address) {
  return IsHexText(address, 2);
}

bool IsValidRegisterData(RegisterArea area, std::string_view data) {
  return IsHexText(data, static_cast<std::size_t>(RegisterDataDigits(area)));
}

std::string_view RegisterInputErrorText(RegisterInputError error) {
  switch (error) {
    case RegisterInputError::kAddress:
      return kAddressErrorText;
    case RegisterInputError::kData:
      return kDataErrorText;
    case RegisterInputError::kNone:
      break;
  }
  return {};
}

RegisterBody BuildRegisterWriteBody(RegisterMode mode, RegisterArea area, std::string_view address,
                                    std::string_view data) {
  if (!IsValidRegisterAddress(address)) return {{}, RegisterInputError::kAddress};
  if (!IsValidRegisterData(area, data)) return {{}, RegisterInputError::kData};
  std::string body = BodyStart(mode, Codes(area).writeCode) + Capitals(address) + Capitals(data);
  // Six characters of data in every message.
  body += RegisterDataDigits(area) == 4 ? "00" : "0000";
  return {body, RegisterInputError::kNone};
}

RegisterBody BuildRegisterReadBody(RegisterMode mode, RegisterArea area, std::string_view address) {
  if (!IsValidRegisterAddress(address)) return {{}, RegisterInputError::kAddress};
  return {BodyStart(mode, Codes(area).readCode) + Capitals(address) + "000000",
          RegisterInputError::kNone};
}

std::string RegisterReplyData(RegisterArea area, std::string_view reply) {
  return std::string(reply.substr(0, static_cast<std::size_t>(RegisterDataDigits(area))));
}

RegisterRowOutcome ShowRegisterInputError(CameraUnit& camera, RegisterInputError error) {
  if (UserPrompt* prompt = camera.GetUserPrompt()) {
    prompt->ShowMessage(
        ProgramMessage(std::string(RegisterInputErrorText(error)), MessageIcon::kExclamation));
  }
  return RegisterRowOutcome::kInputError;
}

RegisterRowOutcome WriteRegisterRow(CameraUnit& camera, RegisterMode mode, RegisterArea area,
                                    std::string_view address, std::string_view data) {
  const RegisterBody body = BuildRegisterWriteBody(mode, area, address, data);
  if (body.error != RegisterInputError::kNone) return ShowRegisterInputError(camera, body.error);
  const ExchangePurposeScope scope(
      camera, RegisterPurpose(ExchangePurpose::Kind::kRegisterWrite, mode, area, address, data));
  if (camera.SendCommand(body.body.c_str()) < 0) {
    camera.ShowLastError();
    return RegisterRowOutcome::kLinkError;
  }
  return RegisterRowOutcome::kDone;
}

RegisterRowOutcome ReadRegisterRow(CameraUnit& camera, RegisterMode mode, RegisterArea area,
                                   std::string_view address, std::string& data) {
  const RegisterBody body = BuildRegisterReadBody(mode, area, address);
  if (body.error != RegisterInputError::kNone) return ShowRegisterInputError(camera, body.error);
  const ExchangePurposeScope scope(
      camera, RegisterPurpose(ExchangePurpose::Kind::kRegisterRead, mode, area, address, {}));
  char reply[kMessageBufferSize] = {};
  if (camera.Query(body.body.c_str(), reply) < 0) {
    camera.ShowLastError();
    return RegisterRowOutcome::kLinkError;
  }
  // All six characters, not only the digits the row shows: a reply garbled
  // past them is no value either (a NUL among them would hide the rest).
  if (!framing::IsHexText(std::string_view(reply, kReplyValueLength))) {
    camera.SetError(LinkCode::kInvalidCharacter);
    camera.ShowLastError();
    return RegisterRowOutcome::kLinkError;
  }
  data = RegisterReplyData(area, reply);
  return RegisterRowOutcome::kDone;
}

bool IsLinkGone(const CameraUnit& camera) {
  const auto code = static_cast<LinkCode>(camera.GetErrorCode());
  return code == LinkCode::kTimeOut || code == LinkCode::kPortNotOpened ||
         code == LinkCode::kPortOpenFailed || camera.IsAwaitingReopen();
}

void ForEachRegisterPageRow(const std::function<RegisterRowOutcome(int row)>& runRow) {
  for (int row = 0; row < kRegisterPageRows; ++row) {
    if (runRow(row) == RegisterRowOutcome::kInputError) return;
  }
}

}  // namespace tavrel
