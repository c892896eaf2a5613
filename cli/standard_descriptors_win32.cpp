// The standard descriptors on Windows. A closed one: the runtime's next open
// (a log or settings file) would take its number, so a stand-in opened
// read-only holds it. A console: it is given UTF-16 (WriteConsoleW), since
// the bytes of UTF-8 text would be read in the console's code page.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "cli/standard_output.h"
#include "link/file_paths.h"

namespace tavrel::cli {
namespace {

HANDLE HandleOf(int fd) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

}  // namespace

void HoldClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    // -2 stands for a program without a console: the number is still taken.
    if (_get_osfhandle(fd) != -1) continue;
    const int standIn = _open("NUL", _O_RDONLY | _O_NOINHERIT);
    if (standIn >= 0 && standIn != fd) {
      _dup2(standIn, fd);
      _close(standIn);
    }
  }
}

bool IsConsole(int fd) {
  DWORD mode = 0;
  return GetConsoleMode(HandleOf(fd), &mode) != 0;
}

bool WriteConsoleText(int fd, std::string_view text) {
  std::wstring lines;
  for (const wchar_t c : WideText(text)) {
    if (c == L'\n') lines += L'\r';
    lines += c;
  }
  const HANDLE console = HandleOf(fd);
  std::size_t done = 0;
  while (done < lines.size()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(lines.size() - done, 8192));
    if (!WriteConsoleW(console, lines.data() + done, chunk, &written, nullptr) || written == 0) {
      errno = EIO;
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace tavrel::cli
