// The model-name text the camera reports, to set against the model chosen.
// Read commands only; the table's values stay as they are, and a failed read
// shows nothing: the exchanges the user asked for report the line themselves.
#pragma once

#include <optional>
#include <string>

namespace tavrel {

class ParameterTable;

// Reads the model-name entries from 35 on until the text has ended (as the
// identification read does). Empty optional when a read failed.
std::optional<std::string> ReadReportedModelName(ParameterTable& table);

// After a whole-camera read that succeeded: the text from the values the read
// stored where it reaches the model-name entries (camera types 4 to 6), else
// read now.
std::optional<std::string> ReportedModelNameAfterReadAll(ParameterTable& table);

}  // namespace tavrel
