// A small sysfs and /dev tree in a test's folder, laid out as the kernel and
// udev lay them out: class/tty links into the device tree, driver links
// into bus/*/drivers, USB identity files on the adapter's device, by-id
// links in dev/serial/by-id. All links are real symbolic links, relative as
// the system's are.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/port_scan.h"

namespace tavrel::testing {

class FakeSystemTree {
 public:
  explicit FakeSystemTree(std::filesystem::path root) : root_(std::move(root)) {
    std::filesystem::create_directories(root_ / "sys" / "class" / "tty");
    std::filesystem::create_directories(root_ / "dev");
    std::filesystem::create_directories(root_ / "proc");
  }

  SystemRoots Roots() const {
    return {(root_ / "sys").string(), (root_ / "dev").string(), (root_ / "proc").string()};
  }
  std::string Dev(const std::string& name) const { return (root_ / "dev" / name).string(); }

  struct UsbAdapter {
    std::string tty;     // "ttyUSB0"
    std::string driver;  // "ftdi_sio"
    std::string vendor;  // "0403"
    std::string product;
    std::string serial;
    std::string maker;
    std::string productName;
    std::string byId;  // name in dev/serial/by-id, or empty
    int usbPort = 1;   // where it is plugged: device 1-<usbPort>
  };

  // A USB serial adapter: usb-serial drivers put the tty under a port device
  // of their own (ttyUSB), cdc_acm puts it under the interface (ttyACM).
  void AddUsbAdapter(const UsbAdapter& adapter) {
    const auto usbDevice =
        Sys("devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(adapter.usbPort));
    Write(usbDevice / "idVendor", adapter.vendor);
    Write(usbDevice / "idProduct", adapter.product);
    if (!adapter.serial.empty()) Write(usbDevice / "serial", adapter.serial);
    Write(usbDevice / "manufacturer", adapter.maker);
    Write(usbDevice / "product", adapter.productName);
    const auto interface = usbDevice / ("1-" + std::to_string(adapter.usbPort) + ":1.0");
    std::filesystem::path hardware = interface;
    Driver(interface, "usb", adapter.driver);
    if (adapter.driver != "cdc_acm") {
      hardware = interface / adapter.tty;
      Driver(hardware, "usb-serial", adapter.driver);
    }
    AddTty(hardware, adapter.tty, "");
    if (!adapter.byId.empty()) {
      std::filesystem::create_directories(root_ / "dev" / "serial" / "by-id");
      Link(root_ / "dev" / "serial" / "by-id" / adapter.byId, root_ / "dev" / adapter.tty);
    }
  }

  // A UART port as recent kernels lay it out: the hardware's device (driver
  // "serial"), then the serial core's own controller and port devices.
  // `type` 0 is a port the driver reserved without finding a UART.
  void AddUart(const std::string& tty, const std::string& pnp, const std::string& type) {
    const auto hardware = Sys("devices/pnp0/" + pnp);
    Driver(hardware, "pnp", "serial");
    const auto controller = hardware / (pnp + ":0");
    Driver(controller, "serial-base", "ctrl");
    const auto port = controller / (pnp + ":0.0");
    Driver(port, "serial-base", "port");
    AddTty(port, tty, type);
  }

  // A port of the 8250 platform device, as older kernels lay them out.
  void AddPlatformUart(const std::string& tty, const std::string& type) {
    const auto hardware = Sys("devices/platform/serial8250");
    Driver(hardware, "platform", "serial8250");
    AddTty(hardware, tty, type);
  }

  // A virtual terminal: in class/tty, with no device behind it.
  void AddVirtualTerminal(const std::string& tty) {
    const auto folder = Sys("devices/virtual/tty/" + tty);
    Link(root_ / "sys" / "class" / "tty" / tty, folder);
    Write(root_ / "dev" / tty, "");
  }

 private:
  std::filesystem::path Sys(const std::string& relative) const {
    const auto path = root_ / "sys" / relative;
    std::filesystem::create_directories(path);
    return path;
  }

  static void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text << '\n';
  }

  static void Link(const std::filesystem::path& at, const std::filesystem::path& target) {
    std::filesystem::create_symlink(std::filesystem::relative(target, at.parent_path()), at);
  }

  // Several ports may share one device (and its driver link).
  void Driver(const std::filesystem::path& device, const std::string& bus,
              const std::string& name) {
    if (std::filesystem::is_symlink(device / "driver")) return;
    std::filesystem::create_directories(device);
    Link(device / "driver", Sys("bus/" + bus + "/drivers/" + name));
  }

  void AddTty(const std::filesystem::path& hardware, const std::string& tty,
              const std::string& type) {
    const auto folder = hardware / "tty" / tty;
    std::filesystem::create_directories(folder);
    Link(folder / "device", hardware);
    if (!type.empty()) Write(folder / "type", type);
    Link(root_ / "sys" / "class" / "tty" / tty, folder);
    Write(root_ / "dev" / tty, "");  // stands in for the device node
  }

  std::filesystem::path root_;
};

}  // namespace tavrel::testing
