#include "model/Settings.h"

#include "model/Integer.h"

namespace tallyra {
namespace {

// Each line of the text followed by CR LF, whatever line ends the file used.
std::string UniformLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) {
      out.append(text.substr(i));
      out += "\r\n";
      break;
    }
    out.append(text.substr(i, end - i));
    out += "\r\n";
    i = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return out;
}

// Any digit but Russian's is English.
int32_t KnownLanguage(int32_t value) {
  return value == ToValue(Language::Russian) ? ToValue(Language::Russian)
                                             : ToValue(Language::English);
}

SettingsOutcome Unreadable(int32_t messageLanguage) {
  SettingsOutcome out;
  out.message = TextId::TxtSettingsBad;
  out.messageLanguage = messageLanguage;
  return out;
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

}  // namespace

SettingsOutcome ParseSettings(const std::optional<std::string>& fileText) {
  if (!fileText) {
    SettingsOutcome out;
    out.message = TextId::TxtSettingsMissing;
    out.messageLanguage = ToValue(Language::Russian);  // nothing has set the language yet
    return out;
  }
  // An editor's byte-order mark is no part of M.
  std::string_view raw = *fileText;
  if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
  const std::string text = UniformLines(raw);

  // "7" CR LF "1" CR LF: a one-digit M on its own line.
  if (text.size() >= 5 && IsDigit(text[0]) && text[1] == '\r') {
    if (!IsDigit(text[3])) return Unreadable(ToValue(Language::Russian));
    SettingsOutcome out;
    out.highestNumber = text[0] - '0';
    out.language = KnownLanguage(text[3] - '0');
    return out;
  }
  if (text.size() < 5) return Unreadable(ToValue(Language::Russian));

  const std::optional<int32_t> language =
      IsDigit(text[4]) ? std::optional<int32_t>(text[4] - '0') : std::nullopt;
  const std::optional<int32_t> highest = ParseInteger(std::string_view(text).substr(0, 2));
  if (!language) return Unreadable(ToValue(Language::Russian));
  // A negative M would size the statistics grid below zero; such a file is as bad as letters.
  if (!highest || *highest < 0) return Unreadable(KnownLanguage(*language));

  SettingsOutcome out;
  out.highestNumber = *highest;
  out.language = KnownLanguage(*language);
  return out;
}

std::string FormatSettings(int32_t highestNumber, int32_t language) {
  std::string m = std::to_string(highestNumber);
  if (highestNumber >= 0 && highestNumber <= 9) m = "0" + m;
  return m + "\r\n" + std::to_string(language) + "\r\n";
}

}  // namespace tallyra
