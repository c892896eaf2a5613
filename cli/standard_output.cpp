#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrel::cli {

bool DescriptorOutput::Flush() {
  const bool written = WriteAll(buffer_.data(), used_);
  used_ = 0;
  return written;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (!Flush()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    buffer_[used_++] = traits_type::to_char_type(c);
  }
  return traits_type::not_eof(c);
}

std::streamsize DescriptorOutput::xsputn(const char* data, std::streamsize count) {
  const auto size = static_cast<std::size_t>(count);
  if (size <= buffer_.size() - used_) {
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
    return count;
  }
  if (!Flush() || !WriteAll(data, size)) return 0;
  return count;
}

bool DescriptorOutput::WriteAll(const char* data, std::size_t size) {
  // After a failure nothing more is written: the output is incomplete anyway.
  if (!error_.empty()) return false;
  while (size > 0) {
    const auto n = ::write(fd_, data, static_cast<unsigned>(size));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = std::strerror(n < 0 ? errno : EIO);
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace tavrel::cli
