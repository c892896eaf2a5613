#include "cli/find_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>

#include "cli/exit_status.h"
#include "cli/json_text.h"
#include "model/camera_find.h"
#include "model/parameter_table.h"

namespace tavrel::cli {
namespace {

// "COM" and digits: a COM name, which must then be COM1 to COM10; anything
// else is a device path.
bool LooksLikeComName(const std::string& text) {
  if (text.size() < 4 || !std::equal(text.begin(), text.begin() + 3, "COM",
                                     [](char a, char b) { return std::toupper(a) == b; })) {
    return false;
  }
  return std::all_of(text.begin() + 3, text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

CLI::Validator CandidateValidator() {
  return CLI::Validator(
      [](std::string& text) {
        if (text.empty()) return std::string("must not be empty");
        if (LooksLikeComName(text) && !ParseComPortName(text)) {
          return std::string("must be COM1 to COM10 or a device path");
        }
        return std::string();
      },
      "COM<n>|PATH");
}

std::string OrDash(const std::string& text) {
  return text.empty() ? "-" : text;
}

// "COM2 (/dev/ttyUSB0)", or the path alone when no COM number stands for it.
std::string Where(std::int32_t port, const std::string& device) {
  return port != 0 ? ComPortName(port) + " (" + device + ")" : device;
}

nlohmann::json CameraJson(const FoundCamera& camera) {
  const Identification& ident = camera.identification;
  return {{"port", camera.port != 0 ? nlohmann::json(ComPortName(camera.port)) : nullptr},
          {"device", JsonText(camera.device)},
          {"baud", camera.baud},
          {"vendor_name", JsonText(ident.vendorName)},
          {"model_name", JsonText(ident.modelName)},
          {"serial_number", JsonText(ident.serialNumber)},
          {"version", JsonText(ident.version)},
          {"model",
           camera.cameraType >= 0 ? nlohmann::json(CameraModelName(camera.cameraType)) : nullptr}};
}

}  // namespace

FindCommand::FindCommand(CLI::App& app) {
  find_ = app.add_subcommand(
      "find", "find the cameras: which port, which line rate, which model (sends no writes)");
  find_->add_flag("--json", json_, "print JSON");
  find_->add_option("CANDIDATE", candidates_, "COM<n> or a device path; default: all of them")
      ->check(CandidateValidator());
  find_->footer(
      "Without candidates: COM1 to COM10 as they resolve (see tavrelctl ports) and every\n"
      "serial device found, each device once; a device another program has open is\n"
      "skipped unless named. Each is tried at 9600, 19200 and 38400 baud with ENQ, and a\n"
      "camera that answers is asked for its identification with read commands.\n"
      "One line per camera: port, device, baud, model name, serial number, model\n"
      "(tab-separated, - for none). Exit status: 0 a camera answered, 1 none did,\n"
      "2 usage error.\n"
      "Examples:\n"
      "  tavrelctl find\n"
      "  tavrelctl find --json COM1 /dev/ttyUSB0\n" +
      std::string(kJsonTextRule));
}

bool FindCommand::Parsed() const {
  return find_->parsed();
}

int FindCommand::Run(const ComPortDirectory& directory, std::ostream& out,
                     std::ostream& err) const {
  const CameraSearch search = FindCameras(directory, candidates_);
  for (const LineNote& note : search.notes) {
    err << "tavrelctl: " << Where(note.port, note.device) << ": " << note.reason << '\n';
  }
  if (json_) {
    nlohmann::json cameras = nlohmann::json::array();
    for (const FoundCamera& camera : search.found) cameras.push_back(CameraJson(camera));
    out << JsonDump(cameras) << '\n';
  } else {
    for (const FoundCamera& camera : search.found) {
      out << (camera.port != 0 ? ComPortName(camera.port) : "-") << '\t' << camera.device << '\t'
          << camera.baud << '\t' << OrDash(camera.identification.modelName) << '\t'
          << OrDash(camera.identification.serialNumber) << '\t'
          << (camera.cameraType >= 0 ? CameraModelName(camera.cameraType) : "-") << '\n';
    }
  }
  if (!search.found.empty()) return kExitOk;
  err << "tavrelctl: no camera answered on the " << search.probed << " device"
      << (search.probed == 1 ? "" : "s") << " probed\n";
  return kExitNoneFound;
}

}  // namespace tavrel::cli
