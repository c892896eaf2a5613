#include "sim/camera_command_line.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <stdexcept>

#include "serial/com_ports.h"
#include "sim/model_defaults.h"
#include "sim/register_bank.h"

namespace sim {
namespace {

struct KindName {
  const char* name;
  FaultKind kind;
};

constexpr KindName kKinds[] = {
    {"enq-nak", FaultKind::kEnqNak},
    {"enq-silent", FaultKind::kEnqSilent},
    {"frame-no-ack", FaultKind::kFrameNoAck},
    {"bad-checksum", FaultKind::kBadChecksum},
    {"lower-checksum", FaultKind::kLowerChecksum},
    {"bad-value", FaultKind::kBadValue},
    {"nul-value", FaultKind::kNulValue},
    {"garbage", FaultKind::kGarbage},
    {"hangup", FaultKind::kHangup},
    {"reply-silent", FaultKind::kReplySilent},
    {"reply-cut", FaultKind::kReplyCut},
};

int ParseCount(const std::string& text, const std::string& whole) {
  std::size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || value < -1) {
    throw std::invalid_argument("bad number in fault '" + whole + "'");
  }
  return value;
}

}  // namespace

bool IsSupportedBaud(int baud) {
  return baud == 0 || tavrel::IsSupportedLineRate(baud);
}

Fault ParseFault(const std::string& text) {
  std::string kindText = text;
  Fault fault{FaultKind::kEnqNak};
  if (const auto at = kindText.find('@'); at != std::string::npos) {
    fault.after = ParseCount(kindText.substr(at + 1), text);
    if (fault.after < 0) throw std::invalid_argument("bad number in fault '" + text + "'");
    kindText.resize(at);
  }
  if (const auto colon = kindText.find(':'); colon != std::string::npos) {
    fault.count = ParseCount(kindText.substr(colon + 1), text);
    kindText.resize(colon);
  }
  for (const auto& entry : kKinds) {
    if (kindText == entry.name) {
      fault.kind = entry.kind;
      return fault;
    }
  }
  throw std::invalid_argument("unknown fault kind '" + kindText + "'");
}

CameraCommandLine ParseCameraCommandLine(const std::vector<std::string>& args) {
  CameraCommandLine result;
  auto& options = result.options;
  std::vector<std::string> faults;
  std::string models;
  for (const auto& name : KnownModels()) models += (models.empty() ? "" : ", ") + name;

  CLI::App app{"Virtual camera: answers the camera message protocol on a pseudo-terminal.",
               "tavrel-camsim"};
  app.add_option("--model", options.model, "Camera model (" + models + ")")->capture_default_str();
  app.add_option("--trace", options.traceFile, "Log every byte on the line to FILE")
      ->type_name("FILE");
  app.add_option("--pace", options.paceBaud,
                 "Pace the line at BAUD (9600, 19200 or 38400; 8N2), 0 = no pacing")
      ->type_name("BAUD");
  app.add_option("--turnaround", options.turnaroundMs, "Delay before each answer (ms)")
      ->type_name("MS");
  app.add_option(
         "--fault", faults,
         "Inject a fault, repeatable: KIND[:COUNT][@AFTER], COUNT absent = always, "
         "AFTER = command frames served normally first. KIND: enq-nak, enq-silent, "
         "frame-no-ack, bad-checksum, lower-checksum, bad-value, nul-value, garbage, hangup, "
         "reply-silent, reply-cut")
      ->type_name("KIND[:COUNT][@AFTER]");
  app.add_option(
         "--vendor-name", options.vendorName,
         std::string("Vendor name, up to 16 characters (default ") + kDefaultVendorName + ")")
      ->type_name("TEXT");
  app.add_option("--serial-number", options.serialNumber,
                 std::string("Serial number, 7 characters (default ") + kDefaultSerialNumber + ")")
      ->type_name("TEXT");
  app.add_option(
         "--camera-version", options.cameraVersion,
         std::string("Camera version, 4 characters (default ") + kDefaultCameraVersion + ")")
      ->type_name("TEXT");
  app.add_option("--model-name", options.modelName,
                 "Model-name text the camera reports, up to 16 characters (default: the --model "
                 "name)")
      ->type_name("TEXT");
  app.add_option("--baud", options.lineBaud,
                 "Answer only a PC whose line is at RATE (9600, 19200 or 38400), as the "
                 "pseudo-terminal's settings say; on --device, the device's rate. Default: any "
                 "rate")
      ->type_name("RATE");
  app.add_option("--link", result.linkPath,
                 "Also make PATH a symlink to the device (removed on exit)")
      ->type_name("PATH");
  app.add_option("--device", result.devicePath,
                 "Serve on this serial device (any terminal, e.g. /dev/ttyUSB1) instead of a new "
                 "pseudo-terminal, at the --pace rate (9600 when not given), 8N2")
      ->type_name("PATH");
  app.add_flag("--init-fail", result.initFail, "CameraLink test library: clSerialInit fails");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    result.helpShown = true;
    result.helpText = app.help();
    return result;
  } catch (const CLI::ParseError& error) {
    throw std::invalid_argument(error.what());
  }
  if (!ModelDefaults(options.model)) {
    throw std::invalid_argument("unknown model '" + options.model + "' (known: " + models + ")");
  }
  if (!IsSupportedBaud(options.paceBaud)) {
    throw std::invalid_argument("--pace must be 9600, 19200 or 38400");
  }
  if (!IsSupportedBaud(options.lineBaud)) {
    throw std::invalid_argument("--baud must be 9600, 19200 or 38400");
  }
  if (app.count("--model-name") > 0 && options.modelName.empty()) {
    throw std::invalid_argument("--model-name must name a model");
  }
  if (options.turnaroundMs < 0) throw std::invalid_argument("--turnaround must not be negative");
  if (app.count("--device") > 0 && result.devicePath.empty()) {
    throw std::invalid_argument("--device must name a device");
  }
  // On a device both set the line's one rate.
  if (!result.devicePath.empty() && options.lineBaud != 0 && options.paceBaud != 0 &&
      options.lineBaud != options.paceBaud) {
    throw std::invalid_argument("--baud and --pace name different rates for --device");
  }
  for (const auto& text : faults) options.faults.push_back(ParseFault(text));
  return result;
}

CameraCommandLine ParseCameraCommandLine(const std::string& optionString) {
  std::istringstream stream(optionString);
  std::vector<std::string> args;
  for (std::string word; stream >> word;) args.push_back(word);
  return ParseCameraCommandLine(args);
}

}  // namespace sim
