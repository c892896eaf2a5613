// Profile files as earlier versions of the program wrote them, through the
// framework's own INI format: names percent-encoded ("COM%20Port",
// "%U00E9" for a UTF-16 code unit), values quoted where needed and
// backslash-escaped ("\xHHHH" a UTF-16 code unit), "@@" for a leading "@".
// They are read the same as plain files; the first write puts them in the
// plain form.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// Earlier versions percent-encoded every blank in a name, and every name the
// program uses has one ("COM Port", "Recent File List"): a '%' in a name
// marks the whole file as theirs.
bool IsEarlierFormName(std::string_view name);

// A section or entry name as the program names it.
std::string DecodeEarlierName(std::string_view name);

// A value (the text after '=', blanks around it already taken off) as the
// program stored it. Lone surrogates become U+FFFD; all text is UTF-8.
std::string DecodeEarlierValue(std::string_view raw);

}  // namespace tavrel
