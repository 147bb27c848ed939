#include "cli/Options.h"

#include <algorithm>

#include "model/Integer.h"
#include "model/Workspace.h"

namespace tallyra::cli {

std::optional<std::string> Arguments::value(std::string_view name) const {
  const auto found = m_given.find(std::string(name));
  if (found == m_given.end()) return std::nullopt;
  return found->second.front();
}

const std::string& Arguments::required(std::string_view name, const std::string& reason) const {
  const auto found = m_given.find(std::string(name));
  if (found == m_given.end()) throw UsageError{reason};
  return found->second.front();
}

std::vector<std::string> Arguments::values(std::string_view name) const {
  const auto found = m_given.find(std::string(name));
  return found == m_given.end() ? std::vector<std::string>() : found->second;
}

int32_t Arguments::language() const {
  const std::string lang = value(kLang.name).value_or("en");
  if (lang == "en") return ToValue(Language::English);
  if (lang == "ru") return ToValue(Language::Russian);
  throw UsageError{"--lang takes en or ru"};
}

int32_t Arguments::messageLanguage() const {
  const auto found = m_given.find(kLang.name);
  const bool russian = found != m_given.end() && found->second.front() == "ru";
  return ToValue(russian ? Language::Russian : Language::English);
}

std::optional<int32_t> Arguments::number(std::string_view name, int32_t low, int32_t high,
                                         const std::string& rule) const {
  const auto text = value(name);
  if (!text) return std::nullopt;
  const auto n = ParseDecimal(*text);
  if (!n || *n < low || *n > high) throw UsageError{rule};
  return n;
}

std::optional<std::vector<int32_t>> Arguments::numbers(std::string_view name, int32_t low,
                                                       int32_t high,
                                                       const std::string& rule) const {
  const auto list = value(name);
  if (!list) return std::nullopt;
  std::vector<int32_t> numbers;
  std::size_t at = 0;
  while (at <= list->size()) {
    const std::size_t comma = std::min(list->find(',', at), list->size());
    const auto n = ParseDecimal(std::string_view(*list).substr(at, comma - at));
    if (!n || *n < low || *n > high) throw UsageError{rule};
    numbers.push_back(*n);
    at = comma + 1;
  }
  return numbers;
}

void Arguments::refuse(std::initializer_list<const char*> names, const std::string& lead) const {
  for (const char* name : names) {
    if (has(name)) throw UsageError{lead + name};
  }
}

Arguments ReadOptions(const std::vector<std::string>& args, std::size_t from,
                      const std::vector<Option>& options, const std::string& unknownTail) {
  Arguments read;
  read.m_words.assign(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(from));
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&](const Option& o) { return arg == o.name; });
    if (option == options.end()) throw UsageError{"unknown option '" + arg + "'" + unknownTail};
    std::vector<std::string>& given = read.m_given[arg];
    if (option->takes == Takes::Nothing) {
      given.assign(1, std::string());
      read.m_order.emplace_back(arg, std::string());
      continue;
    }
    if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
    if (option->takes == Takes::Value && !given.empty()) throw UsageError{arg + " is given twice"};
    given.push_back(args[++i]);
    read.m_order.emplace_back(arg, args[i]);
  }
  return read;
}

}  // namespace tallyra::cli
