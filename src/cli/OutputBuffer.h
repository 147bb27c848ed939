#pragma once

#include <array>
#include <cstddef>
#include <streambuf>

namespace tallyra::cli {

// Standard output through a buffer of the program's own, which keeps the reason of the first
// write that failed, wherever in the run that came: the message at the end names it.
class OutputBuffer : public std::streambuf {
 public:
  OutputBuffer() { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }
  int error() const { return m_error; }

 protected:
  int_type overflow(int_type ch) override;
  int sync() override { return drain() ? 0 : -1; }
  // A large piece (the lists of a collation) goes out without a copy.
  std::streamsize xsputn(const char* data, std::streamsize count) override;

 private:
  // Writes out what the buffer holds; after a failure the rest is dropped.
  bool drain();
  // Writes all of it to standard output; false (the reason kept) when that fails.
  bool writeAll(const char* data, std::size_t& left);

  std::array<char, std::size_t{1} << 16> m_buffer{};
  int m_error = 0;
};

}  // namespace tallyra::cli
