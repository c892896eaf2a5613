// File paths as the program holds them, and the few file calls that take
// them. A path is text in a std::string: UTF-8 on Windows, where every call
// below goes through the wide (UTF-16) system calls, so a name outside the
// system's code page (カメラ.tdx) is opened as it was typed; elsewhere the
// bytes the system uses, passed on as they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "serial/windows_text.h"

namespace tavrel {

// The path as the standard library's file system calls take it, and back.
// (On Windows a std::filesystem::path made from a plain std::string would
// read it in the system's code page.)
std::filesystem::path FileSystemPath(const std::string& path);
std::string PathText(const std::filesystem::path& path);

// ::open of `path`: a descriptor, or -1 with errno set.
int OpenFileDescriptor(const std::string& path, int flags, int mode = 0666);

// std::fopen of `path`: a stream, or null with errno set.
std::FILE* OpenFileStream(const std::string& path, const char* mode);

enum class FileKind {
  kMissing,    // nothing of that name (ENOENT)
  kRegular,    // a file
  kFolder,     // a folder
  kOther,      // a device, a pipe, a socket
  kCannotTell  // the system would not say; errno tells why
};

// What `path` names, links followed.
FileKind KindOfFile(const std::string& path);

// The part of `path` after its last folder separator ('/', and on Windows
// also '\' and a drive's ':').
std::string_view FileNameOf(std::string_view path);

}  // namespace tavrel
