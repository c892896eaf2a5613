#include "cli/register_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/exit_status.h"
#include "cli/json_text.h"
#include "model/camera_unit.h"
#include "model/register_access.h"

namespace tavrel::cli {
namespace {

constexpr const char* kAreaRule = "must be one of common, dsp, tg, afe, ddr, info (case ignored)";
constexpr const char* kAddressRule = "must be two hexadecimal digits (00 to FF)";
constexpr const char* kPageRule =
    "must be the first address of a page: 00, 20, 40, 60, 80, A0, C0 or E0";

RegisterArea AreaOf(const std::string& name) {
  return *RegisterAreaFromName(name);
}

int PageBase(const std::string& page) {
  return std::stoi(page, nullptr, 16);
}

CLI::Validator AreaValidator() {
  return CLI::Validator(
      [](std::string& text) {
        return RegisterAreaFromName(text) ? std::string() : std::string(kAreaRule);
      },
      "AREA");
}

CLI::Validator AddressValidator() {
  return CLI::Validator(
      [](std::string& text) {
        return IsValidRegisterAddress(text) ? std::string() : std::string(kAddressRule);
      },
      "ADDR");
}

CLI::Validator PageValidator() {
  return CLI::Validator(
      [](std::string& text) {
        if (IsValidRegisterAddress(text) && PageBase(text) % kRegisterPageRows == 0) {
          return std::string();
        }
        return std::string(kPageRule);
      },
      "HH");
}

RegisterMode ModeOf(bool eeprom) {
  return eeprom ? RegisterMode::kEeprom : RegisterMode::kFpga;
}

}  // namespace

RegisterCommand::RegisterCommand(CLI::App& app) {
  reg_ = app.add_subcommand("reg", "read and write the camera's internal registers directly");
  reg_->require_subcommand(1);
  reg_->footer(
      "AREA: common, dsp, tg, afe, ddr, info (case ignored). ADDR: two hex digits.\n"
      "DATA: 4 hex digits for common, afe and info, 2 for dsp, tg and ddr.\n"
      "Messages address the FPGA unless --eeprom is given.\n"
      "Examples:\n"
      "  tavrelctl --simulate reg write dsp 05 12\n"
      "  tavrelctl --simulate reg read afe 10 --eeprom\n"
      "  tavrelctl --simulate reg dump common --page 60\n");

  read_ = reg_->add_subcommand("read", "read one register and print its data digits");
  write_ = reg_->add_subcommand("write", "write one register");
  dump_ = reg_->add_subcommand(
      "dump",
      "read a page of 32 addresses; one line per address: ADDR<TAB>DATA. A row the camera "
      "refuses is left out and the dump goes on; a time-out or a hang-up ends it");
  for (CLI::App* command : {read_, write_, dump_}) {
    command->add_option("AREA", area_, "common, dsp, tg, afe, ddr or info")
        ->required()
        ->check(AreaValidator());
    command->add_flag("--eeprom", eeprom_, "address the EEPROM instead of the FPGA");
  }
  for (CLI::App* command : {read_, write_}) {
    command->add_option("ADDR", address_, "the address, two hex digits")
        ->required()
        ->check(AddressValidator());
  }
  write_->add_option("DATA", data_, "2 or 4 hex digits, by area")->required();
  write_->parse_complete_callback([this] {
    const RegisterArea area = AreaOf(area_);
    if (!IsValidRegisterData(area, data_)) {
      throw CLI::ValidationError("DATA", "must be " + std::to_string(RegisterDataDigits(area)) +
                                             " hexadecimal digits for " +
                                             std::string(RegisterAreaName(area)));
    }
  });
  dump_->add_option("--page", page_, "first address of the page (default 00)")
      ->check(PageValidator());
  dump_->add_flag("--json", json_, "print JSON");
}

bool RegisterCommand::Parsed() const {
  return reg_->parsed();
}

int RegisterCommand::Check(CameraUnit& camera) const {
  if (dump_->parsed() && !RegisterPageHasAddresses(AreaOf(area_), PageBase(page_))) {
    ShowRegisterInputError(camera, RegisterInputError::kAddress);
    return kExitUsage;
  }
  return kExitOk;
}

int RegisterCommand::Run(CameraUnit& camera, std::ostream& out) const {
  if (read_->parsed()) return Read(camera, out);
  if (write_->parsed()) return Write(camera);
  return Dump(camera, out);
}

int RegisterCommand::Read(CameraUnit& camera, std::ostream& out) const {
  std::string data;
  if (ReadRegisterRow(camera, ModeOf(eeprom_), AreaOf(area_), address_, data) !=
      RegisterRowOutcome::kDone) {
    return kExitCamera;
  }
  out << data << '\n';
  return kExitOk;
}

int RegisterCommand::Write(CameraUnit& camera) const {
  return WriteRegisterRow(camera, ModeOf(eeprom_), AreaOf(area_), address_, data_) ==
                 RegisterRowOutcome::kDone
             ? kExitOk
             : kExitCamera;
}

int RegisterCommand::Dump(CameraUnit& camera, std::ostream& out) const {
  const RegisterArea area = AreaOf(area_);
  const int base = PageBase(page_);
  bool failed = false;
  nlohmann::json rows = nlohmann::json::array();
  for (int row = 0; row < kRegisterPageRows; ++row) {
    RegisterRowText text = InitialRegisterRow(area, base, row);
    if (text.address.empty()) continue;  // blank rows are skipped
    const bool done = ReadRegisterRow(camera, ModeOf(eeprom_), area, text.address, text.data) ==
                      RegisterRowOutcome::kDone;
    failed = failed || !done;
    if (json_) {
      rows.push_back({{"address", text.address},
                      {"data", done ? nlohmann::json(text.data) : nlohmann::json()}});
    } else if (done) {
      out << text.address << '\t' << text.data << '\n';
      out.flush();
    }
    // Every row after it would wait out all its retries as well.
    if (!done && IsLinkGone(camera)) break;
  }
  if (json_) {
    char page[3];
    std::snprintf(page, sizeof page, "%02X", static_cast<unsigned>(base));
    out << JsonDump({{"area", std::string(RegisterAreaName(area))},
                     {"page", page},
                     {"mode", eeprom_ ? "EEPROM" : "FPGA"},
                     {"rows", rows}})
        << '\n';
  }
  return failed ? kExitCamera : kExitOk;
}

}  // namespace tavrel::cli
