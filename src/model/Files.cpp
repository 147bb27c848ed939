#include "model/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tallyra {
namespace {

std::string ErrorText(int err) {
  return std::strerror(err);
}

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }
  int release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

}  // namespace

FileText ReadWholeFile(const std::string& path) {
  FileText result;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    result.error = ErrorText(errno);
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode)) {
    result.error = ErrorText(EISDIR);
    return result;
  }
  if (st.st_size > 0) result.data.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = ErrorText(errno);
      result.data.clear();
      return result;
    }
    result.data.append(buffer, static_cast<std::size_t>(n));
  }
  result.ok = true;
  return result;
}

std::optional<std::string> WriteFileReplacing(const std::string& path, const std::string& data) {
  bool given = false;
  return WriteFileReplacing(
      path,
      [&](std::string& piece) {
        if (given) return false;
        given = true;
        piece = data;
        return true;
      },
      [] { return false; });
}

std::optional<std::string> WriteFileReplacing(const std::string& path,
                                              const std::function<bool(std::string&)>& produce,
                                              const std::function<bool()>& cancelled) {
  const std::size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  std::string temp = (slash == std::string::npos ? std::string() : folder) + ".tallyra-XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) return ErrorText(errno);
  auto fail = [&](int err) {
    ::close(fd.release());
    ::unlink(temp.c_str());
    return std::optional<std::string>(ErrorText(err));
  };
  // A replaced file keeps its permissions; a new one gets the usual ones.
  struct stat st {};
  mode_t mode = 0666;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd.get(), mode) != 0) return fail(errno);
  std::string data;
  for (;;) {
    data.clear();
    if (!produce(data)) break;
    if (cancelled()) {
      fail(0);
      return std::string();
    }
    std::size_t written = 0;
    while (written < data.size()) {
      const ssize_t n = ::write(fd.get(), data.data() + written, data.size() - written);
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      written += static_cast<std::size_t>(n);
    }
  }
  if (::fsync(fd.get()) != 0) return fail(errno);
  if (::close(fd.release()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return ErrorText(err);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return ErrorText(err);
  }
  return std::nullopt;
}

}  // namespace tallyra
