// Appending one record to the adjustment log, over the platform's file calls.
#include <filesystem>
#include <system_error>

#include "model/adjustment_log.h"
#include "model/adjustment_log_platform.h"

namespace tavrel {

namespace log_file {

bool MarkedOpenBySpreadsheet(const std::string& path) {
  // The platform's own separators: a backslash is one on Windows only.
  const std::filesystem::path file(path);
  const std::filesystem::path marker =
      file.parent_path() / (".~lock." + file.filename().string() + "#");
  std::error_code error;
  // A dangling link still marks the file.
  return std::filesystem::symlink_status(marker, error).type() !=
         std::filesystem::file_type::not_found;
}

}  // namespace log_file

bool AdjustmentLogFile::Append(std::string_view record) {
  const std::int64_t size = log_file::Size(fd_);
  if (size < 0) return false;
  std::string bytes;
  if (size == 0) bytes = AdjustmentLogHeader();
  bytes += record;

  // A regular file takes the whole record in one write unless the disk fills up.
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::int64_t n = log_file::Write(fd_, bytes.data() + written, bytes.size() - written);
    if (n <= 0) {
      // Only our own bytes are cut off: the file is held against every other
      // writer while it is open.
      if (written > 0) (void)log_file::Truncate(fd_, size);
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return log_file::Sync(fd_);
}

}  // namespace tavrel
