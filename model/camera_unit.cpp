#include "model/camera_unit.h"

#include "link/user_prompt.h"
#include "model/com_port_directory.h"
#include "model/program_message.h"
#include "res/string_table.h"
#include "serial/open_failure.h"

namespace tavrel {
namespace {

// Shows the error box for a failed operation, once, and passes the result on.
std::int32_t Reported(CameraUnit& camera, std::int32_t result) {
  if (result < 0) camera.ShowLastError();
  return result;
}

// The entries a whole-camera transfer visits: up to the first one without
// `flag`.
int LeadingEntries(const ParameterTable& table, std::uint8_t flag) {
  int count = 0;
  while (count < kParameterCount && (table.GetEntry(count).flags & flag) != 0) ++count;
  return count;
}

}  // namespace

CameraUnit::CameraUnit() {
  SetComPortResolver(ComPortDirectory().Resolver());
}

CameraUnit::~CameraUnit() {
  Close();
}

std::int32_t CameraUnit::OpenBoardLink(const std::string& libraryPath) {
  return Reported(*this, OpenBoard(libraryPath));
}

std::int32_t CameraUnit::OpenSerialLink(std::int32_t port, std::int32_t baud) {
  return Reported(*this, OpenSerial(port, baud));
}

std::int32_t CameraUnit::WriteParameter(int index, std::int32_t value) {
  ShowProgress(index, res::kIdsSending);
  return Reported(*this, WriteEntry(index, value));
}

std::int32_t CameraUnit::ReadParameter(int index) {
  ShowProgress(index, res::kIdsUploading);
  return Reported(*this, ReadEntry(index));
}

std::int32_t CameraUnit::WriteAllParameters() {
  wholeTransferTotal_ = LeadingEntries(*this, kFlagWrite);
  const std::int32_t result = WriteAllEntries();
  wholeTransferTotal_ = 0;
  return Reported(*this, result);
}

std::int32_t CameraUnit::ReadAllParameters() {
  wholeTransferTotal_ = LeadingEntries(*this, kFlagRead);
  const std::int32_t result = ReadAllEntries();
  wholeTransferTotal_ = 0;
  return Reported(*this, result);
}

void CameraUnit::AboutToTransferEntry(int index, bool write, std::int32_t value) {
  ExchangePurpose purpose;
  purpose.kind = write ? ExchangePurpose::Kind::kEntryWrite : ExchangePurpose::Kind::kEntryRead;
  purpose.entry = index;
  purpose.value = value;
  // The whole-camera loops visit the entries from 0 in order.
  if (wholeTransferTotal_ > 0) {
    purpose.position = index + 1;
    purpose.total = wholeTransferTotal_;
    if (wholeTransferProgress_) ShowProgress(index, write ? res::kIdsSending : res::kIdsUploading);
  }
  purpose_ = purpose;
}

void CameraUnit::ShowLastError() {
  UserPrompt* prompt = GetUserPrompt();
  if (prompt == nullptr) return;
  MessageRequest request = ProgramMessage(GetErrorText(), MessageIcon::kError);
  if (GetErrorCode() == static_cast<std::int32_t>(LinkCode::kPortOpenFailed)) {
    request.detail = ExplainDeviceOpenFailure(GetDeviceOpenFailure());
  } else if (GetErrorCode() == static_cast<std::int32_t>(LinkCode::kPortNotOpened)) {
    request.detail = portNotOpenedHint_;
  } else if (IsAwaitingReopen()) {
    // The line hung up during the exchange (an adapter pulled): the time-out
    // alone would send the user looking at the camera.
    request.detail = GetDevicePath() + ": the device went away";
  } else if ((GetErrorCode() == static_cast<std::int32_t>(LinkCode::kTimeOut) ||
              GetErrorCode() == static_cast<std::int32_t>(LinkCode::kUnexpectedCharacter)) &&
             noAnswerHint_ && !exchangeSucceeded_) {
    request.detail = noAnswerHint_();
  }
  prompt->ShowMessage(request);
}

void CameraUnit::ShowProgress(int index, res::StringId textId) {
  UserPrompt* prompt = GetUserPrompt();
  if (prompt == nullptr || !prompt->HasMainWindow()) return;
  prompt->SetStatusText(res::FormatMessage(textId, {GetName(index)}));
}

std::int32_t CameraUnit::WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3,
                                    std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                                    std::int32_t value) {
  const std::int32_t result = CommPort::WriteValue(h1, h2, h3, h4, minimum, maximum, value);
  purpose_ = {};  // an entry's purpose is for its one message
  if (result >= 0) exchangeSucceeded_ = true;
  return result;
}

std::int32_t CameraUnit::ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3,
                                   std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t* valueOut) {
  const std::int32_t result = CommPort::ReadValue(h1, h2, h3, h4, minimum, maximum, valueOut);
  purpose_ = {};
  if (result >= 0) exchangeSucceeded_ = true;
  return result;
}

}  // namespace tavrel
