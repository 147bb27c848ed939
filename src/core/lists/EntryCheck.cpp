#include "lists/EntryCheck.h"

#include "model/Integer.h"

namespace tallyra {

std::optional<TextId> CheckMainFields(const EntryTexts& texts, int32_t highest,
                                      EntryNumbers& numbers) {
  for (int b = 1; b <= 6; ++b) {
    if (texts[b].empty()) return TextId::TxtNotAllFilled;
  }
  for (int b = 1; b <= 6; ++b) {
    const std::optional<int32_t> value = ParseInteger(texts[b]);
    if (!value) return TextId::TxtNoSymbols;
    if (*value < 1 || *value > highest) return TextId::TxtBadValues;
    numbers[b] = *value;
  }
  for (int a = 1; a <= 5; ++a) {
    for (int b = a + 1; b <= 6; ++b) {
      if (numbers[a] == numbers[b]) return TextId::TxtValuesCoincide;
    }
  }
  return std::nullopt;
}

std::optional<TextId> CheckSystemFields(const EntryTexts& texts, int32_t highest,
                                        EntryNumbers& numbers) {
  for (int b = 7; b <= 12; ++b) {
    numbers[b] = 0;
    if (texts[b].empty()) continue;
    const std::optional<int32_t> value = ParseInteger(texts[b]);
    if (!value) return TextId::TxtNoSymbols;
    if (*value < 1 || *value > highest) return TextId::TxtBadSystemValues;
    numbers[b] = *value;
  }
  // Compared as numbers, so "06" and "6" are the same number here as in the main boxes.
  for (int b = 7; b <= 12; ++b) {
    if (numbers[b] == 0) continue;
    for (int other = 1; other <= 12; ++other) {
      if (other != b && numbers[other] == numbers[b]) return TextId::TxtValuesCoincide;
    }
  }
  return std::nullopt;
}

}  // namespace tallyra
