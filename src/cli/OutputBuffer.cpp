#include "cli/OutputBuffer.h"

#include <unistd.h>

#include <cerrno>

namespace tallyra::cli {

OutputBuffer::int_type OutputBuffer::overflow(int_type ch) {
  if (!drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

std::streamsize OutputBuffer::xsputn(const char* data, std::streamsize count) {
  if (count < static_cast<std::streamsize>(m_buffer.size())) {
    return std::streambuf::xsputn(data, count);
  }
  if (!drain()) return 0;
  auto left = static_cast<std::size_t>(count);
  writeAll(data, left);
  return count - static_cast<std::streamsize>(left);
}

bool OutputBuffer::drain() {
  const char* at = pbase();
  auto left = static_cast<std::size_t>(pptr() - pbase());
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
  return writeAll(at, left) && m_error == 0;
}

bool OutputBuffer::writeAll(const char* data, std::size_t& left) {
  while (left > 0) {
    const ssize_t n = ::write(STDOUT_FILENO, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (m_error == 0) m_error = errno;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace tallyra::cli
