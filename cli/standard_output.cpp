#include "cli/standard_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/file_descriptor.h"

namespace tavrel::cli {
namespace {

// The length of `text` without a character that is cut off at its end.
std::size_t WholeCharacters(std::string_view text) {
  // A character takes up to four bytes; a lead byte says how many.
  for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? text.size() - back : text.size();
  }
  return text.size();
}

}  // namespace

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
  if (console_) {
    std::string text = unfinished_ + std::string(data, size);
    const std::size_t whole = WholeCharacters(text);
    unfinished_ = text.substr(whole);
    text.resize(whole);
    if (WriteConsoleText(fd_, text)) return true;
    error_ = std::strerror(errno);
    return false;
  }
  if (!tavrel::WriteAll(fd_, data, size)) {
    error_ = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace tavrel::cli
