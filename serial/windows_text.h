// Windows speaks UTF-16; every text of the program is UTF-8. One conversion
// for the file names, the port names and the system's reasons.
#pragma once

#ifdef _WIN32
#include <string>
#include <string_view>

namespace tavrel {

// UTF-8 to UTF-16 and back; bytes that are no UTF-8 become U+FFFD.
std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

}  // namespace tavrel
#endif
