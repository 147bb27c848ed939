#include "winnings/Money.h"

#include <cstdlib>

#include "model/Files.h"

namespace tallyra {
namespace {

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The text as it goes into a message: cut short so that a whole line pasted by mistake does not
// fill the screen, without splitting a UTF-8 character.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kKept = 40;
  if (text.size() <= kKept) return std::string(text);
  std::size_t keep = kKept;
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  return std::string(text.substr(0, keep)) + "...";
}

}  // namespace

AmountRead ParseAmount(std::string_view text) {
  AmountRead read;
  const std::string_view body = Trimmed(text);
  auto refuse = [&](TextId id) {
    read.problem.text = id;
    read.problem.args = {Quoted(body)};
    read.value = 0;
    return read;
  };
  if (body.empty()) return refuse(TextId::TxtAmountNotNumber);
  std::size_t at = 0;
  if (body[0] == '-') {
    // Only a well-formed negative amount is called negative; "-x" is simply not an amount.
    const AmountRead rest = ParseAmount(body.substr(1));
    if (rest.problem && rest.problem.text == TextId::TxtAmountNotNumber) {
      return refuse(TextId::TxtAmountNotNumber);
    }
    return rest.value == 0 && !rest.problem ? rest : refuse(TextId::TxtAmountNegative);
  }
  if (body[0] == '+') at = 1;
  Money whole = 0;
  bool tooLarge = false;
  std::size_t digits = 0;
  for (; at < body.size() && body[at] >= '0' && body[at] <= '9'; ++at, ++digits) {
    if (whole > kMaxAmount / kMinorPerMajor) {
      tooLarge = true;  // keep going: the rest must still be an amount
    } else {
      whole = whole * 10 + (body[at] - '0');
    }
  }
  Money fraction = 0;
  std::size_t decimals = 0;
  bool moreDecimals = false;
  if (at < body.size() && (body[at] == '.' || body[at] == ',')) {
    ++at;
    for (; at < body.size() && body[at] >= '0' && body[at] <= '9'; ++at, ++decimals) {
      if (decimals < static_cast<std::size_t>(kMinorDigits)) {
        fraction = fraction * 10 + (body[at] - '0');
      } else if (body[at] != '0') {
        moreDecimals = true;
      }
    }
  }
  if (at != body.size() || digits + decimals == 0) return refuse(TextId::TxtAmountNotNumber);
  if (moreDecimals) return refuse(TextId::TxtAmountDecimals);
  for (std::size_t d = decimals; d < static_cast<std::size_t>(kMinorDigits); ++d) fraction *= 10;
  if (tooLarge || whole > kMaxAmount / kMinorPerMajor) return refuse(TextId::TxtAmountTooLarge);
  read.value = whole * kMinorPerMajor + fraction;
  if (read.value > kMaxAmount) return refuse(TextId::TxtAmountTooLarge);
  return read;
}

std::string FormatAmount(Money value) {
  // The magnitude as unsigned, so that the most negative value has one too.
  const bool negative = value < 0;
  const uint64_t magnitude =
      negative ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const uint64_t whole = magnitude / static_cast<uint64_t>(kMinorPerMajor);
  const uint64_t cents = magnitude % static_cast<uint64_t>(kMinorPerMajor);
  std::string out = negative ? "-" : "";
  out += std::to_string(whole);
  out += '.';
  out += static_cast<char>('0' + cents / 10);
  out += static_cast<char>('0' + cents % 10);
  return out;
}

std::optional<Money> AddMoney(Money a, Money b) {
  Money sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
  return sum;
}

std::optional<Money> SubtractMoney(Money a, Money b) {
  Money difference = 0;
  if (__builtin_sub_overflow(a, b, &difference)) return std::nullopt;
  return difference;
}

std::optional<Money> MultiplyMoney(Money amount, int64_t count) {
  Money product = 0;
  if (__builtin_mul_overflow(amount, count, &product)) return std::nullopt;
  return product;
}

}  // namespace tallyra
