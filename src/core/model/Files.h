#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace tallyra {

// Why a file could not be read or written: the system's error number (always positive) or
// one of the program's own refusals below.
inline constexpr int kNotRegularFile = -1;  // a pipe, a device, a socket...
inline constexpr int kFileTooLarge = -2;    // above the size the caller allows
inline constexpr int kWriteCancelled = -3;  // the caller stopped the write

// The largest list file read. The biggest tables hold 99 999 rows; a line of twelve numbers
// of up to eleven characters each ("-2147483648"), eleven commas, the ";", a label, " - " and
// CR LF is well under 256 bytes, and 99 999 such lines make 25.6 MB. The draw history keeps
// only its latest 1 499 draws but may list many more; 99 999 draws of 256 bytes fit as well.
inline constexpr std::size_t kMaxListFileBytes = std::size_t{32} << 20;

// The settings file holds two short lines; anything much longer is not one.
inline constexpr std::size_t kMaxSettingsFileBytes = 4096;

struct FileText {
  bool ok = false;
  std::string data;  // the whole file, byte for byte
  int error = 0;     // why it could not be read, when !ok
};

// Reads a whole regular file of at most `maxBytes` bytes into memory. Pipes, devices and
// other special files are refused without waiting on them (kNotRegularFile), and so is a
// larger file (kFileTooLarge), before anything is read. The memory taken is the file's size.
FileText ReadWholeFile(const std::string& path,
                       std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// Writes the data to a temporary file beside the target and renames it over the target, so
// a failed write leaves any previous file as it was. A symbolic link is followed: the file it
// points to is replaced and the link stays. A target without write permission, or one that is
// not a regular file, is not replaced. The temporary file is named after the target with a
// part of its own (".NAME.tallyra-tmp.XXXXXX"), so two saves of one file at once never share
// it, and it is locked (flock) while it is written: one left behind by an interrupted save is
// removed by the next save of the same file, one that a running save holds is not. Returns the
// reason of a failure, or nothing on success; success means this save's own file took the
// target's place.
std::optional<int> WriteFileReplacing(const std::string& path, const std::string& data);

// The same for data made piece by piece: `produce` puts the next piece into the string it is
// given (emptied before each call) and returns false once there is no more. When `cancelled`
// returns true between pieces, the write stops and the previous file stays; the result is then
// kWriteCancelled.
std::optional<int> WriteFileReplacing(const std::string& path,
                                      const std::function<bool(std::string&)>& produce,
                                      const std::function<bool()>& cancelled);

// What makes two paths the same file: the device and inode of the file, through symbolic
// links; for a file not there yet, those of the folder it would be made in and its name.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  std::string name;  // empty for a file that exists
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path`, or nothing when not even its folder can be found.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Whether two paths name the same file (or the same file to be made).
bool SameFile(const std::string& a, const std::string& b);

// The one-generation backup of a file about to be replaced: "NAME.bak" beside it.
std::string BackupNameFor(const std::string& path);

// Copies the file at `path`, when there is one, to BackupNameFor(path), reading at most
// `maxBytes`. Returns the reason when the copy could not be made; then nothing may replace
// the file.
std::optional<int> BackUpFile(const std::string& path,
                              std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// The reason of a failed read or write in the given language (Russian, else English).
std::string DescribeFileError(int error, int32_t language);

}  // namespace tallyra
