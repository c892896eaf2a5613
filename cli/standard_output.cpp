#include "cli/standard_output.h"

#include <cerrno>
#include <cstring>

#include "model/file_descriptor.h"

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
  if (!tavrel::WriteAll(fd_, data, size)) {
    error_ = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace tavrel::cli
