#include "model/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <string_view>
#include <utility>

#include "model/TextTable.h"
#include "model/Workspace.h"

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

constexpr const char* kTemporaryMark = ".tallyra-tmp";
constexpr std::size_t kUniquePart = 7;  // "." and six characters of its own

// Where a save of `target` keeps its temporary files and the start of their names: hidden
// beside the target, named after it. A very long name is shortened and made unique again by a
// hash of the whole name.
struct TemporaryStem {
  std::string folder;  // "" or ending in "/"
  std::string stem;    // ".NAME.tallyra-tmp"
};

TemporaryStem TemporaryStemFor(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  TemporaryStem result;
  result.folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  constexpr std::size_t kLongestName = 255;
  if (1 + name.size() + std::strlen(kTemporaryMark) + kUniquePart > kLongestName) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a: the same name on every run
    for (const char ch : name) {
      hash ^= static_cast<unsigned char>(ch);
      hash *= 1099511628211ull;
    }
    char hex[20];
    std::snprintf(hex, sizeof hex, ".%016llx", static_cast<unsigned long long>(hash));
    name = name.substr(0, 200) + hex;
  }
  result.stem = "." + name + kTemporaryMark;
  return result;
}

// Six characters that differ between processes, threads and calls; a clash is caught by
// O_EXCL and simply tried again.
std::string UniquePart() {
  static std::atomic<uint64_t> calls{0};
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  uint64_t x = (static_cast<uint64_t>(::getpid()) << 32) ^ static_cast<uint64_t>(now.tv_nsec) ^
               (static_cast<uint64_t>(now.tv_sec) << 20) ^
               (calls.fetch_add(1) * 0x9e3779b97f4a7c15ull);
  // splitmix64's finaliser spreads every input bit over the result.
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  x ^= x >> 31;
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string part = ".";
  for (int i = 0; i < 6; ++i) {
    part += kAlphabet[x % 62];
    x /= 62;
  }
  return part;
}

bool SameInode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes what interrupted saves of the same target left behind: files of the temporary
// pattern that nobody holds locked. A running save keeps its lock until its file has taken the
// target's place, so its file is skipped. The name of older versions (no part of its own) is
// cleared as well, and so is a link of the pattern, which no save of ours makes.
void RemoveStaleTemporaries(const TemporaryStem& where) {
  DIR* dir = ::opendir(where.folder.empty() ? "." : where.folder.c_str());
  if (dir == nullptr) return;
  const std::string& stem = where.stem;
  while (const struct dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    const bool ours =
        name == stem || (name.size() == stem.size() + kUniquePart &&
                         name.substr(0, stem.size()) == stem && name[stem.size()] == '.');
    if (!ours) continue;
    const std::string path = where.folder + std::string(name);
    struct stat seen {};
    if (::lstat(path.c_str(), &seen) != 0) continue;
    if (S_ISLNK(seen.st_mode)) {
      ::unlink(path.c_str());
      continue;
    }
    if (!S_ISREG(seen.st_mode)) continue;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // a save is writing it
    // Only the very file locked goes: the name may have been taken over in between.
    struct stat held {};
    struct stat now {};
    if (::fstat(fd.get(), &held) == 0 && ::lstat(path.c_str(), &now) == 0 && SameInode(held, now)) {
      ::unlink(path.c_str());
    }
  }
  ::closedir(dir);
}

// Makes and locks this save's own temporary file. The mode is given to open() rather than
// made by mkstemp(), whose files are always 0600: a new target gets the usual permissions
// (the kernel applies the umask). Returns the descriptor, or -errno.
int CreateTemporary(const TemporaryStem& where, mode_t mode, std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = where.folder + where.stem + UniquePart();
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return -errno;
    }
    if (::flock(fd.get(), LOCK_EX) != 0) {
      const int err = errno;
      ::unlink(path.c_str());
      return -err;
    }
    // A cleaner may have locked the file in the instant before this save did, and removed it.
    struct stat held {};
    struct stat now {};
    if (::fstat(fd.get(), &held) == 0 && ::lstat(path.c_str(), &now) == 0 && SameInode(held, now)) {
      return fd.release();
    }
  }
  return -EEXIST;
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

  const TemporaryStem where = TemporaryStemFor(target);
  // What interrupted saves of this same file left behind goes first.
  RemoveStaleTemporaries(where);
  std::string temp;
  const int created = CreateTemporary(where, exists ? 0600 : 0666, temp);
  if (created < 0) return -created;
  // The lock stays until the file has taken the target's place, so that no other save's
  // clean-up takes it away meanwhile.
  Fd fd(created);
  auto fail = [&](int err) {
    ::unlink(temp.c_str());
    return std::optional<int>(err);
  };
  // A replaced file keeps its own permissions.
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
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
  return std::nullopt;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    return FileIdentity{
        static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino), {}};
  }
  // Not there yet (or a link to nothing): the folder it would be made in, and its name.
  int error = 0;
  const std::optional<std::string> resolved = FollowLinks(path, error);
  if (!resolved) return std::nullopt;
  const std::size_t slash = resolved->rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".")
                             : slash == 0               ? std::string("/")
                                                        : resolved->substr(0, slash);
  const std::string name = slash == std::string::npos ? *resolved : resolved->substr(slash + 1);
  if (::stat(folder.c_str(), &st) != 0 || name.empty()) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino), name};
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> first = IdentityOf(a);
  return first && first == IdentityOf(b);
}

std::string BackupNameFor(const std::string& path) {
  return path + ".bak";
}

std::optional<int> BackUpFile(const std::string& path, std::size_t maxBytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? std::nullopt : std::optional(errno);
  const FileText old = ReadWholeFile(path, maxBytes);
  return old.ok ? WriteFileReplacing(BackupNameFor(path), old.data) : std::optional(old.error);
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
                    {language == ToValue(Language::Russian) ? std::to_string(error)
                                                            : std::string(std::strerror(error))});
  }
}

}  // namespace tallyra
