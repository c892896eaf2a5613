#include "res/string_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <vector>

namespace res {
namespace {

struct StringEntry {
  StringId id;
  std::string_view text;
};

// Sorted by id. Texts are the program's own and are kept exactly, including
// spelling and trailing blanks that users and scripts have come to rely on.
constexpr StringEntry kStrings[] = {
    {128, " TAVREL\n\nTAVDX\nTAVDX Files (*.tdx)\n.TDX\nTAVDX.Document\nTAVDX Document"},
    {32772, "Select A Communication Port"},
    {32773, "Read Every Camera Data From Camera"},
    {32775, "Write Every Camera Data To Camera"},
    {32777, "Send or Receive Message Manually"},
    {32779, "Adjust Camera Data"},
    {57344, " TAVREL CONTROL"},
    {57346, "Talbrook"},
    {57601, "Open an existing document"},
    {57603, "Save the active document"},
    {57604, "Save the active document with a new name"},
    {57616, "Open this document"},
    {57664, "Display program information, version number and copyright"},
    {57665, "Quit the application; prompts to save documents"},
    {59142, "COM8"},
    {61443, "Untitled"},
    {61697, "Failed to open document."},
    {61698, "Failed to save document."},
    {61699, "Save changes to %1?"},
    {61728, "Unexpected file format."},
    {62000, "Uploading %1 data from camera..."},
    {62001, "Sending %1 data to camera..."},
    {62002, "Ready"},
    {62100, "File type mismatch.\nFile \"%1\" does not contain data for %2 apprication."},
    {62101, "OK, No error present!"},
    {62102, "This should be a software error."},
    {62103, "Communication port number invalid."},
    {62104, "Communication port not opened."},
    {62105, "Can not open communciation port."},
    {62106, "Communication time out detected.\nCheck the connection."},
    {62107, "Bad chacter size specified in sending/receiving data to the camera unit."},
    {62108, "Missing overlap operation for reading/writing data to the specified port."},
    {62109, "Purge operation failure for communication port."},
    {62110, "Serial line break condition detected."},
    {62111, "Framing error detected on camera communication."},
    {62112, "Serial communication I/O error."},
    {62113, "General software error (?). I do not know the cause."},
    {62114, "Character overrun detected on serial communciation."},
    {62115, "Receiver buffer full."},
    {62116, "Parity error detected in received data."},
    {62117, "Transmit buffer full."},
    {62118, "Unselected parallel device."},
    {62119, "Time out on parallel device."},
    {62120, "Paper empty."},
    {62121, "Unexpected character received from camera unit."},
    {62122, "Bad character size in received packet from camera unit."},
    {62123, "No STX character found in received data from camera unit."},
    {62124, "No ETX character found in received data."},
    {62125, "Invalid character type found in received data from camera unit."},
    {62126, "Check sum code mismatched in received data from camera unit."},
    {62127, "ERROR - %1"},
    {62128, "Illegal message size of transmission data. "},
    {62129, "Too long message received."},
    // Parameter names. 62212 deliberately has no text.
    {62200, "AGC MODE"},
    {62201, "SHUTTER SPEED"},
    {62202, "TRIGGER MODE"},
    {62203, "HD RESET"},
    {62204, "TRIGGER POLARITY"},
    {62207, "GAIN"},
    {62208, "BLACK LEVEL"},
    {62209, "GAIN CONT"},
    {62210, "CLK PHASE ON/OFF"},
    {62216, "CLK PHASE"},
    {62231, "(Reserved)"},
    {62232, "SHP"},
    {62233, "SHD"},
    {62234, "AD CLK"},
    {62236, "H1"},
    {62237, "H2"},
    {62238, "DATA BIT"},
    {62240, "Programable Shutter"},
    {62241, "VD FVAL"},
    {62242, "Adjust GAIN"},
    {62243, "Back Up"},
    {62244, "Partial Scan Start"},
    {62245, "Partial Scan End"},
    {62246, "Partial Scan ON/OFF"},
    {62247, "HD/LVAL"},
    {62248, "Model Name"},
    {62249, "Serial Number"},
    {62250, "Password"},
    {62251, "Vendor Name"},
    {62252, "Version"},
    {62286, "Accelrated ON/OFF"},
    // Control panel texts.
    {63900, "Error: Timer creation failed!"},
    {63901, "TRIGGER"},
    {63902, "MODE"},
    {63903, "BACK UP"},
    {63904, "DATA BIT"},
    {63905, "VD/FVAL"},
    {63906, "HD/LVAL"},
    {63907, "GAIN"},
    {63908, "CAMERA TIMING"},
    {63909, "Horizontal"},
    {63910, "Vertical"},
    {63911, "Sync"},
    {63912, "Bporch"},
    {63913, "Active"},
    {63914, "Fporch"},
    {63915, "Total"},
    // Captions of the control panel's controls: 64000 + control id.
    {65005, "OFF"},
    {65006, "1/15"},
    {65007, "1/60"},
    {65008, "1/125"},
    {65009, "1/250"},
    {65010, "1/1000"},
    {65011, "1/2000"},
    {65012, "1/10000"},
    {65013, "1/50000"},
    {65014, "VARIABLE"},
    {65015, "OFF"},
    {65016, "ON"},
    {65066, "OFF"},
    {65067, "FIXED SHUTTER"},
    {65068, "1TRIGGER"},
    {65069, "RESET CONTROL"},
    {65070, "VD RESET"},
    {65097, "NON-RESET"},
    {65098, "RESET"},
    {65103, "Adjust-GAIN"},
    {65105, "BLACK LEVEL"},
    {65107, "Variable Value"},
    {65108, "SHUTTER SPEED"},
    {65109, "POLARITY"},
    {65110, "HD RESET"},
    {65111, "EXEC"},
    {65114, "PARTIAL SCAN"},
    {65115, "POSI"},
    {65116, "NEGA"},
    {65117, "START"},
    {65118, "WIDTH"},
    {65119, "POSI"},
    {65120, "NEGA"},
    {65121, "TRIG-A"},
    {65122, "TRIG-B"},
    {65126, "WRITE"},
    {65129, "READ"},
    {65130, "***************"},
    {65131, "**********"},
    {65132, "*******"},
    {65133, "*****"},
    {65148, "READ FROM CAMERA"},
    {65149, "VENDOR NAME :"},
    {65150, "MODEL NAME :"},
    {65151, "SERIAL NUMBER :"},
    {65152, "VERSION :"},
    {65153, "SET SERIAL NUMBER"},
    {65157, "OFF"},
    {65158, "ON"},
    {65159, "2xACCEL"},
    {65176, "8bit"},
    {65177, "10bit"},
    {65178, "VD"},
    {65179, "FVAL"},
    {65180, "HD"},
    {65181, "LVAL"},
};

constexpr bool IsSortedById() {
  for (std::size_t i = 1; i < std::size(kStrings); ++i) {
    if (kStrings[i - 1].id >= kStrings[i].id) return false;
  }
  return true;
}
static_assert(IsSortedById(), "string table must be sorted by id, without duplicates");

}  // namespace

std::string_view LoadString(StringId id) {
  const auto* end = std::end(kStrings);
  const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                    [](const StringEntry& e, StringId key) { return e.id < key; });
  if (it == end || it->id != id) return {};
  return it->text;
}

std::string FormatString(std::string_view format, std::initializer_list<std::string_view> args) {
  const std::vector<std::string_view> arguments(args);
  std::string out;
  out.reserve(format.size());
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9') {
      const std::size_t index = static_cast<std::size_t>(format[i + 1] - '1');
      if (index < arguments.size()) out.append(arguments[index]);
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string FormatMessage(StringId id, std::initializer_list<std::string_view> args) {
  return FormatString(LoadString(id), args);
}

}  // namespace res
