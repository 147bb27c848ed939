#include "wheels/Wheel.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "model/Workspace.h"

namespace tallyra::wheels {
namespace {

constexpr int kBinomialRows = 129;

const std::array<std::array<uint64_t, 7>, kBinomialRows>& BinomialTable() {
  static const auto table = [] {
    std::array<std::array<uint64_t, 7>, kBinomialRows> t{};
    for (int n = 0; n < kBinomialRows; ++n) {
      t[static_cast<std::size_t>(n)][0] = 1;
      for (int k = 1; k <= 6 && k <= n; ++k) {
        t[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)] =
            t[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k - 1)] +
            (k <= n - 1 ? t[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k)] : 0);
      }
    }
    return t;
  }();
  return table;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A plain decimal of at most three digits; anything else is not a pool number.
std::optional<int> SmallNumber(std::string_view s) {
  if (s.empty() || s.size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string Shorten(std::string_view s) {
  constexpr std::size_t kShown = 20;
  return s.size() > kShown ? std::string(s.substr(0, kShown)) + "..." : std::string(s);
}

}  // namespace

uint64_t Binomial(int n, int k) {
  if (n < 0 || k < 0 || k > n || n >= kBinomialRows || k > 6) return 0;
  return BinomialTable()[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

std::string InputProblem::text(int32_t language) const {
  switch (args.size()) {
    case 0:
      return Format(id, language, {});
    case 1:
      return Format(id, language, {args[0]});
    case 2:
      return Format(id, language, {args[0], args[1]});
    default:
      return Format(id, language, {args[0], args[1], args[2]});
  }
}

std::optional<InputProblem> CheckPool(const std::vector<int32_t>& pool, int highest) {
  const int size = static_cast<int>(pool.size());
  if (size < 7 || size > highest) {
    return InputProblem{TextId::TxtWheelPoolSize, {std::to_string(highest), std::to_string(size)}};
  }
  std::vector<bool> seen(static_cast<std::size_t>(std::max(highest, 0)) + 1, false);
  for (const int32_t n : pool) {
    if (n < 1 || n > highest) {
      return InputProblem{TextId::TxtWheelPoolRange, {std::to_string(n), std::to_string(highest)}};
    }
    if (seen[static_cast<std::size_t>(n)]) {
      return InputProblem{TextId::TxtWheelPoolRepeat, {std::to_string(n)}};
    }
    seen[static_cast<std::size_t>(n)] = true;
  }
  return std::nullopt;
}

std::optional<InputProblem> ParsePool(std::string_view text, int highest,
                                      std::vector<int32_t>& pool) {
  std::vector<int32_t> numbers;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view piece = Trim(text.substr(at, comma - at));
    const auto value = SmallNumber(piece);
    if (!value) return InputProblem{TextId::TxtWheelPoolNotNumber, {Shorten(piece)}};
    numbers.push_back(*value);
    // A pool far longer than any game is refused before it is held whole.
    if (numbers.size() > static_cast<std::size_t>(kMaxPool) + 1) break;
    if (comma == text.size()) break;
    at = comma + 1;
  }
  if (auto problem = CheckPool(numbers, highest)) return problem;
  std::sort(numbers.begin(), numbers.end());
  pool = std::move(numbers);
  return std::nullopt;
}

std::optional<InputProblem> CheckGuarantee(Guarantee g, int poolSize) {
  if (g.t < 2 || g.t > g.m || g.m > kTicketSize || g.m > poolSize) {
    return InputProblem{TextId::TxtWheelGuaranteeRange, {GuaranteeText(g)}};
  }
  return std::nullopt;
}

std::optional<InputProblem> ParseGuarantee(std::string_view text, Guarantee& guarantee) {
  const std::string_view trimmed = Trim(text);
  std::string lower(trimmed);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::size_t sep = lower.find("if");
  const auto bad = InputProblem{TextId::TxtWheelGuaranteeForm, {Shorten(trimmed)}};
  if (sep == std::string::npos) return bad;
  const auto t = SmallNumber(Trim(std::string_view(lower).substr(0, sep)));
  const auto m = SmallNumber(Trim(std::string_view(lower).substr(sep + 2)));
  if (!t || !m) return bad;
  const Guarantee g{*t, *m};
  if (auto problem = CheckGuarantee(g, kMaxPool)) return problem;
  guarantee = g;
  return std::nullopt;
}

std::string GuaranteeText(Guarantee g) {
  return std::to_string(g.t) + "if" + std::to_string(g.m);
}

std::string GuaranteeWords(Guarantee g, int32_t language) {
  return Format(TextId::TxtWheelsGuaranteeWords, language,
                {std::to_string(g.t), std::to_string(g.m)});
}

uint64_t SchonheimBound(int v, int k, int t) {
  if (t <= 0 || v <= 0) return t <= 0 ? 0 : 1;
  uint64_t x = 1;
  for (int i = t - 1; i >= 0; --i) {
    const auto num = static_cast<uint64_t>(v - i);
    const auto den = static_cast<uint64_t>(k - i);
    x = (num * x + den - 1) / den;
  }
  return x;
}

uint64_t CountingBound(int v, Guarantee g) {
  uint64_t perTicket = 0;
  for (int j = g.t; j <= std::min(g.m, kTicketSize); ++j) {
    perTicket += Binomial(kTicketSize, j) * Binomial(v - kTicketSize, g.m - j);
  }
  const uint64_t all = Binomial(v, g.m);
  if (perTicket == 0) return 0;
  return (all + perTicket - 1) / perTicket;
}

uint64_t LowerBound(int v, Guarantee g) {
  if (g.t == g.m) return SchonheimBound(v, kTicketSize, g.t);
  return CountingBound(v, g);
}

const char* LowerBoundKind(Guarantee g) {
  return g.t == g.m ? "schonheim" : "counting";
}

std::string LowerBoundWords(Guarantee g, int32_t language) {
  return Text(g.t == g.m ? TextId::TxtWheelBoundSchonheim : TextId::TxtWheelBoundCounting,
              language);
}

std::string RatioText(uint64_t size, uint64_t bound, int32_t language) {
  // In hundredths, rounded half up, from the integers themselves.
  const uint64_t hundredths = bound == 0 ? 100 : (200 * size + bound) / (2 * bound);
  std::string text = std::to_string(hundredths / 100);
  text += language == ToValue(Language::Russian) ? ',' : '.';
  text += static_cast<char>('0' + hundredths / 10 % 10);
  text += static_cast<char>('0' + hundredths % 10);
  return text;
}

}  // namespace tallyra::wheels
