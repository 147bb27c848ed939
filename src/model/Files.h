#pragma once

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

}  // namespace tallyra
