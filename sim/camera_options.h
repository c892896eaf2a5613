// What a virtual camera is set up with: its model, identification data, line
// pacing, faults to inject and trace file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

enum class FaultKind {
  kEnqNak,         // answer ENQ with NAK
  kEnqSilent,      // say nothing after ENQ
  kFrameNoAck,     // say nothing after a command frame
  kBadChecksum,    // reply frame with a wrong checksum
  kLowerChecksum,  // reply checksum in lower-case digits
  kBadValue,       // reply value with non-hex characters
  kNulValue,       // reply value with a NUL among its characters
  kGarbage,        // garbage bytes before the reply's STX
  kHangup,         // close the line
  kReplySilent,    // acknowledge a read command but never send its reply frame
  kReplyCut,       // send STX and a few characters of the reply frame, then nothing
};

struct Fault {
  FaultKind kind;
  // How many times the fault strikes; -1 = always.
  int count = -1;
  // Number of command frames served normally before the fault starts.
  int after = 0;
};

// Command bodies a camera keeps for the tests to look at: the latest ones,
// so a camera that serves for days stays the same size.
inline constexpr std::size_t kDefaultBodyHistory = 4096;

struct CameraOptions {
  std::string model = "KESTRA-P/S";
  std::string vendorName;     // empty = the virtual camera's own
  std::string serialNumber;   // 7 digits; empty = the virtual camera's own
  std::string cameraVersion;  // 4 characters; empty = the virtual camera's own
  std::string modelName;      // the model-name text it reports; empty = `model`
  // On a pseudo-terminal: answers only while the PC's line is set to this
  // rate (9600, 19200 or 38400), as a real camera hears nothing but noise at
  // another; 0 = at any rate.
  int lineBaud = 0;
  int paceBaud = 0;  // 0 = no wire-time pacing
  int turnaroundMs = 0;
  std::vector<Fault> faults;
  std::string traceFile;  // empty = no trace
  // The latest command bodies kept (ReceivedBodies); 0 = none.
  std::size_t bodyHistory = kDefaultBodyHistory;
};

}  // namespace sim
