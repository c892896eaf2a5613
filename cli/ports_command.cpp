#include "cli/ports_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/exit_status.h"
#include "cli/json_text.h"
#include "cli/path_validator.h"
#include "model/com_port_directory.h"

namespace tavrel::cli {
namespace {

using Row = std::vector<std::string>;

CLI::Validator ComPortValidator() {
  return CLI::Validator(
      [](std::string& text) {
        return ParseComPortName(text) ? std::string() : std::string("must be COM1 to COM10");
      },
      "COM<n>");
}

// Columns two blanks apart, each as wide as its widest cell; the last one
// is not padded.
void PrintTable(std::ostream& out, const std::vector<Row>& rows) {
  std::vector<std::size_t> widths;
  for (const Row& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    out << line << '\n';
  }
}

std::string YesNo(bool yes) {
  return yes ? "yes" : "no";
}

std::string OrDash(const std::string& text) {
  return text.empty() ? "-" : text;
}

std::string Holders(const DeviceAccess& access) {
  if (!access.exists) return "-";
  if (access.holders.empty()) return "no";
  std::string list;
  for (const FileHolder& holder : access.holders) {
    list += (list.empty() ? "" : ", ") + std::to_string(holder.pid) + " (" + holder.command + ")";
  }
  return list;
}

nlohmann::json HoldersJson(const DeviceAccess& access) {
  nlohmann::json holders = nlohmann::json::array();
  for (const FileHolder& holder : access.holders) {
    holders.push_back({{"pid", holder.pid}, {"command", JsonText(holder.command)}});
  }
  return holders;
}

}  // namespace

PortsCommand::PortsCommand(CLI::App& app) {
  ports_ = app.add_subcommand(
      "ports", "list the COM ports' devices and this machine's serial devices; assign them");
  ports_->require_subcommand(0, 1);
  ports_->add_flag("--json", json_, "print JSON");
  ports_->footer(
      "COM n is the device named by TAVREL_COM<n> when it is set, else the one assigned in\n"
      "the profile, else /dev/ttyS<n-1>. Assign a /dev/serial/by-id name where there is one:\n"
      "it stays the same when the adapter is plugged in again or elsewhere.\n"
      "Examples:\n"
      "  tavrelctl ports\n"
      "  tavrelctl ports assign COM1 /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0\n"
      "  tavrelctl ports unassign COM1\n" +
      std::string(kJsonTextRule));
  assign_ = ports_->add_subcommand("assign", "make COM<n> stand for a device (in the profile)");
  assign_->add_option("COM", port_, "COM1 to COM10")->required()->check(ComPortValidator());
  assign_->add_option("PATH", path_, "the device, e.g. a /dev/serial/by-id name")
      ->required()
      ->check(NonEmptyPath());
  unassign_ = ports_->add_subcommand("unassign", "take COM<n>'s assignment out of the profile");
  unassign_->add_option("COM", port_, "COM1 to COM10")->required()->check(ComPortValidator());
}

bool PortsCommand::Parsed() const {
  return ports_->parsed();
}

int PortsCommand::Run(const ComPortDirectory& directory, std::ostream& out,
                      std::ostream& err) const {
  if (assign_->parsed()) return Assign(directory, err);
  if (unassign_->parsed()) return Unassign(directory, err);
  return List(directory, out);
}

int PortsCommand::List(const ComPortDirectory& directory, std::ostream& out) const {
  std::vector<ComPortDevice> ports;
  std::vector<std::string> paths;
  for (std::int32_t port = kFirstComPort; port <= kLastComPort; ++port) {
    ports.push_back(directory.Resolve(port));
    paths.push_back(ports.back().path);
  }
  const std::vector<DeviceAccess> access = ProbeDevices(paths, directory.Roots());
  const std::vector<SerialDevice> devices = directory.DetectDevices();

  if (json_) {
    nlohmann::json comPorts = nlohmann::json::array();
    for (std::size_t i = 0; i < ports.size(); ++i) {
      comPorts.push_back({{"port", ComPortName(ports[i].port)},
                          {"device", JsonText(ports[i].path)},
                          {"source", ComPortSourceName(ports[i].source)},
                          {"exists", access[i].exists},
                          {"mayOpen", access[i].mayOpen},
                          {"busy", !access[i].holders.empty()},
                          {"holders", HoldersJson(access[i])}});
    }
    nlohmann::json found = nlohmann::json::array();
    for (const SerialDevice& device : devices) {
      // Paths and a device's own descriptions are bytes, not always UTF-8.
      found.push_back({{"device", JsonText(device.path)},
                       {"byId", JsonText(device.byIdPath)},
                       {"driver", JsonText(device.driver)},
                       {"usbId", JsonText(device.usbId)},
                       {"serialNumber", JsonText(device.serialNumber)},
                       {"description", JsonText(device.description)}});
    }
    out << JsonDump({{"comPorts", comPorts}, {"devices", found}}) << '\n';
    return kExitOk;
  }

  std::vector<Row> rows{{"PORT", "DEVICE", "FROM", "EXISTS", "ACCESS", "BUSY"}};
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const bool exists = access[i].exists;
    rows.push_back({ComPortName(ports[i].port), ports[i].path, ComPortSourceName(ports[i].source),
                    YesNo(exists), exists ? YesNo(access[i].mayOpen) : "-", Holders(access[i])});
  }
  PrintTable(out, rows);
  out << '\n';
  if (devices.empty()) {
    out << "No serial devices found.\n";
    return kExitOk;
  }
  out << "Serial devices found:\n";
  rows = {{"ASSIGN AS", "DEVICE", "DRIVER", "USB ID", "SERIAL", "DESCRIPTION"}};
  for (const SerialDevice& device : devices) {
    rows.push_back({device.StablePath(), device.path, OrDash(device.driver), OrDash(device.usbId),
                    OrDash(device.serialNumber), OrDash(device.description)});
  }
  PrintTable(out, rows);
  return kExitOk;
}

int PortsCommand::Assign(const ComPortDirectory& directory, std::ostream& err) const {
  const std::int32_t port = *ParseComPortName(port_);
  const std::string failure = directory.Assign(port, path_);
  if (!failure.empty()) {
    err << "tavrelctl: cannot write " << directory.ProfilePath() << ": " << failure << '\n';
    return kExitFile;
  }
  // Said after the write: each is worth knowing, none stops it.
  const std::vector<SerialDevice> devices = directory.DetectDevices();
  const SerialDevice* device = FindSerialDevice(devices, path_, directory.Roots());
  if (device != nullptr && device->StablePath() != path_) {
    err << "tavrelctl: note: " << device->StablePath()
        << " names the same device and stays the same when it is plugged in again\n";
  }
  if (!ProbeDevices({path_}, directory.Roots()).front().exists) {
    err << "tavrelctl: note: " << path_ << " does not exist now\n";
  }
  const ComPortDevice now = directory.Resolve(port);
  if (now.source == ComPortSource::kEnvironment) {
    err << "tavrelctl: note: " << ComPortVariableName(port)
        << " is set and wins over the profile\n";
  }
  return kExitOk;
}

int PortsCommand::Unassign(const ComPortDirectory& directory, std::ostream& err) const {
  const std::string failure = directory.Unassign(*ParseComPortName(port_));
  if (!failure.empty()) {
    err << "tavrelctl: cannot write " << directory.ProfilePath() << ": " << failure << '\n';
    return kExitFile;
  }
  return kExitOk;
}

}  // namespace tavrel::cli
