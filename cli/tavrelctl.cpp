#include "cli/tavrelctl.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/console_prompt.h"
#include "cli/decoded_trace.h"
#include "cli/diff_command.h"
#include "cli/entry_lookup.h"
#include "cli/exit_status.h"
#include "cli/find_command.h"
#include "cli/json_text.h"
#include "cli/message_body_validator.h"
#include "cli/path_validator.h"
#include "cli/ports_command.h"
#include "cli/register_command.h"
#include "cli/serial_number_command.h"
#include "cli/simulated_camera.h"
#include "model/camera_unit.h"
#include "model/com_port_directory.h"
#include "model/identification_text.h"
#include "model/link_choice.h"
#include "model/manual_command.h"
#include "model/parameter_document.h"
#include "model/reported_model.h"
#include "model/reported_model_read.h"
#include "model/settings_file.h"
#include "res/string_table.h"
#include "serial/com_ports.h"
#include "serial/terminal.h"

namespace tavrel::cli {
namespace {

// The examples in the words of the system the program runs on.
#ifdef _WIN32
constexpr const char* kExamples = R"(
Examples (the built-in virtual camera needs no hardware):
  tavrelctl --simulate read-all
  tavrelctl --simulate --model LOMIRA-P/S set GAIN 300
  tavrelctl --port 3 --baud 19200 get "SHUTTER SPEED"
  tavrelctl --device \\.\COM12 save station4.tdx
  tavrelctl --board clseremc.dll load station4.tdx
  tavrelctl --simulate ident --json
  tavrelctl find
)";
constexpr const char* kDeviceExample = "a serial device path directly (e.g. \\\\.\\COM12)";
#else
constexpr const char* kExamples = R"(
Examples (the built-in virtual camera needs no hardware):
  tavrelctl --simulate read-all
  tavrelctl --simulate --model LOMIRA-P/S set GAIN 300
  tavrelctl --port 1 --baud 19200 get "SHUTTER SPEED"
  tavrelctl --device /dev/ttyUSB0 save station4.tdx
  tavrelctl --board clseremc.dll load station4.tdx
  tavrelctl --simulate ident --json
  tavrelctl find
)";
constexpr const char* kDeviceExample = "a serial device path directly (e.g. /dev/ttyUSB0, a pty)";
#endif
constexpr const char* kExitStatus = R"(
Exit status: 0 success, 2 usage error, 3 link or camera failure
(the "ERROR - ..." line is printed on stderr), 4 a file that cannot be read
or written or is not a settings file, or output that cannot be written,
5 the program failed in itself (out of memory, a crash; the reason is printed).
Every argument is checked before the port is opened.
)";

struct Options {
  int port = 0;
  std::string device;
  int baud = 9600;
  std::string board;
  bool simulate = false;
  std::string model = "KESTRA-P/S";
  bool verbose = false;
  double waitSeconds = 0;
  std::string trace;
  std::string traceDecoded;
  bool json = false;
  bool force = false;
  std::string entry;
  std::string value;
  std::string file;
  std::string body;
  SerialNumberOptions serialNumber;
};

// The link the options name: --port 1 when none is named.
LinkChoice ChosenLink(const Options& options) {
  if (options.simulate) return LinkChoice::VirtualCamera(options.baud);
  if (!options.device.empty()) return LinkChoice::Device(options.device, options.baud);
  if (!options.board.empty()) return LinkChoice::Board(options.board);
  return LinkChoice::ComPort(options.port != 0 ? options.port : kFirstComPort, options.baud);
}

// One run of the tool: the camera object, the optional virtual camera and
// the console prompt, for the length of one command.
class Session {
 public:
  Session(const Options& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err), prompt_(err, options.verbose) {
    camera_.SetUserPrompt(&prompt_);
    // --verbose tells every entry of read-all, save, write-all and load too.
    camera_.SetWholeTransferProgress(options.verbose);
  }

  // Sets the table up for the model: its names and ranges, before the link.
  void SetUpTable() {
    cameraType = CameraTypeFromName(options_.model);
    camera_.InitTable();
    for (int i = 0; i < kParameterCount; ++i) camera_.ResetValue(i);
  }

  // Opens the link. False when it could not be opened (the reason is already
  // printed).
  bool Open() {
    const LinkChoice link = ChosenLink(options_);
    if (link.kind == LinkChoice::Kind::kVirtualCamera) {
      sim::CameraOptions simOptions;
      simOptions.model = options_.model;
      try {
        virtualCamera_ = StartSimulatedCamera(simOptions);
      } catch (const std::exception& e) {
        err_ << "tavrelctl: cannot start the virtual camera: " << e.what() << '\n';
        return false;
      }
    }
    if (options_.waitSeconds > 0 &&
        (link.kind == LinkChoice::Kind::kComPort || link.kind == LinkChoice::Kind::kDevice)) {
      return Explained(OpenWhenFree(link));
    }
    // A failing board shows its own box; the link then has no connection.
    return Explained(OpenLink(camera_, link, virtualCamera_.get()) >= 0 && !prompt_.FailureShown());
  }

  CameraUnit& Camera() { return camera_; }
  ConsolePrompt& Prompt() { return prompt_; }
  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }
  const Options& Opts() const { return options_; }

  // What the checks before the link found, for the command to use.
  struct Checked {
    int entry = 0;
    std::int32_t value = 0;
    DecodedSettings settings;
  } checked;

 private:
  // With --verbose, a failed open also prints the system's reason, unless
  // the error's own detail told it.
  bool Explained(bool opened) {
    if (!opened && options_.verbose && !prompt_.DetailShown() &&
        !camera_.GetSystemErrorText().empty()) {
      err_ << "tavrelctl: " << camera_.GetSystemErrorText() << '\n';
    }
    return opened;
  }

  // --wait: a port another program holds is tried again until it comes
  // free or the time is up, so that scripts on a shared station can queue.
  // Any other failure, and the last busy one, shows its box as at once.
  bool OpenWhenFree(const LinkChoice& link) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kRetryInterval = std::chrono::milliseconds(100);
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(options_.waitSeconds));
    bool toldWaiting = false;
    for (;;) {
      camera_.SetUserPrompt(nullptr);  // no box while the port may still come free
      const std::int32_t result = OpenLink(camera_, link);
      camera_.SetUserPrompt(&prompt_);
      if (result >= 0) return true;
      const auto now = Clock::now();
      if (!IsBusyFailure(camera_.GetDeviceOpenFailure()) || now >= deadline) {
        camera_.ShowLastError();
        return false;
      }
      if (!toldWaiting) {
        err_ << "tavrelctl: " << camera_.GetDeviceOpenFailure().devicePath
             << " is busy; waiting up to " << options_.waitSeconds << " s for it\n";
        err_.flush();
        toldWaiting = true;
      }
      std::this_thread::sleep_for(std::min<Clock::duration>(kRetryInterval, deadline - now));
    }
  }

  const Options& options_;
  std::ostream& out_;
  std::ostream& err_;
  ConsolePrompt prompt_;
  CameraUnit camera_;
  std::unique_ptr<VirtualCameraHost> virtualCamera_;
};

int Usage(std::ostream& err, const std::string& message) {
  err << "tavrelctl: " << message << '\n';
  return kExitUsage;
}

// An entry as a message names it: by its name, or by its number when it has
// none.
std::string EntryLabel(const CameraUnit& camera, int index) {
  const std::string name = camera.GetName(index);
  return name.empty() ? "entry " + std::to_string(index) : name;
}

int CheckEntry(Session& session) {
  const EntryLookup lookup = FindEntry(session.Camera(), session.Opts().entry);
  if (!lookup.index) return Usage(session.Err(), lookup.error);
  session.checked.entry = *lookup.index;
  return kExitOk;
}

int CheckSet(Session& session) {
  if (const int status = CheckEntry(session); status != kExitOk) return status;
  const auto value = ParseInteger(session.Opts().value);
  if (!value) return Usage(session.Err(), "VALUE \"" + session.Opts().value + "\" is not a number");
  const CameraUnit& camera = session.Camera();
  const std::int32_t minimum = camera.GetMinimum(session.checked.entry, true);
  const std::int32_t maximum = camera.GetMaximum(session.checked.entry, true);
  if (!session.Opts().force && (*value < minimum || *value > maximum)) {
    return Usage(session.Err(), "value " + std::to_string(*value) + " is outside " +
                                    EntryLabel(camera, session.checked.entry) + "'s range " +
                                    std::to_string(minimum) + " to " + std::to_string(maximum) +
                                    " (--force sends it anyway)");
  }
  session.checked.value = *value;
  return kExitOk;
}

// The file is read and checked before the link opens; only a complete one (or
// an empty one, which changes nothing) goes on to the camera.
int CheckLoad(Session& session) {
  const std::string& file = session.Opts().file;
  const SettingsFileContents contents = ReadSettingsFile(file);
  if (!contents.read) {
    session.Err() << res::LoadString(res::kIdsFailedToOpenDoc) << ' ' << file << ": "
                  << contents.errorText << '\n';
    return kExitFile;
  }
  switch (contents.decoded.result) {
    case SettingsLoadResult::kLoaded:
    case SettingsLoadResult::kEmpty:
      session.checked.settings = contents.decoded;
      return kExitOk;
    case SettingsLoadResult::kHeaderMismatch:
      // Shows the mismatch message; nothing is sent.
      ApplySettings(session.Camera(), contents.decoded, file);
      return kExitFile;
    case SettingsLoadResult::kUnexpectedFormat:
    case SettingsLoadResult::kCannotRead:
      break;
  }
  session.Err() << res::LoadString(res::kIdsUnexpectedFormat) << '\n';
  return kExitFile;
}

// The entries that the whole-camera read visits: up to the first entry that
// does not take part in it.
int ReadAllCount(const CameraUnit& camera) {
  int count = 0;
  while (count < kParameterCount && (camera.GetEntry(count).flags & kFlagRead) != 0) ++count;
  return count;
}

// The camera says it is another of the models than --model: told on stderr,
// and --model stays the user's choice.
void WarnOfReportedModel(Session& session, const std::optional<std::string>& reported) {
  if (!reported) return;
  const std::string warning = WrongModelWarning(*reported, cameraType);
  if (!warning.empty()) session.Err() << warning << '\n';
}

int ReadAll(Session& session) {
  CameraUnit& camera = session.Camera();
  if (camera.ReadAllParameters() < 0) return kExitCamera;
  WarnOfReportedModel(session, ReportedModelNameAfterReadAll(camera));
  const int count = ReadAllCount(camera);
  if (session.Opts().json) {
    nlohmann::json entries = nlohmann::json::array();
    for (int i = 0; i < count; ++i) {
      entries.push_back({{"index", i},
                         {"name", JsonText(camera.GetName(i))},
                         {"value", camera.GetValue(i, false)}});
    }
    session.Out() << JsonDump({{"model", session.Opts().model}, {"entries", entries}}) << '\n';
  } else {
    for (int i = 0; i < count; ++i) {
      session.Out() << i << '\t' << camera.GetName(i) << '\t' << camera.GetValue(i, false) << '\n';
    }
  }
  return kExitOk;
}

int Get(Session& session) {
  CameraUnit& camera = session.Camera();
  const int index = session.checked.entry;
  if (camera.ReadParameter(index) < 0) return kExitCamera;
  const std::int32_t value = camera.GetValue(index, false);
  if (session.Opts().json) {
    const nlohmann::json entry{
        {"index", index}, {"name", JsonText(camera.GetName(index))}, {"value", value}};
    session.Out() << JsonDump(entry) << '\n';
  } else {
    session.Out() << value << '\n';
  }
  return kExitOk;
}

int Set(Session& session) {
  return session.Camera().WriteParameter(session.checked.entry, session.checked.value) < 0
             ? kExitCamera
             : kExitOk;
}

int WriteAll(Session& session) {
  WarnOfReportedModel(session, ReadReportedModelName(session.Camera()));
  return session.Camera().WriteAllParameters() < 0 ? kExitCamera : kExitOk;
}

int Save(Session& session) {
  CameraUnit& camera = session.Camera();
  if (camera.ReadAllParameters() < 0) return kExitCamera;
  const SettingsSaveOutcome result = SaveSettingsFile(camera, session.Opts().file);
  if (!result.saved) {
    session.Err() << res::LoadString(res::kIdsFailedToSaveDoc) << ' ' << session.Opts().file << ": "
                  << result.errorText << '\n';
    return kExitFile;
  }
  return kExitOk;
}

int Load(Session& session) {
  // Only a complete file is written to the camera.
  if (session.checked.settings.result == SettingsLoadResult::kLoaded) {
    WarnOfReportedModel(session, ReadReportedModelName(session.Camera()));
  }
  ApplySettings(session.Camera(), session.checked.settings, session.Opts().file);
  return session.Prompt().FailureShown() ? kExitCamera : kExitOk;
}

int Send(Session& session) {
  return SendManualCommand(session.Camera(), session.Opts().body) ? kExitOk : kExitCamera;
}

int Query(Session& session) {
  const auto reply = QueryManualCommand(session.Camera(), session.Opts().body);
  if (!reply) return kExitCamera;
  session.Out() << *reply << '\n';
  return kExitOk;
}

int Ident(Session& session) {
  CameraUnit& camera = session.Camera();
  // Every identification entry is read, the version included, so the output
  // always shows what the camera holds now.
  for (int i = kVendorNameFirst; i <= kVersionLast; ++i) {
    if (camera.ReadParameter(i) < 0) return kExitCamera;
  }
  const Identification ident = UnpackIdentification(camera);
  if (session.Opts().json) {
    // The camera's own bytes, whatever character set its maker used.
    session.Out() << JsonDump({{"vendor", JsonText(ident.vendorName)},
                               {"model", JsonText(ident.modelName)},
                               {"serialNumber", JsonText(ident.serialNumber)},
                               {"version", JsonText(ident.version)}})
                  << '\n';
  } else {
    session.Out() << "Vendor: " << ident.vendorName << '\n'
                  << "Model: " << ident.modelName << '\n'
                  << "Serial Number: " << ident.serialNumber << '\n'
                  << "Version: " << ident.version << '\n';
  }
  return kExitOk;
}

int CheckSerialNumberLog(Session& session) {
  return CheckSerialNumberWrite(session.Camera(), session.Opts().serialNumber);
}

int SerialNumberWrite(Session& session) {
  return RunSerialNumberWrite(session.Camera(), session.Prompt(), session.Err(),
                              session.Opts().serialNumber);
}

std::vector<std::string> ModelNames() {
  std::vector<std::string> names;
  for (int type = 0; type < kCameraTypeCount; ++type) names.push_back(CameraModelName(type));
  return names;
}

// The commands in the order they were added, "read-all, get, ...". Option
// groups are nameless subcommands of their own.
std::string CommandNames(CLI::App& app) {
  std::string names;
  for (const CLI::App* command :
       app.get_subcommands([](const CLI::App* c) { return !c->get_name().empty(); })) {
    names += (names.empty() ? "" : ", ") + command->get_name();
  }
  return names;
}

}  // namespace

// How the camera is reached, and the line's settings.
void AddLinkOptions(CLI::App& app, Options& options) {
  auto* linkGroup = app.add_option_group("link", "How the camera is reached (default: --port 1)");
  linkGroup->add_option("--port", options.port, "COM port N (1-10)")
      ->check(CLI::Range(kFirstComPort, kLastComPort));
  // An empty name would quietly mean COM1.
  const CLI::Validator named = NonEmptyPath();
  linkGroup->add_option("--device", options.device, kDeviceExample)->check(named);
  linkGroup
      ->add_option("--board", options.board,
                   "a CameraLink serial library (a path, or clseremc.dll / clsermtx.dll)")
      ->check(named);
  linkGroup->add_flag("--simulate", options.simulate, "the built-in virtual camera (no hardware)");
  linkGroup->require_option(0, 1);
  app.add_option("--baud", options.baud, "baud rate of a serial link")
      ->check(CLI::IsMember(std::vector<std::int32_t>(kLineRates.begin(), kLineRates.end())))
      ->capture_default_str();
  // In any case, as the window program takes it; the name as the camera has it.
  app.add_option("--model", options.model, "the camera model (case ignored)")
      ->transform(CLI::IsMember(ModelNames(), CLI::ignore_case))
      ->capture_default_str();
  app.add_option("--wait", options.waitSeconds,
                 "when the serial port is busy (another program holds it), try again until it "
                 "comes free, for up to SECONDS (default: refuse at once)")
      ->type_name("SECONDS")
      ->check(CLI::Range(0.0, 86400.0));
  app.add_flag("-v,--verbose", options.verbose, "show progress on stderr");
  app.add_option("--trace", options.trace, "append every byte on the line to FILE")
      ->type_name("FILE");
  app.add_option("--trace-decoded", options.traceDecoded,
                 "append one line per exchange to FILE, decoded as the line monitor shows it")
      ->type_name("FILE");
}

// A command of the camera: what it checks before the link opens (null when
// there is nothing to check) and what it does.
struct Command {
  CLI::App* command;
  int (*check)(Session&);
  int (*run)(Session&);
};

// The camera commands, each with its arguments in `options`.
std::vector<Command> AddCameraCommands(CLI::App& app, Options& options) {
  auto* readAll = app.add_subcommand(
      "read-all", "read every setting; one line per entry: index<TAB>name<TAB>value");
  readAll->add_flag("--json", options.json, "print JSON");
  auto* get = app.add_subcommand("get", "read one entry from the camera and print its value");
  get->add_option("ENTRY", options.entry, "an index 0 to 128 or a unique entry name")->required();
  get->add_flag("--json", options.json, "print JSON");
  auto* set = app.add_subcommand("set", "write one entry");
  set->add_option("ENTRY", options.entry, "an index 0 to 128 or a unique entry name")->required();
  set->add_option("VALUE", options.value, "the value (decimal or 0x hex)")->required();
  set->add_flag("--force", options.force, "send a value outside the entry's range");
  auto* writeAll =
      app.add_subcommand("write-all", "write the current (default) values of the writable entries");
  auto* save = app.add_subcommand("save", "read the whole camera, then save a settings file");
  save->add_option("FILE", options.file, "the settings file (.tdx)")->required();
  auto* load = app.add_subcommand("load", "load a settings file and write it to the camera");
  load->add_option("FILE", options.file, "the settings file (.tdx)")->required();
  auto* send = app.add_subcommand("send", "send a raw message body");
  send->add_option("BODY", options.body, "the message body, 1 to 22 hexadecimal digits")
      ->required()
      ->check(MessageBodyValidator());
  auto* query =
      app.add_subcommand("query", "send a raw message body and print the six reply characters");
  query->add_option("BODY", options.body, "the message body, 1 to 22 hexadecimal digits")
      ->required()
      ->check(MessageBodyValidator());
  auto* ident =
      app.add_subcommand("ident", "read the identification: vendor, model, serial number, version");
  ident->add_flag("--json", options.json, "print JSON");
  return {
      {readAll, nullptr, ReadAll},   {get, CheckEntry, Get},  {set, CheckSet, Set},
      {writeAll, nullptr, WriteAll}, {save, nullptr, Save},   {load, CheckLoad, Load},
      {send, nullptr, Send},         {query, nullptr, Query}, {ident, nullptr, Ident},
  };
}

int Run(int argc, char** argv, std::ostream& out, std::ostream& err) {
  Options options;
  CLI::App app{"tavrelctl - scripting front end for the tavrel camera remote control", "tavrelctl"};
  app.footer(std::string(kExamples) + kExitStatus + '\n' + kJsonTextRule);
  app.require_subcommand(1);

  AddLinkOptions(app, options);
  std::vector<Command> commands = AddCameraCommands(app, options);
  DiffCommand diff(app);
  const RegisterCommand reg(app);
  commands.push_back(
      {AddSerialNumberCommand(app, options.serialNumber), CheckSerialNumberLog, SerialNumberWrite});
  const FindCommand find(app);
  const PortsCommand ports(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Prints the help of the command asked for, or the error and a hint.
    if (app.get_subcommands().empty()) {
      // A word where the command belongs is a command we do not have.
      const std::vector<std::string> rest = app.remaining();
      const auto word = std::find_if(rest.begin(), rest.end(),
                                     [](const std::string& w) { return w.rfind('-', 0) != 0; });
      if (word != rest.end()) {
        err << "tavrelctl: unknown command '" << *word << "'\n";
      } else if (app.exit(e, out, err) == 0) {
        return kExitOk;
      }
      err << "tavrelctl: COMMAND is one of " << CommandNames(app) << '\n';
      return kExitUsage;
    }
    if (app.exit(e, out, err) == 0) return kExitOk;
    return kExitUsage;
  }
  // Opens no link of the camera object's: probes lines of its own.
  if (find.Parsed()) return find.Run(ComPortDirectory(), out, err);
  // Opens no link.
  if (ports.Parsed()) return ports.Run(ComPortDirectory(), out, err);
  const auto parsed = std::find_if(commands.begin(), commands.end(),
                                   [](const Command& c) { return c.command->parsed(); });
  if (parsed == commands.end() && !reg.Parsed() && !diff.Parsed()) {
    return Usage(err, "no command given");
  }

  Session session(options, out, err);
  session.SetUpTable();
  // Every argument is checked before the port is touched.
  const int checked = reg.Parsed()               ? reg.Check(session.Camera())
                      : diff.Parsed()            ? diff.Check(session.Camera(), err)
                      : parsed->check != nullptr ? parsed->check(session)
                                                 : kExitOk;
  if (checked != kExitOk) return checked;
  // Two files are compared without opening a link.
  if (diff.Parsed() && !diff.ComparesWithCamera()) return diff.Run(session.Camera(), out);
  if (!session.Camera().TraceTo(options.trace)) {
    err << "tavrelctl: cannot open the trace file " << session.Camera().GetSystemErrorText()
        << '\n';
    return kExitFile;
  }
  std::unique_ptr<DecodedTrace> decodedTrace;
  if (!options.traceDecoded.empty()) {
    std::string errorText;
    decodedTrace = DecodedTrace::Open(options.traceDecoded, session.Camera(), &errorText);
    if (decodedTrace == nullptr) {
      err << "tavrelctl: cannot open the decoded trace file " << errorText << '\n';
      return kExitFile;
    }
  }
  if (!session.Open()) return kExitCamera;
  if (diff.Parsed()) return diff.Run(session.Camera(), out);
  return reg.Parsed() ? reg.Run(session.Camera(), out) : parsed->run(session);
}

}  // namespace tavrel::cli
