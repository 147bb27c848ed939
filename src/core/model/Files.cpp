#include "model/Files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "model/TextTable.h"

namespace tallyra {
namespace {

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

// Why a file of this kind cannot be read as a list, or 0 when it can.
int RefusalFor(const struct stat& st, std::size_t maxBytes) {
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return kNotRegularFile;
  if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes) {
    return kFileTooLarge;
  }
  return 0;
}

FileText Failed(int error) {
  FileText result;
  result.error = error;
  return result;
}

// Reads until the string is full or the file ends; returns the bytes read or -errno.
ssize_t ReadInto(int fd, char* to, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, to + got, size - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return -errno;
    }
    got += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

FileText ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  // A pipe, a terminal or a device is turned away before it is opened, and the descriptor is
  // checked again once open: opening without blocking means a pipe put there in between
  // cannot keep the program waiting for a writer that never comes.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (const int refusal = RefusalFor(st, maxBytes)) return Failed(refusal);
  }
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return Failed(errno);
  if (::fstat(fd.get(), &st) != 0) return Failed(errno);
  if (const int refusal = RefusalFor(st, maxBytes)) return Failed(refusal);

  // The text goes straight into a string of the file's size: no growth, no second copy.
  FileText result;
  result.data.resize(static_cast<std::size_t>(st.st_size));
  const ssize_t got = ReadInto(fd.get(), result.data.data(), result.data.size());
  if (got < 0) return Failed(static_cast<int>(-got));
  result.data.resize(static_cast<std::size_t>(got));
  // A file that grew while it was read: take the rest, within the limit.
  char more[4096];
  for (;;) {
    const ssize_t n = ReadInto(fd.get(), more, sizeof more);
    if (n < 0) return Failed(static_cast<int>(-n));
    if (n == 0) break;
    if (result.data.size() + static_cast<std::size_t>(n) > maxBytes) return Failed(kFileTooLarge);
    result.data.append(more, static_cast<std::size_t>(n));
  }
  result.ok = true;
  return result;
}

// The file a save really replaces: the end of a chain of symbolic links, or the path itself.
// A relative link is taken from the folder of the link.
std::optional<std::string> FollowLinks(std::string path, int& error) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) {
      error = errno;
      return std::nullopt;
    }
    if (static_cast<std::size_t>(n) >= target.size()) {
      error = ENAMETOOLONG;
      return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(n));
    if (target.empty()) {
      error = ENOENT;
      return std::nullopt;
    }
    if (target.front() != '/') {
      const std::size_t slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = std::move(target);
  }
  error = ELOOP;
  return std::nullopt;
}

// One fixed name per target, hidden beside it. A very long name is shortened and made unique
// again by a hash of the whole name.
std::string TemporaryNameFor(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  constexpr const char* kSuffix = ".tallyra-tmp";
  constexpr std::size_t kLongestName = 255;
  if (1 + name.size() + std::strlen(kSuffix) > kLongestName) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a: the same name on every run
    for (const char ch : name) {
      hash ^= static_cast<unsigned char>(ch);
      hash *= 1099511628211ull;
    }
    char hex[20];
    std::snprintf(hex, sizeof hex, ".%016llx", static_cast<unsigned long long>(hash));
    name = name.substr(0, 200) + hex;
  }
  return folder + "." + name + kSuffix;
}

}  // namespace

FileText ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  try {
    return ReadRegularFile(path, maxBytes);
  } catch (const std::bad_alloc&) {
    return Failed(ENOMEM);
  }
}

std::optional<int> WriteFileReplacing(const std::string& path, const std::string& data) {
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

std::optional<int> WriteFileReplacing(const std::string& path,
                                      const std::function<bool(std::string&)>& produce,
                                      const std::function<bool()>& cancelled) {
  int linkError = 0;
  const std::optional<std::string> resolved = FollowLinks(path, linkError);
  if (!resolved) return linkError;
  const std::string& target = *resolved;

  // An existing file is replaced only when it could be written in place: a file the user made
  // read-only stays as it is, whoever runs the program.
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return errno;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (::access(target.c_str(), W_OK) != 0) return errno;
  }

  const std::string temp = TemporaryNameFor(target);
  // What an interrupted save of this same file left behind goes first.
  ::unlink(temp.c_str());
  // A new file gets the usual permissions (the kernel applies the umask); a replaced one
  // keeps its own.
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
               exists ? 0600 : 0666));
  if (fd.get() < 0) return errno;
  auto fail = [&](int err) {
    ::close(fd.release());
    ::unlink(temp.c_str());
    return std::optional<int>(err);
  };
  if (exists && ::fchmod(fd.get(), st.st_mode & 07777) != 0) return fail(errno);
  std::string data;
  for (;;) {
    data.clear();
    if (!produce(data)) break;
    if (cancelled()) return fail(kWriteCancelled);
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
    return err;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return err;
  }
  return std::nullopt;
}

std::string DescribeFileError(int error, int32_t language) {
  switch (error) {
    case ENOENT:
      return Text(TextId::TxtErrNoSuchFile, language);
    case EACCES:
    case EPERM:
      return Text(TextId::TxtErrPermission, language);
    case EROFS:
      return Text(TextId::TxtErrReadOnlyFs, language);
    case ENOSPC:
    case EDQUOT:
      return Text(TextId::TxtErrNoSpace, language);
    case EISDIR:
      return Text(TextId::TxtErrIsDirectory, language);
    case ENOMEM:
      return Text(TextId::TxtOutOfMemory, language);
    case kNotRegularFile:
      return Text(TextId::TxtErrNotRegular, language);
    case kFileTooLarge:
      return Format(TextId::TxtErrTooLarge, language, {std::to_string(kMaxListFileBytes >> 20)});
    default:
      return Format(TextId::TxtErrOther, language,
                    {language == 0 ? std::to_string(error) : std::string(std::strerror(error))});
  }
}

}  // namespace tallyra
