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
// not a regular file, is not replaced. The temporary file is named after the target
// (".NAME.tallyra-tmp"), so one left behind by an interrupted save is removed by the next save
// of the same file. Returns the reason of a failure, or nothing on success.
std::optional<int> WriteFileReplacing(const std::string& path, const std::string& data);

// The same for data made piece by piece: `produce` puts the next piece into the string it is
// given (emptied before each call) and returns false once there is no more. When `cancelled`
// returns true between pieces, the write stops and the previous file stays; the result is then
// kWriteCancelled.
std::optional<int> WriteFileReplacing(const std::string& path,
                                      const std::function<bool(std::string&)>& produce,
                                      const std::function<bool()>& cancelled);

// The reason of a failed read or write in the given language (0 Russian, else English).
std::string DescribeFileError(int error, int32_t language);

}  // namespace tallyra
