// The one camera object: the parameter table joined with the link. Every
// operation shows its failure once, in an error box, through the UserPrompt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "link/comm_port.h"
#include "model/exchange_purpose.h"
#include "model/parameter_table.h"
#include "res/string_ids.h"

namespace tavrel {

class CameraUnit : public ParameterTable, public CommPort {
 public:
  // COM ports lead where the user's profile says (model/com_port_directory.h).
  CameraUnit();
  ~CameraUnit() override;

  std::int32_t OpenBoardLink(const std::string& libraryPath);
  std::int32_t OpenSerialLink(std::int32_t port, std::int32_t baud);
  std::int32_t WriteParameter(int index, std::int32_t value);
  std::int32_t ReadParameter(int index);
  std::int32_t WriteAllParameters();
  std::int32_t ReadAllParameters();
  // The error box for the recorded code (caption " TAVREL CONTROL"). When a
  // device did not open, the box also says why (the system's reason and a
  // hint, ExplainDeviceOpenFailure); when the line hung up during the
  // exchange, "<device>: the device went away".
  void ShowLastError();
  // Progress text in the status bar; nothing while there is no main window.
  void ShowProgress(int index, res::StringId textId);
  // Progress for each entry of a whole-camera read or write as well, which
  // the window program shows none for (tavrelctl --verbose asks for it).
  void SetWholeTransferProgress(bool shown) { wholeTransferProgress_ = shown; }
  // Told below "Communication port not opened.": how this program's user
  // chooses another port (the window program's Ctrl+L). None by default.
  void SetPortNotOpenedHint(std::string hint) { portNotOpenedHint_ = std::move(hint); }
  // Asked for text below the error box when the first exchange from now on
  // fails with the time-out or an unexpected answer to ENQ (no camera, or
  // not at this rate): where a camera does answer. Null ends it.
  using NoAnswerHint = std::function<std::string()>;
  void SetNoAnswerHint(NoAnswerHint hint) {
    noAnswerHint_ = std::move(hint);
    exchangeSucceeded_ = false;
  }

  std::int32_t WriteValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                          std::int32_t minimum, std::int32_t maximum, std::int32_t value) override;
  std::int32_t ReadValue(std::int32_t h1, std::int32_t h2, std::int32_t h3, std::int32_t h4,
                         std::int32_t minimum, std::int32_t maximum,
                         std::int32_t* valueOut) override;

  // What the exchange that runs now (or the next one) is for; kUnknown when
  // nobody said. An entry's transfer names itself for its one message; the
  // manual command and the register accesses name theirs with an
  // ExchangePurposeScope.
  const ExchangePurpose& CurrentPurpose() const { return purpose_; }
  void SetPurpose(ExchangePurpose purpose) { purpose_ = std::move(purpose); }

 protected:
  void AboutToTransferEntry(int index, bool write, std::int32_t value) override;

 private:
  // The whole-camera transfer running now (its entry count), or 0.
  int wholeTransferTotal_ = 0;
  bool wholeTransferProgress_ = false;
  ExchangePurpose purpose_;
  std::string portNotOpenedHint_;
  NoAnswerHint noAnswerHint_;
  bool exchangeSucceeded_ = false;  // since the hint was set
};

}  // namespace tavrel
