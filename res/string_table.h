// The program's string table: every user-visible text, keyed by its numeric id.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "res/string_ids.h"

namespace res {

// The text of `id`, or an empty view when the table has no text for it.
// The view points into static storage and stays valid for the whole run.
std::string_view LoadString(StringId id);

// Replaces %1, %2, ... in `format` with the given arguments, in order.
// A placeholder without an argument is replaced by nothing; "%%" is not special.
std::string FormatString(std::string_view format, std::initializer_list<std::string_view> args);

// LoadString followed by FormatString.
std::string FormatMessage(StringId id, std::initializer_list<std::string_view> args);

}  // namespace res
