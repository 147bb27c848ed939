#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tallyra {

struct FileText {
  bool ok = false;
  std::string data;   // the whole file, byte for byte
  std::string error;  // the system's description when !ok
};

// Reads a whole file into memory.
FileText ReadWholeFile(const std::string& path);

// Writes the data to a temporary file in the target's folder and renames it over the target,
// so a failed write leaves any previous file as it was. Returns the system's description of
// the failure, or nothing on success.
std::optional<std::string> WriteFileReplacing(const std::string& path, const std::string& data);

// The same for data made piece by piece: `produce` puts the next piece into the string it is
// given (emptied before each call) and returns false once there is no more. When `cancelled`
// returns true between pieces, the write stops and the previous file stays; the result is then
// the empty string.
std::optional<std::string> WriteFileReplacing(const std::string& path,
                                              const std::function<bool(std::string&)>& produce,
                                              const std::function<bool()>& cancelled);

}  // namespace tallyra
