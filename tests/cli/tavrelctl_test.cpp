// tavrelctl end to end: the executable against the virtual camera on a pty.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "sim/pty_camera.h"
#include "tests/support/file_bytes.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_lines.h"

namespace tavrel {
namespace {

using testing::Lines;
using testing::ProcessResult;
using testing::ReadBytes;
using testing::RunProcess;
using testing::TempFolder;

ProcessResult Tavrelctl(std::vector<std::string> args, std::vector<std::string> env = {}) {
  args.insert(args.begin(), TAVRELCTL_PATH);
  return RunProcess(args, env);
}

struct ModelCount {
  const char* model;
  std::size_t lines;
};

class ReadAllPerModel : public ::testing::TestWithParam<ModelCount> {};

TEST_P(ReadAllPerModel, PrintsOneLinePerEntryRead) {
  const ProcessResult r = Tavrelctl({"--simulate", "--model", GetParam().model, "read-all"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), GetParam().lines);
  // AGC MODE shares its register with AD CLK, which a fresh camera holds at 0.
  EXPECT_EQ(lines.front(), "0\tAGC MODE\t0");
  EXPECT_EQ(lines[10].rfind("10\tGAIN\t", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ReadAllPerModel,
    ::testing::Values(ModelCount{"LOMIRA-P/S", 17}, ModelCount{"PAVON-P/S", 17},
                      ModelCount{"SOVELI-P/S", 17}, ModelCount{"RINDAL-P/S", 17},
                      ModelCount{"KESTRA-P/S", 50}, ModelCount{"QUESSA-P/S", 50},
                      ModelCount{"TEMBRA-P/S", 50}),
    [](const auto& info) {
      std::string name = info.param.model;
      return name.substr(0, name.find('-'));
    });

TEST(Tavrelctl, SetThenGetGoesThroughTheCamera) {
  sim::PtyCamera camera(sim::CameraOptions{});
  const std::string device = camera.DevicePath();

  ProcessResult r = Tavrelctl({"--device", device, "set", "gain", "300"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  // 300 with a two-byte range goes out most significant byte first.
  EXPECT_EQ(camera.ReadRegister(0x01, 0x01, 0x0C), (std::array<std::uint8_t, 3>{0x01, 0x2C, 0x00}));

  r = Tavrelctl({"--device", device, "get", "10"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "300\n");

  r = Tavrelctl({"--device", device, "get", "GAIN", "--json"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.out.find("\"value\": 300"), std::string::npos) << r.out;
}

TEST(Tavrelctl, TraceAppendsTheLinesBytesEachWay) {
  const TempFolder dir("tavrelctl-test");
  const std::string trace = dir.File("line.txt");
  sim::CameraOptions options;
  options.traceFile = dir.File("camera.txt");
  sim::PtyCamera camera(options);
  for (int run = 0; run < 2; ++run) {
    const ProcessResult r =
        Tavrelctl({"--device", camera.DevicePath(), "--trace", trace, "get", "10"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  camera.Stop();
  // Both runs, each way, in the virtual camera's own trace format.
  const std::vector<std::string> lines = Lines(ReadBytes(trace));
  int enqs = 0;
  int replies = 0;
  for (const std::string& line : lines) {
    if (line.find(" PC->CAM ENQ") != std::string::npos) ++enqs;
    if (line.find(" CAM->PC STX") != std::string::npos) ++replies;
  }
  EXPECT_EQ(enqs, 2);
  EXPECT_EQ(replies, 2);
  const std::vector<std::string> cameraLines = Lines(ReadBytes(options.traceFile));
  ASSERT_FALSE(cameraLines.empty());
  auto withoutTime = [](const std::string& line) { return line.substr(line.find(' ')); };
  EXPECT_EQ(withoutTime(lines.front()), withoutTime(cameraLines.front()));

  const ProcessResult r = Tavrelctl(
      {"--device", camera.DevicePath(), "--trace", dir.File("no/such/dir/t.txt"), "get", "10"});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("trace"), std::string::npos);
}

// --trace-decoded: the line monitor's row for each exchange, a new file with
// the column titles first; the byte trace of the same run stays as it was.
TEST(Tavrelctl, DecodedTraceWritesOneRowPerExchange) {
  const TempFolder dir("tavrelctl-test");
  const std::string decoded = dir.File("decoded.txt");
  const std::string trace = dir.File("line.txt");
  ProcessResult r =
      Tavrelctl({"--simulate", "--trace-decoded", decoded, "--trace", trace, "set", "GAIN", "100"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  r = Tavrelctl({"--simulate", "--trace-decoded", decoded, "get", "GAIN"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> lines = Lines(ReadBytes(decoded));
  ASSERT_EQ(lines.size(), 3u) << ReadBytes(decoded);
  EXPECT_EQ(lines[0], "Time (ms)\tActivity\tPC to camera\tCamera to PC\tValue\tOutcome");
  EXPECT_EQ(lines[1],
            "0.0\twrite GAIN = 100\tENQ, STX 01FF010C006400 ETX 0F (sum ok)\tACK, "
            "ACK\tcamera 100, panel 100 (wire 006400)\tACK");
  // A fresh virtual camera: GAIN reads its default.
  EXPECT_EQ(lines[2],
            "0.0\tread GAIN\tENQ, STX 01FF810C000000 ETX 11 (sum ok), ACK\tACK, ACK, STX 000000 "
            "ETX DA (sum ok)\tcamera 0, panel 0 (wire 000000)\treply accepted");
  const std::vector<std::string> traceLines = Lines(ReadBytes(trace));
  ASSERT_EQ(traceLines.size(), 4u);
  // ENQ, ACK, the frame, ACK: as the trace has always had them.
  EXPECT_NE(traceLines[2].find(" PC->CAM STX 30 31 46 46 30 31 30 43 30 30 36 34 30 30 ETX 30 46  "
                               "|.01FF010C006400.0F|"),
            std::string::npos)
      << traceLines[2];

  r = Tavrelctl({"--simulate", "--trace-decoded", dir.File("no/such/dir/d.txt"), "get", "10"});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("decoded trace"), std::string::npos) << r.err;
}

TEST(Tavrelctl, SaveThenLoadRoundTripsTheFile) {
  const TempFolder dir("tavrelctl-test");
  const std::string first = dir.File("first.tdx");
  const std::string second = dir.File("second.tdx");
  {
    sim::PtyCamera camera(sim::CameraOptions{});
    ASSERT_EQ(Tavrelctl({"--device", camera.DevicePath(), "set", "BLACK LEVEL", "17"}).exitStatus,
              0);
    const ProcessResult r = Tavrelctl({"--device", camera.DevicePath(), "save", first});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  ASSERT_EQ(ReadBytes(first).size(), 540u);

  sim::PtyCamera fresh(sim::CameraOptions{});
  ProcessResult r = Tavrelctl({"--device", fresh.DevicePath(), "load", first});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(fresh.ReadRegister(0x01, 0x01, 0x17)[0], 17);
  r = Tavrelctl({"--device", fresh.DevicePath(), "save", second});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));
}

TEST(Tavrelctl, LinkFailuresPrintTheErrorLineAndExit3) {
  ProcessResult r =
      Tavrelctl({"--port", "5", "read-all"}, {"TAVREL_COM5=/nonexistent/tavrel-test-port"});
  EXPECT_EQ(r.exitStatus, 3);
  // The error line, then why the device did not open and which ports there are.
  const auto lines = Lines(r.err);
  ASSERT_EQ(lines.size(), 3u) << r.err;
  EXPECT_EQ(lines[0], "ERROR - Can not open communciation port.");
  EXPECT_EQ(lines[1], "/nonexistent/tavrel-test-port: No such file or directory");
  EXPECT_TRUE(lines[2].rfind("Serial ports found: ", 0) == 0 ||
              lines[2] == "No serial ports were found on this computer.")
      << lines[2];
  // --verbose says the reason no second time.
  const ProcessResult verbose = Tavrelctl({"--verbose", "--port", "5", "read-all"},
                                          {"TAVREL_COM5=/nonexistent/tavrel-test-port"});
  EXPECT_EQ(verbose.exitStatus, 3);
  EXPECT_EQ(verbose.err, r.err);

  sim::PtyCamera camera(sim::CameraOptions{});
  camera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
  r = Tavrelctl({"--device", camera.DevicePath(), "get", "GAIN"});
  EXPECT_EQ(r.exitStatus, 3);
  EXPECT_EQ(r.err, "ERROR - Unexpected character received from camera unit.\n");
  EXPECT_EQ(r.out, "");
}

// A line that hangs up during the exchange (an adapter pulled) says so
// below the time-out, with the device, instead of leaving the user to look
// at the camera; a read-all ends there.
TEST(Tavrelctl, AHangUpSaysTheDeviceWentAway) {
  for (const char* command : {"get", "read-all"}) {
    SCOPED_TRACE(command);
    sim::PtyCamera camera(sim::CameraOptions{});
    camera.AddFault({sim::FaultKind::kHangup, 1, 0});
    std::vector<std::string> args{"--device", camera.DevicePath(), command};
    if (std::string(command) == "get") args.push_back("GAIN");
    const ProcessResult r = Tavrelctl(args);
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_EQ(Lines(r.err), (std::vector<std::string>{
                                "ERROR - Communication time out detected. Check the connection.",
                                camera.DevicePath() + ": the device went away"}))
        << r.err;
  }
}

// A port another program holds is refused at once, naming the holder; with
// --wait the program queues for it and goes on once it comes free.
TEST(Tavrelctl, ABusyPortIsRefusedAtOnceOrWaitedFor) {
  sim::PtyCamera camera(sim::CameraOptions{});
  auto holder = std::make_unique<CommPort>();
  ASSERT_EQ(holder->OpenSerialDevice(camera.DevicePath(), 9600), 0);
  for (const std::vector<std::string>& wait :
       {std::vector<std::string>{}, std::vector<std::string>{"--wait", "0.1"}}) {
    std::vector<std::string> args = wait;
    args.insert(args.end(), {"--device", camera.DevicePath(), "get", "GAIN"});
    const ProcessResult r = Tavrelctl(args);
    EXPECT_EQ(r.exitStatus, 3);
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_GE(lines.size(), 3u) << r.err;
    EXPECT_EQ(lines[lines.size() - 3], "ERROR - Can not open communciation port.");
    EXPECT_EQ(lines[lines.size() - 2],
              camera.DevicePath() + ": device is busy (in use by another program)");
    EXPECT_EQ(lines.back().rfind(
                  "Another program has it open: process " + std::to_string(::getpid()) + " (", 0),
              0u)
        << lines.back();
  }

  // Queued: the program says it waits, and goes on when the holder lets go.
  int errPipe[2];
  ASSERT_EQ(::pipe2(errPipe, O_CLOEXEC), 0);
  int outPipe[2];
  ASSERT_EQ(::pipe2(outPipe, O_CLOEXEC), 0);
  const std::string device = camera.DevicePath();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(outPipe[1], STDOUT_FILENO);
    ::dup2(errPipe[1], STDERR_FILENO);
    ::execl(TAVRELCTL_PATH, TAVRELCTL_PATH, "--wait", "600", "--device", device.c_str(), "get",
            "GAIN", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(errPipe[1]);
  ::close(outPipe[1]);
  std::string told;
  char c = 0;
  while (::read(errPipe[0], &c, 1) == 1 && c != '\n') told += c;
  EXPECT_EQ(told, "tavrelctl: " + camera.DevicePath() + " is busy; waiting up to 600 s for it");
  holder.reset();
  std::string out;
  while (::read(outPipe[0], &c, 1) == 1) out += c;
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(out.empty());
  ::close(errPipe[0]);
  ::close(outPipe[0]);
}

TEST(Tavrelctl, UsageErrorsExit2WithAClearMessage) {
  struct Case {
    std::vector<std::string> args;
    const char* mentions;
  };
  const Case cases[] = {
      {{"--simulate", "frobnicate"}, "read-all, get, set"},
      {{"--simulate", "frobnicate"}, "tavrelctl: unknown command 'frobnicate'\n"},
      {{"--port", "2", "frobnicate", "--json"}, "tavrelctl: unknown command 'frobnicate'\n"},
      {{"--simulate"},
       "COMMAND is one of read-all, get, set, write-all, save, load, send, query, ident, diff, "
       "reg, serial-number, find, ports\n"},
      {{"--simulate", "get", "TRIGGER POLARITY"}, "3, 4"},
      {{"--simulate", "get", "NO SUCH ENTRY"}, "SHUTTER SPEED"},
      {{"--simulate", "get", "129"}, "0 to 128"},
      {{"--simulate", "set", "GAIN", "999"}, "0 to 336"},
      {{"--simulate", "set", "16", "99"}, "value 99 is outside entry 16's range 0 to 26 "},
      {{"--simulate", "--model", "NOPE", "read-all"}, "NOPE"},
      {{"--port", "11", "read-all"}, "--port"},
      // An empty name would open COM1 instead.
      {{"--device", "", "read-all"}, "--device: must not be empty"},
      {{"--board", "", "read-all"}, "--board: must not be empty"},
      {{"ports", "assign", "COM11", "/dev/ttyUSB0"}, "COM1 to COM10"},
      {{"ports", "assign", "COM1", ""}, "must not be empty"},
      {{"ports", "assign", "COM1"}, "PATH"},
      {{"ports", "unassign", "LPT1"}, "COM1 to COM10"},
  };
  for (const auto& c : cases) {
    const ProcessResult r = Tavrelctl(c.args);
    EXPECT_EQ(r.exitStatus, 2) << c.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
  }
  const ProcessResult help = Tavrelctl({"get", "--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("ENTRY"), std::string::npos) << help.out;
}

TEST(Tavrelctl, EveryArgumentIsCheckedBeforeThePortOpens) {
  const TempFolder dir("tavrelctl-test");
  const std::string foreign = dir.File("foreign.tdx");
  std::ofstream(foreign, std::ios::binary) << '\x03' << "XYZ" << std::string(516, '\0');
  const struct {
    std::vector<std::string> args;
    int exitStatus;
    const char* says;
  } rows[] = {
      {{"set", "GAIN", "999"}, 2, "outside GAIN's range"},
      {{"set", "GAIN", "many"}, 2, "not a number"},
      {{"get", "nosuchentry"}, 2, "unknown entry"},
      {{"load", dir.File("missing.tdx")}, 4, "No such file or directory"},
      {{"load", foreign}, 4, "File type mismatch."},
      {{"reg", "dump", "common", "--page", "80"}, 2, "アドレスの入力が不正です。"},
      // A body the camera could never take.
      {{"send", "ZZ"}, 2, "BODY: \"ZZ\" may hold only hexadecimal digits (0-9, A-F)"},
      {{"send", std::string(23, '0')}, 2, "is 23 characters long; a message body holds 22 at most"},
      {{"query", ""}, 2, "BODY: must not be empty"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {"--port", "5"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    // Nothing is behind COM5: opening it would fail with exit 3.
    const ProcessResult r = Tavrelctl(args, {"TAVREL_COM5=/nonexistent/tavrel-test-port"});
    EXPECT_EQ(r.exitStatus, row.exitStatus) << row.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("ERROR - "), std::string::npos) << r.err;
  }
}

TEST(Tavrelctl, OutputThatCannotBeWrittenIsExit4WithTheReason) {
  const struct {
    const char* redirection;
    const char* reason;
  } rows[] = {
      {">/dev/full", "No space left on device"},
      {">&-", "Bad file descriptor"},  // and the camera's pty does not take its place
  };
  for (const auto& row : rows) {
    // A dump writes each row as it comes, while the camera's pty is open.
    for (const char* command : {"read-all", "reg dump tg", "--help"}) {
      const ProcessResult r =
          RunProcess({"/bin/sh", "-c",
                      std::string("exec \"$0\" --simulate ") + command + " " + row.redirection,
                      TAVRELCTL_PATH});
      EXPECT_EQ(r.exitStatus, 4) << command << row.redirection;
      EXPECT_EQ(r.err, std::string("tavrelctl: cannot write the output: ") + row.reason + "\n");
    }
  }
}

// With standard error closed, the camera's line must not take its number:
// the error text would go to the camera.
TEST(Tavrelctl, AClosedStandardErrorNeverReachesTheCameraLine) {
  const TempFolder dir("tavrelctl-test");
  sim::CameraOptions options;
  options.traceFile = dir.File("camera.trace");
  sim::PtyCamera camera(options);
  camera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
  const ProcessResult r = RunProcess({"/bin/sh", "-c", "exec \"$0\" --device \"$1\" get GAIN 2>&-",
                                      TAVRELCTL_PATH, camera.DevicePath()});
  EXPECT_EQ(r.exitStatus, 3);
  // The camera answers an ENQ of ours only once it has read (and traced)
  // every byte before it.
  const int line = ::open(camera.DevicePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(line, 0);
  ASSERT_EQ(::write(line, "\x05", 1), 1);
  pollfd answer{line, POLLIN, 0};
  EXPECT_EQ(::poll(&answer, 1, 10000), 1);
  ::close(line);
  const std::string trace = ReadBytes(dir.File("camera.trace"));
  EXPECT_NE(trace.find("ENQ"), std::string::npos) << trace;
  // "ERRO" as the trace shows bytes that are no control characters.
  EXPECT_EQ(trace.find("45 52 52 4F"), std::string::npos) << trace;
}

TEST(Tavrelctl, FilesThatAreNotSettingsFilesExit4) {
  const TempFolder dir("tavrelctl-test");
  const std::string foreign = dir.File("foreign.tdx");
  std::ofstream(foreign, std::ios::binary)
      << '\x17' << "TAV-DX Data Version1.01" << std::string(516, '\0');
  const std::string cut = dir.File("cut.tdx");
  std::ofstream(cut, std::ios::binary)
      << '\x17' << "TAV-DX Data Version1.00" << std::string(76, '\0');

  ProcessResult r = Tavrelctl({"--simulate", "load", foreign});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("File type mismatch. File \"foreign.tdx\" does not contain data for  TAVREL "
                       "CONTROL apprication."),
            std::string::npos)
      << r.err;

  r = Tavrelctl({"--simulate", "load", cut});
  EXPECT_EQ(r.exitStatus, 4);
  EXPECT_NE(r.err.find("Unexpected file format."), std::string::npos) << r.err;

  r = Tavrelctl({"--simulate", "load", dir.File("missing.tdx")});
  EXPECT_EQ(r.exitStatus, 4);

  r = Tavrelctl({"--simulate", "save", dir.File("no-such-folder/x.tdx")});
  EXPECT_EQ(r.exitStatus, 4);
}

TEST(Tavrelctl, IdentPrintsTheIdentification) {
  sim::CameraOptions options;
  options.model = "QUESSA-P/S";
  options.serialNumber = "0012345";
  sim::PtyCamera camera(options);
  const ProcessResult r =
      Tavrelctl({"--device", camera.DevicePath(), "--model", "QUESSA-P/S", "ident"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[0].rfind("Vendor: ", 0), 0u);
  EXPECT_EQ(lines[1], "Model: QUESSA-P/S");
  EXPECT_EQ(lines[2], "Serial Number: 0012345");
  EXPECT_EQ(lines[3].rfind("Version: ", 0), 0u);
}

TEST(Tavrelctl, TheModelIsNamedInAnyCase) {
  const ProcessResult r = Tavrelctl({"--simulate", "--model", "lomira-p/s", "ident"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.out.find("Model: LOMIRA-P/S\n"), std::string::npos) << r.out;
  EXPECT_NE(Tavrelctl({"--simulate", "--model", "Pavon-P/S", "read-all", "--json"})
                .out.find("\"model\": \"PAVON-P/S\""),
            std::string::npos);
}

TEST(Tavrelctl, VerboseTellsEachEntryOfTheWholeCameraCommands) {
  const TempFolder dir("tavrelctl-test");
  const std::string file = dir.File("saved.tdx");
  ASSERT_EQ(Tavrelctl({"--simulate", "--model", "LOMIRA-P/S", "save", file}).exitStatus, 0);
  const struct {
    std::vector<std::string> args;
    const char* says;
  } rows[] = {
      {{"read-all"}, "Uploading GAIN data from camera...\n"},
      {{"save", file}, "Uploading GAIN data from camera...\n"},
      {{"write-all"}, "Sending GAIN data to camera...\n"},
      {{"load", file}, "Sending GAIN data to camera...\n"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {"--simulate", "--model", "LOMIRA-P/S", "-v"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ProcessResult r = Tavrelctl(args);
    EXPECT_EQ(r.exitStatus, 0) << row.args.front() << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << row.args.front() << ": " << r.err;
    // One line for each entry: LOMIRA-P/S reads and writes 17.
    EXPECT_EQ(Lines(r.err).size(), 17u) << row.args.front() << ": " << r.err;
  }
  // Without -v nothing.
  EXPECT_EQ(Tavrelctl({"--simulate", "load", file}).err, "");
}

// A maker's texts in its own character set (Latin-1, Shift-JIS) are bytes
// that are not UTF-8: the JSON carries them escaped, and the plain output
// as they came.
TEST(Tavrelctl, IdentJsonTakesTextsThatAreNotUtf8) {
  const struct {
    const char* vendor;
    const char* json;
  } rows[] = {
      {"Caf\xE9 Optik", "Caf\\xE9 Optik"},
      {"\x83J\x83\x81\x83\x89 K.K.", "\\x83J\\x83\\x81\\x83\\x89 K.K."},  // Shift-JIS
      {"Caf\xC3\xA9 A\\B", "Caf\xC3\xA9 A\\\\B"},
  };
  for (const auto& row : rows) {
    sim::CameraOptions options;
    options.vendorName = row.vendor;
    sim::PtyCamera camera(options);
    ProcessResult r = Tavrelctl({"--device", camera.DevicePath(), "ident", "--json"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["vendor"], row.json) << r.out;
    r = Tavrelctl({"--device", camera.DevicePath(), "ident"});
    EXPECT_EQ(Lines(r.out).front(), std::string("Vendor: ") + row.vendor);
  }
  const ProcessResult help = Tavrelctl({"--help"});
  EXPECT_NE(help.out.find("any other byte is written as \\xHH"), std::string::npos) << help.out;
}

// A camera that reports another of the models: read-all, write-all and load
// say so on stderr, having read the model name with read commands before
// anything is written, and go on as --model says. Nothing is said when the
// text names the model chosen.
TEST(Tavrelctl, SaysWhenTheCameraReportsAnotherModel) {
  const TempFolder dir("tavrelctl-test");
  const std::string file = dir.File("settings.tdx");
  {
    sim::PtyCamera camera(sim::CameraOptions{});
    ASSERT_EQ(Tavrelctl({"--device", camera.DevicePath(), "save", file}).exitStatus, 0);
  }
  const struct {
    const char* modelName;
    std::vector<std::string> args;
    std::size_t reads;  // before the first write
    std::size_t writes;
    const char* says;
  } rows[] = {
      {"LOMIRA-S", {"read-all"}, 50, 0, "The camera reports LOMIRA-S; KESTRA-P/S was chosen.\n"},
      {"LOMIRA-S", {"write-all"}, 5, 27, "The camera reports LOMIRA-S; KESTRA-P/S was chosen.\n"},
      {"LOMIRA-S", {"load", file}, 5, 27, "The camera reports LOMIRA-S; KESTRA-P/S was chosen.\n"},
      // LOMIRA-P/S's read stops at entry 17: the model name is read after it.
      {"KESTRA-S",
       {"--model", "LOMIRA-P/S", "read-all"},
       17 + 5,
       0,
       "The camera reports KESTRA-S; LOMIRA-P/S was chosen.\n"},
      {"LOMIRA-S", {"--model", "LOMIRA-P/S", "write-all"}, 5, 17, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.back());
    sim::CameraOptions options;
    options.modelName = row.modelName;
    sim::PtyCamera camera(options);
    std::vector<std::string> args = {"--device", camera.DevicePath()};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ProcessResult r = Tavrelctl(args);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err, row.says);
    const std::vector<std::string> bodies = camera.ReceivedBodies();
    ASSERT_EQ(bodies.size(), row.reads + row.writes);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
      // Command codes 81 and 90 read, 01 writes.
      const bool read = bodies[i].compare(4, 1, "8") == 0 || bodies[i].compare(4, 1, "9") == 0;
      EXPECT_EQ(read, i < row.reads) << i << ": " << bodies[i];
    }
  }
}

TEST(Tavrelctl, QueryPrintsTheSixReplyCharacters) {
  sim::PtyCamera camera(sim::CameraOptions{});
  ASSERT_EQ(Tavrelctl({"--device", camera.DevicePath(), "send", "01FF010C012C00"}).exitStatus, 0);
  const ProcessResult r = Tavrelctl({"--device", camera.DevicePath(), "query", "01FF810C000000"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "012C00\n");
  // All six as they came, a NUL among them too.
  camera.AddFault({sim::FaultKind::kNulValue, 1, 0});
  EXPECT_EQ(Tavrelctl({"--device", camera.DevicePath(), "query", "01FF810C000000"}).out,
            std::string("AB\0DEF\n", 7));
  // Sent as typed: the camera reads lower-case digits too.
  EXPECT_EQ(Tavrelctl({"--device", camera.DevicePath(), "query", "01ff810c000000"}).out,
            "012C00\n");
}

}  // namespace
}  // namespace tavrel
