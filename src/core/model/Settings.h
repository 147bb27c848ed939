#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/TextTable.h"
#include "model/Workspace.h"

namespace tallyra {

inline constexpr const char* kSettingsFileName = "ini.tly";

// What reading the settings gives: the values to use and, when the file was missing or bad,
// the message to show and the language it is shown in.
struct SettingsOutcome {
  int32_t highestNumber = kDefaultHighestNumber;
  int32_t language = ToValue(Language::English);
  std::optional<TextId> message;
  int32_t messageLanguage = ToValue(Language::Russian);
};

// Reads the text of "ini.tly" (nothing when it could not be opened). The reader takes M from
// the first two characters and Language from the fifth, once the line ends are made CR LF.
// A first line of a single digit is read as that M with Language from the next line.
SettingsOutcome ParseSettings(const std::optional<std::string>& fileText);

// The file's content: M and Language on two CR LF lines; a one-digit M gets a leading zero so
// that the fixed-position reader reads it back.
std::string FormatSettings(int32_t highestNumber, int32_t language);

}  // namespace tallyra
