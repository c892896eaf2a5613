// tavrelctl reg end to end: the executable against the virtual camera on a pty.
#include <gtest/gtest.h>

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/pty_camera.h"
#include "tests/support/run_process.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using Bytes = std::array<std::uint8_t, 3>;
using testing::Lines;
using testing::ProcessResult;

ProcessResult Reg(const sim::PtyCamera& camera, std::vector<std::string> args) {
  args.insert(args.begin(), {TAVRELCTL_PATH, "--device", camera.DevicePath(), "reg"});
  return testing::RunProcess(args);
}

TEST(TavrelctlReg, WriteAndReadReachTheRegistersOfEachMode) {
  sim::PtyCamera camera(sim::CameraOptions{});
  ProcessResult r = Reg(camera, {"write", "dsp", "0a", "ff"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  r = Reg(camera, {"write", "AFE", "10", "abcd", "--eeprom"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(camera.ReceivedBodies(),
            (std::vector<std::string>{"00FF020AFF0000", "01FF0410ABCD00"}));
  EXPECT_EQ(camera.ReadRegister(0, 0x02, 0x0A), (Bytes{0xFF, 0, 0}));
  EXPECT_EQ(camera.ReadRegister(1, 0x04, 0x10), (Bytes{0xAB, 0xCD, 0}));
  EXPECT_EQ(camera.ReadRegister(0, 0x04, 0x10), (Bytes{0, 0, 0}));

  camera.WriteRegister(0, 0x10, 0x7F, {0x12, 0x34, 0x56});
  EXPECT_EQ(Reg(camera, {"read", "info", "7f"}).out, "1234\n");
  EXPECT_EQ(Reg(camera, {"read", "dsp", "0A"}).out, "FF\n");
  EXPECT_EQ(Reg(camera, {"read", "afe", "10", "--eeprom"}).out, "ABCD\n");
  EXPECT_EQ(camera.ReceivedBodies().back(), "01FF8410000000");
}

// A camera that refuses every handshake: the error line, nothing printed,
// and the failure in the exit status.
TEST(TavrelctlReg, WriteAndReadExit3OnALinkFailure) {
  sim::PtyCamera camera(sim::CameraOptions{});
  camera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"write", "dsp", "0a", "ff"}, {"read", "afe", "10"}}) {
    const ProcessResult r = Reg(camera, args);
    EXPECT_EQ(r.exitStatus, 3) << args.front();
    EXPECT_EQ(r.err, "ERROR - Unexpected character received from camera unit.\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(camera.ReceivedBodies().empty());
}

TEST(TavrelctlReg, DumpPrintsTheShownRowsOfAPage) {
  sim::PtyCamera camera(sim::CameraOptions{});
  camera.WriteRegister(1, 0x01, 0x61, {0xBE, 0xEF, 0x99});
  ProcessResult r = Reg(camera, {"dump", "common", "--page", "60", "--eeprom"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);  // 7F is not a common address
  EXPECT_EQ(lines[1], "61\tBEEF");
  EXPECT_EQ(lines.back().substr(0, 3), "7E\t");
  EXPECT_EQ(camera.ReceivedBodies().size(), 31u);
  EXPECT_EQ(camera.ReceivedBodies().front(), "01FF8160000000");

  r = Reg(camera, {"dump", "tg"});  // page 00 by default
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 32u);
  EXPECT_EQ(Lines(r.out).back(), "1F\t00");

  // Pages that show no address: the editor's address message at once.
  const std::size_t sent = camera.ReceivedBodies().size();
  for (const char* area : {"common", "info"}) {
    for (const char* page : {"80", "a0", "E0"}) {
      for (const bool json : {false, true}) {
        std::vector<std::string> args = {"dump", area, "--page", page};
        if (json) args.push_back("--json");
        r = Reg(camera, args);
        EXPECT_EQ(r.exitStatus, 2) << area << ' ' << page;
        EXPECT_EQ(r.err, "アドレスの入力が不正です。\n");
        EXPECT_EQ(r.out, "");
      }
    }
  }
  EXPECT_EQ(camera.ReceivedBodies().size(), sent);
}

// Every one of a reply's six value characters counts, in every area: a
// reply garbled past the digits a row shows is no value either.
TEST(TavrelctlReg, RepliesThatAreNotSixHexDigitsAreLinkCode24) {
  sim::PtyCamera camera(sim::CameraOptions{});
  const char* const kCode24 =
      "ERROR - Invalid character type found in received data from camera unit.\n";
  for (const sim::FaultKind fault : {sim::FaultKind::kBadValue, sim::FaultKind::kNulValue}) {
    for (const char* area : {"common", "dsp", "tg", "afe", "ddr", "info"}) {
      camera.AddFault({fault, 1, 0});
      const ProcessResult r = Reg(camera, {"read", area, "40"});
      EXPECT_EQ(r.exitStatus, 3) << area;
      EXPECT_EQ(r.err, kCode24) << area;
      EXPECT_EQ(r.out, "") << area;
    }
  }

  // Row 05 of the dump gets the bad reply; the others go on.
  camera.AddFault({sim::FaultKind::kNulValue, 1, 5});
  ProcessResult r = Reg(camera, {"dump", "ddr"});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err, kCode24);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[4], "04\t00");
  EXPECT_EQ(lines[5], "06\t00");
}

TEST(TavrelctlReg, AFailingRowPrintsItsErrorAndTheDumpGoesOn) {
  sim::PtyCamera camera(sim::CameraOptions{});
  camera.WriteRegister(0, 0x05, 0x1D, {0x5A, 0, 0});
  // Row 05 fails: all four handshake attempts are refused.
  const sim::Fault refuseOneRow{sim::FaultKind::kEnqNak, 4, 5};
  camera.AddFault(refuseOneRow);
  ProcessResult r = Reg(camera, {"dump", "ddr"});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err, "ERROR - Unexpected character received from camera unit.\n");
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[5], "06\t00");
  EXPECT_EQ(lines.back(), "1F\t00");
  EXPECT_EQ(lines[28], "1D\t5A");

  camera.AddFault(refuseOneRow);
  r = Reg(camera, {"dump", "ddr", "--json"});
  EXPECT_EQ(r.exitStatus, 3);
  const nlohmann::json dump = nlohmann::json::parse(r.out);
  ASSERT_EQ(dump["rows"].size(), 32u);
  EXPECT_TRUE(dump["rows"][5]["data"].is_null());
  EXPECT_EQ(dump["rows"][5]["address"], "05");
  EXPECT_EQ(dump["rows"][29]["data"], "5A");
  EXPECT_EQ(dump["area"], "ddr");
  EXPECT_EQ(dump["mode"], "FPGA");
}

// A line that hangs up ends the dump at the row that found it gone: the
// rows before it are printed, and one error, not one per row left.
TEST(TavrelctlReg, AHangUpEndsTheDump) {
  sim::PtyCamera camera(sim::CameraOptions{});
  camera.AddFault({sim::FaultKind::kHangup, 1, 3});
  const ProcessResult r = Reg(camera, {"dump", "tg"});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"00\t00", "01\t00", "02\t00"}));
  std::size_t errors = 0;
  for (std::size_t at = r.err.find("ERROR - "); at != std::string::npos;
       at = r.err.find("ERROR - ", at + 1)) {
    ++errors;
  }
  EXPECT_EQ(errors, 1u) << r.err;
}

TEST(TavrelctlReg, BadInputIsAUsageErrorNamingTheRuleAndSendsNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* mentions;
  };
  const Case cases[] = {
      {{"read", "fpga", "00"}, "one of common, dsp, tg, afe, ddr, info"},
      {{"read", "tg", "1"}, "two hexadecimal digits"},
      {{"write", "tg", "100", "00"}, "two hexadecimal digits"},
      {{"write", "tg", "G0", "00"}, "two hexadecimal digits"},
      {{"write", "afe", "10", "ABC"}, "4 hexadecimal digits for afe"},
      {{"write", "dsp", "10", "ABCD"}, "2 hexadecimal digits for dsp"},
      {{"write", "common", "10", "12"}, "4 hexadecimal digits for common"},
      {{"write", "ddr", "10", "1x"}, "2 hexadecimal digits for ddr"},
      {{"dump", "tg", "--page", "10"}, "first address of a page"},
      {{"dump", "tg", "--page", "zz"}, "first address of a page"},
      {{"dump"}, "AREA"},
  };
  sim::PtyCamera camera(sim::CameraOptions{});
  for (const Case& c : cases) {
    const ProcessResult r = Reg(camera, c.args);
    EXPECT_EQ(r.exitStatus, 2) << c.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
  }
  EXPECT_TRUE(camera.ReceivedBodies().empty());
}

}  // namespace
}  // namespace tavrel
