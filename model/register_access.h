// Direct access to the camera's internal registers, bypassing the parameter
// table: six areas of one-byte addresses, shown 32 addresses to a page, read
// and written one row at a time in FPGA or EEPROM mode. The register editor
// and tavrelctl's "reg" commands both go through here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

class CameraUnit;

enum class RegisterArea { kCommon, kDsp, kTg, kAfe, kDdr, kInfo };
enum class RegisterMode { kFpga, kEeprom };

inline constexpr int kRegisterPageRows = 32;
inline constexpr int kRegisterPageCount = 8;

// "common", "dsp", "tg", "afe", "ddr", "info"; case ignored when parsing.
std::string_view RegisterAreaName(RegisterArea area);
std::optional<RegisterArea> RegisterAreaFromName(std::string_view name);

// Data digits of a row: 4 for common, AFE and INFO, 2 for the others.
int RegisterDataDigits(RegisterArea area);

// Whether a page row of the area shows an address: common stops before 0x7F,
// INFO after 0x7F; the other areas show every address.
bool IsShownRegisterAddress(RegisterArea area, int address);

// Whether any row of the page starting at `pageBase` shows an address: the
// common area's pages from 80 and the INFO area's from 80 show none.
bool RegisterPageHasAddresses(RegisterArea area, int pageBase);

// What a row holds when its page is shown: the address as two capital hex
// digits and zero data, or two empty texts for a blank row.
struct RegisterRowText {
  std::string address;
  std::string data;
};
RegisterRowText InitialRegisterRow(RegisterArea area, int pageBase, int row);

// The checks on what the user typed. Lower-case hex digits are accepted.
bool IsValidRegisterAddress(std::string_view address);
bool IsValidRegisterData(RegisterArea area, std::string_view data);

enum class RegisterInputError { kNone, kAddress, kData };
// The message box text of an input error (empty for kNone).
std::string_view RegisterInputErrorText(RegisterInputError error);

// A 14-character message body, or the input error that prevents it. Address
// and data go out in capitals.
struct RegisterBody {
  std::string body;
  RegisterInputError error = RegisterInputError::kNone;
};
RegisterBody BuildRegisterWriteBody(RegisterMode mode, RegisterArea area, std::string_view address,
                                    std::string_view data);
RegisterBody BuildRegisterReadBody(RegisterMode mode, RegisterArea area, std::string_view address);

// The data digits of a read reply's six value characters, as a row shows them.
std::string RegisterReplyData(RegisterArea area, std::string_view reply);

// One row operation against the camera. An input error is shown in the
// application's standard box, a failed message in the link error box, both
// through the camera's prompt.
enum class RegisterRowOutcome { kDone, kInputError, kLinkError };
// Shows the input error's message in the application's standard box through
// the camera's prompt; returns kInputError.
RegisterRowOutcome ShowRegisterInputError(CameraUnit& camera, RegisterInputError error);
RegisterRowOutcome WriteRegisterRow(CameraUnit& camera, RegisterMode mode, RegisterArea area,
                                    std::string_view address, std::string_view data);
// On success `data` receives the reply's data digits; otherwise it is
// untouched. A reply whose six value characters are not all hexadecimal
// digits fails as a parameter read does, with link code 24 recorded and
// shown: the digits a row shows are only worth showing when the whole value
// came through.
RegisterRowOutcome ReadRegisterRow(CameraUnit& camera, RegisterMode mode, RegisterArea area,
                                   std::string_view address, std::string& data);

// Whether the failure the camera recorded last leaves no camera to answer
// the rest of a page: a time-out (nothing came, or a cut reply, through
// every retry), a line that hung up, or a port that is not open or could
// not be opened again. A refused or garbled reply is not one.
bool IsLinkGone(const CameraUnit& camera);

// Runs `runRow` for rows 0 to 31 in order. An input error ends the page (the
// rows after it are not sent); a failed message does not.
void ForEachRegisterPageRow(const std::function<RegisterRowOutcome(int row)>& runRow);

}  // namespace tavrel
