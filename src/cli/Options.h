#pragma once

// The one reader of tallyra-cli's arguments: the words after the command, then its options in
// any order. Every command reads its call here, so the rules are the same for all of them: an
// option not named by the command is a mistake, as is an option that takes a value given twice
// (the second would silently win otherwise), unless the option is one whose values are kept in
// the order given; a flag given twice is the same flag.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallyra::cli {

// A mistaken call: exit code 2, the reason and the usage on standard error.
struct UsageError {
  std::string text;
};

// A file that cannot be read or written, or a run that cannot be done: exit code 1 and the
// text on standard error.
struct Failure {
  std::string text;
};

// What follows an option's name.
enum class Takes {
  Nothing,  // a flag: --json
  Value,    // one value, given once: --max 49
  Values,   // a value each time it is given, all kept in order: --sort draws --sort frequency
};

struct Option {
  const char* name;
  Takes takes = Takes::Value;
};

// The options every command spells the same way.
inline constexpr Option kJson{"--json", Takes::Nothing};
inline constexpr Option kLang{"--lang"};

class Arguments {
 public:
  // The words before the options (the collation's kind, the URL and file of a fetch...).
  const std::vector<std::string>& words() const { return m_words; }
  const std::string& word(std::size_t i) const { return m_words.at(i); }

  bool has(std::string_view name) const { return m_given.count(std::string(name)) > 0; }
  std::optional<std::string> value(std::string_view name) const;
  // The value of an option the call cannot do without; a mistaken call with `reason` when it
  // is not given.
  const std::string& required(std::string_view name, const std::string& reason) const;
  // Every value of an option that may be given again, in the order given.
  std::vector<std::string> values(std::string_view name) const;
  bool json() const { return has(kJson.name); }
  // Every option with its value (empty for a flag), in the order given.
  const std::vector<std::pair<std::string, std::string>>& inOrder() const { return m_order; }

  // --lang en|ru, English when not given.
  int32_t language() const;
  // The language of a message that must not fail (running out of memory): Russian when --lang
  // says ru, English otherwise, never a mistake.
  int32_t messageLanguage() const;

  // A whole number from `low` to `high`; nothing when the option is not given, and a mistaken
  // call with `rule` as its reason when it is no such number.
  std::optional<int32_t> number(std::string_view name, int32_t low, int32_t high,
                                const std::string& rule) const;
  // Whole numbers from `low` to `high` separated by commas, as for `number`.
  std::optional<std::vector<int32_t>> numbers(std::string_view name, int32_t low, int32_t high,
                                              const std::string& rule) const;

  // A mistaken call when any of `names` is given: `lead` followed by the option's name.
  void refuse(std::initializer_list<const char*> names, const std::string& lead) const;

 private:
  friend Arguments ReadOptions(const std::vector<std::string>&, std::size_t,
                               const std::vector<Option>&, const std::string&);
  std::vector<std::string> m_words;
  std::map<std::string, std::vector<std::string>> m_given;  // a flag holds one empty value
  std::vector<std::pair<std::string, std::string>> m_order;
};

// Reads `args` from `from` on as options of `options`; the words before `from` are the call's
// words. `unknownTail` follows "unknown option 'NAME'" in that mistake's reason.
Arguments ReadOptions(const std::vector<std::string>& args, std::size_t from,
                      const std::vector<Option>& options, const std::string& unknownTail = "");

}  // namespace tallyra::cli
