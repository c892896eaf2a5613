#include "model/line_decoder.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "link/comm_error.h"
#include "link/framing.h"
#include "model/camera_unit.h"
#include "model/line_frames.h"
#include "model/parameter_table.h"

namespace tavrel {
namespace {

using Kind = ExchangePurpose::Kind;

// Characters of a command body the program builds itself: header bytes H1 to
// H4, then the three value bytes.
constexpr std::size_t kOwnBodyLength = 14;
constexpr std::size_t kValueDigitsAt = 8;
// A token repeated this often or more is written once with its count.
constexpr int kCountedRepeats = 3;

struct Sides {
  std::vector<LineToken> pc;
  std::vector<LineToken> camera;
};

// The bytes each way, a run (bursts one way with nothing from the other side
// between them) at a time: a frame never spans two runs.
Sides SplitSides(const SeenExchange& exchange) {
  Sides sides;
  std::string run;
  TraceDirection runDirection = TraceDirection::kPcToCamera;
  const auto flush = [&] {
    if (run.empty()) return;
    auto tokens =
        SplitLineRun(runDirection, reinterpret_cast<const std::uint8_t*>(run.data()), run.size());
    auto& side = runDirection == TraceDirection::kPcToCamera ? sides.pc : sides.camera;
    side.insert(side.end(), tokens.begin(), tokens.end());
    run.clear();
  };
  for (const LineBurst& burst : exchange.bursts) {
    if (burst.direction != runDirection) flush();
    runDirection = burst.direction;
    run.append(exchange.bytes, burst.offset, burst.length);
  }
  flush();
  return sides;
}

// The tokens in order; a token repeated three times or more at once is
// given once with its count ("NAK ×4").
std::string Joined(const std::vector<LineToken>& tokens) {
  std::string text;
  std::string last;
  int repeats = 0;
  const auto flush = [&] {
    if (repeats == 0) return;
    const int written = repeats >= kCountedRepeats ? 1 : repeats;
    for (int i = 0; i < written; ++i) text += (text.empty() ? "" : ", ") + last;
    if (written < repeats) text += " ×" + std::to_string(repeats);
  };
  for (const LineToken& token : tokens) {
    std::string described = DescribeLineToken(token);
    if (repeats > 0 && described == last) {
      ++repeats;
      continue;
    }
    flush();
    last = std::move(described);
    repeats = 1;
  }
  flush();
  return text;
}

long Count(const std::vector<LineToken>& tokens, std::uint8_t control) {
  return std::count_if(tokens.begin(), tokens.end(),
                       [control](const LineToken& token) { return token.IsControl(control); });
}

long CountFrames(const std::vector<LineToken>& tokens) {
  return std::count_if(tokens.begin(), tokens.end(), [](const LineToken& token) {
    return token.kind == LineToken::Kind::kFrame;
  });
}

std::string EntryName(const ParameterTable& table, int index) {
  const std::string name = table.GetName(index);
  return name.empty() ? "entry " + std::to_string(index) : name;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool IsOwnBody(const std::string& body) {
  return body.size() == kOwnBodyLength && std::all_of(body.begin(), body.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

// The camera-form value that a body's or a reply's six value characters
// carry for an entry with command `h3`; nothing unless they are hexadecimal.
std::optional<std::int32_t> CameraValue(const ParameterEntry& entry, std::uint8_t h3,
                                        const std::string& digits) {
  if (digits.size() != static_cast<std::size_t>(kReplyValueLength)) return std::nullopt;
  const std::optional<std::int32_t> wire = framing::DecodeReplyValue(digits.c_str());
  if (!wire) return std::nullopt;
  return framing::OrderValueBytes(h3, entry.minimum, entry.maximum, *wire);
}

// For an exchange nobody named: the entry a body of the program's own form
// reads or writes (H1 01, H2 FF, the entry's command and address), with the
// value a write carries.
ExchangePurpose PurposeFromBody(const ParameterTable& table, const std::string& body,
                                bool awaitsReply) {
  ExchangePurpose purpose;
  if (!IsOwnBody(body) || body.compare(0, 4, "01FF") != 0) return purpose;
  const auto h3 = static_cast<std::uint8_t>(framing::HexToInt(body.c_str() + 4, 2));
  const auto h4 = static_cast<std::uint8_t>(framing::HexToInt(body.c_str() + 6, 2));
  for (int index = 0; index < kParameterCount; ++index) {
    const ParameterEntry& entry = table.GetEntry(index);
    const std::uint8_t command = awaitsReply ? entry.readCommand : entry.writeCommand;
    if (entry.nameId == 0 || command != h3 || entry.address != h4) continue;
    purpose.kind = awaitsReply ? Kind::kEntryRead : Kind::kEntryWrite;
    purpose.entry = index;
    if (!awaitsReply) {
      const auto value = CameraValue(entry, h3, body.substr(kValueDigitsAt));
      purpose.value = table.FromCamera(index, value.value_or(0));
    }
    return purpose;
  }
  return purpose;
}

std::string ValueForms(std::int32_t camera, std::int32_t program, const std::string& wire) {
  return "camera " + std::to_string(camera) + ", panel " + std::to_string(program) + " (wire " +
         wire + ")";
}

std::string Activity(const ParameterTable& table, const ExchangePurpose& purpose,
                     bool awaitsReply) {
  const std::string mode = purpose.mode == RegisterMode::kFpga ? "FPGA" : "EEPROM";
  const std::string where = Upper(RegisterAreaName(purpose.area)) + " " + purpose.address;
  std::string whole;
  if (purpose.position > 0) {
    whole = " all " + std::to_string(purpose.position) + "/" + std::to_string(purpose.total) + ":";
  }
  switch (purpose.kind) {
    case Kind::kEntryRead:
      return "read" + whole + " " + EntryName(table, purpose.entry);
    case Kind::kEntryWrite:
      return "write" + whole + " " + EntryName(table, purpose.entry) + " = " +
             std::to_string(purpose.value);
    case Kind::kManualSend:
      return "manual command: Send";
    case Kind::kManualQuery:
      return "manual command: Read";
    case Kind::kRegisterRead:
      return "register read " + where + " (" + mode + ")";
    case Kind::kRegisterWrite:
      return "register write " + where + " = " + purpose.data + " (" + mode + ")";
    case Kind::kUnknown:
      break;
  }
  return awaitsReply ? "command with reply" : "command";
}

// The reply the PC took: the last reply frame that passed its check.
const LineToken* AcceptedReply(const Sides& sides) {
  for (auto token = sides.camera.rbegin(); token != sides.camera.rend(); ++token) {
    if (token->kind == LineToken::Kind::kFrame && token->check == LineToken::Check::kSumRight) {
      return &*token;
    }
  }
  return nullptr;
}

// What took more than one go, e.g. "ENQ ×3, NAK and retry ×1".
std::string Retries(const Sides& sides) {
  std::vector<std::string> parts;
  const auto add = [&parts](long count, long above, const char* what) {
    if (count > above) parts.push_back(std::string(what) + " ×" + std::to_string(count));
  };
  add(Count(sides.pc, kEnq), 1, "ENQ");
  add(CountFrames(sides.pc), 1, "frame");
  add(Count(sides.camera, kNak), 0, "camera NAK");
  add(Count(sides.pc, kNak), 0, "NAK and retry");
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

std::string CodeText(std::int32_t code) {
  std::string text = ErrorCodeText(code);
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void DecodeValue(const ParameterTable& table, const ExchangePurpose& purpose,
                 const std::string& body, const LineToken* reply, LineRow& row) {
  const std::string replyText = reply != nullptr ? reply->Body() : std::string();
  switch (purpose.kind) {
    case Kind::kEntryWrite: {
      const std::int32_t camera = table.ToCamera(purpose.entry, purpose.value);
      const std::string wire = IsOwnBody(body) ? body.substr(kValueDigitsAt) : body;
      row.value = ValueForms(camera, purpose.value, wire);
      return;
    }
    case Kind::kEntryRead: {
      if (reply == nullptr) return;
      const ParameterEntry& entry = table.GetEntry(purpose.entry);
      const auto camera = CameraValue(entry, entry.readCommand, replyText);
      if (!camera) {
        // The read fails on it, as the program's read does.
        row.value = "wire " + ShownCharacters(replyText) + ", not hexadecimal";
        if (!row.failed) {
          row.failed = true;
          row.code = static_cast<std::int32_t>(LinkCode::kInvalidCharacter);
        }
        return;
      }
      row.value = ValueForms(*camera, table.FromCamera(purpose.entry, *camera), replyText);
      return;
    }
    case Kind::kRegisterRead:
      if (reply != nullptr) {
        row.value = "data " + ShownCharacters(RegisterReplyData(purpose.area, replyText));
      }
      return;
    case Kind::kRegisterWrite:
      row.value = "data " + purpose.data;
      return;
    default:
      if (reply != nullptr) row.value = "reply " + ShownCharacters(replyText);
      return;
  }
}

}  // namespace

LineRow DecodeExchange(const ParameterTable& table, SeenExchange exchange) {
  ExchangePurpose purpose = exchange.purpose;
  if (purpose.kind == Kind::kUnknown) {
    purpose = PurposeFromBody(table, exchange.body, exchange.awaitsReply);
  }
  const Sides sides = SplitSides(exchange);
  LineRow row;
  // Its first byte's time, to the microsecond as the carrier stamped it;
  // the begin's, for an exchange that sent nothing.
  row.atUs = exchange.bursts.empty() ? exchange.atUs : exchange.bursts.front().atUs;
  row.activity = Activity(table, purpose, exchange.awaitsReply);
  row.toCamera = Joined(sides.pc);
  row.fromCamera = Joined(sides.camera);
  row.failed = exchange.result < 0;
  row.code = row.failed ? -exchange.result : 0;
  const LineToken* reply = exchange.awaitsReply && !row.failed ? AcceptedReply(sides) : nullptr;
  DecodeValue(table, purpose, exchange.body, reply, row);

  const std::string retries = Retries(sides);
  if (row.failed) {
    row.outcome = "FAILED: ";
    if (row.code == static_cast<std::int32_t>(LinkCode::kTimeOut)) row.outcome += "time-out, ";
    row.outcome += "code " + std::to_string(row.code) + ", " + CodeText(row.code);
    if (!retries.empty()) row.outcome += " (after " + retries + ")";
  } else {
    row.outcome = exchange.awaitsReply ? "reply accepted" : "ACK";
    if (!retries.empty()) row.outcome += " after " + retries;
  }
  row.bytes = std::move(exchange.bytes);
  row.bursts = std::move(exchange.bursts);
  return row;
}

LineDecoder::LineDecoder(const CameraUnit& camera, RowSink sink)
    : camera_(camera), sink_(std::move(sink)) {}

void LineDecoder::OnExchangeBegin(std::string_view body, bool awaitsReply, std::int64_t atUs) {
  current_ = SeenExchange{};
  current_.purpose = camera_.CurrentPurpose();
  current_.body = std::string(body);
  current_.awaitsReply = awaitsReply;
  current_.atUs = atUs;
  inExchange_ = true;
}

void LineDecoder::OnLineBytes(TraceDirection direction, const std::uint8_t* bytes,
                              std::size_t count, std::int64_t atUs) {
  if (!inExchange_) {
    // Nothing moves outside an exchange today; should it, it is not lost.
    LineRow row;
    row.atUs = atUs;
    row.activity = "outside an exchange";
    row.bursts.push_back({atUs, 0, static_cast<std::uint32_t>(count), direction});
    row.bytes.assign(reinterpret_cast<const char*>(bytes), count);
    const std::vector<LineToken> tokens = SplitLineRun(direction, bytes, count);
    (direction == TraceDirection::kPcToCamera ? row.toCamera : row.fromCamera) = Joined(tokens);
    Hand(std::move(row));
    return;
  }
  current_.bursts.push_back({atUs, static_cast<std::uint32_t>(current_.bytes.size()),
                             static_cast<std::uint32_t>(count), direction});
  current_.bytes.append(reinterpret_cast<const char*>(bytes), count);
}

void LineDecoder::OnExchangeEnd(std::int32_t result, std::int64_t /*atUs*/) {
  if (!inExchange_) return;
  inExchange_ = false;
  current_.result = result;
  Hand(DecodeExchange(camera_, std::move(current_)));
}

void LineDecoder::Hand(LineRow&& row) {
  row.number = ++rowsMade_;
  if (sink_) sink_(std::move(row));
}

}  // namespace tavrel
