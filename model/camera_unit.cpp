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
  return Reported(*this, WriteAllEntries());
}

std::int32_t CameraUnit::ReadAllParameters() {
  return Reported(*this, ReadAllEntries());
}

void CameraUnit::ShowLastError() {
  UserPrompt* prompt = GetUserPrompt();
  if (prompt == nullptr) return;
  MessageRequest request = ProgramMessage(GetErrorText(), MessageIcon::kError);
  if (GetErrorCode() == static_cast<std::int32_t>(LinkCode::kPortOpenFailed)) {
    request.detail = ExplainDeviceOpenFailure(GetDeviceOpenFailure());
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
  return CommPort::WriteValue(h1, h2, h3, h4, minimum, maximum, value);
}

std::int32_t CameraUnit::ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3,
                                   std::int32_t h4, std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t* valueOut) {
  return CommPort::ReadValue(h1, h2, h3, h4, minimum, maximum, valueOut);
}

}  // namespace tavrel
