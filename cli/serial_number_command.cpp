#include "cli/serial_number_command.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <string>

#include "cli/console_prompt.h"
#include "cli/exit_status.h"
#include "model/camera_unit.h"
#include "model/identification_read.h"
#include "model/parameter_document.h"
#include "model/profile_file.h"
#include "model/serial_number.h"
#include "model/serial_number_write.h"

namespace tavrel::cli {
namespace {

// The profile value the window program seeds its serial-number text from.
class ProfileFileRecent : public RecentSerialNumberStore {
 public:
  explicit ProfileFileRecent(std::ostream& err) : err_(err) {}

  void StoreSerialNumber(std::int32_t value) override {
    const std::string path = ProfileFilePath();
    const std::string reason = WriteProfileInt(path, "RECENT", "LOMIRA-X", value);
    stored_ = reason.empty();
    if (!stored_)
      err_ << "tavrelctl: cannot store the serial number in " << path << ": " << reason << '\n';
  }
  bool Stored() const { return stored_; }

 private:
  std::ostream& err_;
  bool stored_ = false;
};

// "5 s": how long a held log is waited for.
std::string WaitText() {
  return std::to_string(
             std::chrono::duration_cast<std::chrono::seconds>(kAdjustmentLogWait).count()) +
         " s";
}

}  // namespace

CLI::App* AddSerialNumberCommand(CLI::App& app, SerialNumberOptions& options) {
  auto* serialNumber =
      app.add_subcommand("serial-number", "write the camera's serial number (service)");
  serialNumber->require_subcommand(1);
  auto* write = serialNumber->add_subcommand(
      "write",
      "read the identification, unlock the camera, write the seven digits, store them for "
      "the window program and append a record to the adjustment log");
  const CLI::Validator sevenDigits(
      [](const std::string& text) {
        return OneLine(std::string(SerialNumberCheckMessage(CheckSerialNumberText(text))));
      },
      "7 DIGITS");
  write->add_option("DIGITS", options.digits, "the serial number, seven decimal digits")
      ->required()
      ->check(sevenDigits);
  const std::string wait = WaitText();
  write
      ->add_option("--log", options.logFile,
                   "the adjustment log; one another program holds is waited for up to " + wait)
      ->capture_default_str();
  app.footer(app.get_footer() + "\nserial-number write waits up to " + wait +
             " for an adjustment log that another program holds\n"
             "(another tavrelctl, or the window program writing its record), then gives up\n"
             "with exit status 4; a spreadsheet's lock file naming another machine stops it\n"
             "at once.\n");
  return write;
}

int CheckSerialNumberWrite(CameraUnit& camera, const SerialNumberOptions& options) {
  ParameterDocument document(camera);
  return CheckAdjustmentLog(document, options.logFile) ? kExitOk : kExitFile;
}

int RunSerialNumberWrite(CameraUnit& camera, const ConsolePrompt& prompt, std::ostream& err,
                         const SerialNumberOptions& options) {
  ParameterDocument document(camera);
  const Identification ident = ReadIdentification(document);
  // As the panel does: the unlock goes right before the digits, so a camera
  // that locks again after any other command still takes them.
  UnlockSerialNumber(document);

  ProfileFileRecent recent(err);
  SerialNumberWrite request;
  request.text = options.digits;
  request.modelName = ident.modelName;
  request.logPath = options.logFile;
  switch (WriteSerialNumber(document, recent, request)) {
    case SerialNumberWriteResult::kCameraFailed:
      return kExitCamera;
    case SerialNumberWriteResult::kLogFailed:
      return kExitFile;
    case SerialNumberWriteResult::kWritten:
      break;
  }
  if (!recent.Stored()) return kExitFile;
  // A read that failed on the way (its error line is printed) still counts.
  return prompt.FailureShown() ? kExitCamera : kExitOk;
}

}  // namespace tavrel::cli
