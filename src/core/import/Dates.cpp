#include "import/Dates.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <string>

#include "import/TextScan.h"

namespace tallyra {
namespace {

using textscan::DigitsAt;
using textscan::IsDigit;
using textscan::IsWordChar;
using textscan::Number;

constexpr std::size_t kNone = std::string_view::npos;

bool LeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool IsLetter(char ch) {
  return IsWordChar(ch) && !IsDigit(ch);
}

char Lower(char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
}

// The blanks at s[j].
std::size_t Blanks(std::string_view s, std::size_t j) {
  std::size_t k = j;
  while (k < s.size() && (s[k] == ' ' || s[k] == '\t')) ++k;
  return k - j;
}

// `word` (lower case, ASCII) at s[j] in any case, not running on into another letter.
bool WordAt(std::string_view s, std::size_t j, std::string_view word) {
  if (j + word.size() > s.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (Lower(s[j + k]) != word[k]) return false;
  }
  return j + word.size() == s.size() || !IsLetter(s[j + word.size()]);
}

// Lotteries began after 1950, so a year written with two digits is of the 1900s from 50 on
// and of the 2000s below it.
int FullYear(int written, std::size_t digits) {
  if (digits != 2) return written;
  return written < 50 ? 2000 + written : 1900 + written;
}

// ---- Names of months and weekdays.

// Appends the letter `c` to a name's key: lower case, without accents (ß as "ss"), ё as е,
// Cyrillic kept as UTF-8. False for what is no letter of the languages read.
bool AppendFolded(char32_t c, std::string& key) {
  if (c < 0x80) {
    if (c >= 'A' && c <= 'Z') c += 32;
    if (c < 'a' || c > 'z') return false;
    key += static_cast<char>(c);
    return true;
  }
  if (c == 0xDF) {
    key += "ss";
    return true;
  }
  if (c >= 0xC0 && c <= 0xFF) {
    // À to ÿ, capitals and small letters alike; '*' stands for × and ÷.
    constexpr std::string_view kBase = "aaaaaaaceeeeiiiidnooooo*ouuuuyty";
    const char base = kBase[(c - 0xC0) % 32];
    if (base == '*') return false;
    key += base;
    return true;
  }
  switch (c) {  // the letters of Polish that Latin-1 lacks
    case 0x104:
    case 0x105:
      key += 'a';
      return true;
    case 0x106:
    case 0x107:
      key += 'c';
      return true;
    case 0x118:
    case 0x119:
      key += 'e';
      return true;
    case 0x141:
    case 0x142:
      key += 'l';
      return true;
    case 0x143:
    case 0x144:
      key += 'n';
      return true;
    case 0x15A:
    case 0x15B:
      key += 's';
      return true;
    case 0x179:
    case 0x17A:
    case 0x17B:
    case 0x17C:
      key += 'z';
      return true;
    default:
      break;
  }
  if (c == 0x401 || c == 0x451) c = 0x435;  // ё is written е as often as not
  if (c >= 0x410 && c <= 0x42F) c += 0x20;
  if (c < 0x430 || c > 0x44F) return false;
  key += static_cast<char>(0xC0 | (c >> 6));
  key += static_cast<char>(0x80 | (c & 0x3F));
  return true;
}

// A word of UTF-8 letters into `key`; false when it holds no UTF-8 or something but letters.
bool FoldUtf8(std::string_view word, std::string& key) {
  for (std::size_t k = 0; k < word.size();) {
    const auto b = static_cast<unsigned char>(word[k]);
    std::size_t n = 1;
    char32_t c = b;
    if (b >= 0xC0 && b < 0xE0) {
      n = 2, c = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
      n = 3, c = b & 0x0F;
    } else if (b >= 0x80) {
      return false;  // a stray byte, or a letter of none of the languages read
    }
    if (k + n > word.size()) return false;
    for (std::size_t t = 1; t < n; ++t) {
      const auto next = static_cast<unsigned char>(word[k + t]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if (!AppendFolded(c, key)) return false;
    k += n;
  }
  return true;
}

// The 8-bit code pages the languages' own files were written in before UTF-8.
enum class CodePage { Windows1252, Windows1250, Latin2, Windows1251 };

char32_t Decoded(unsigned char b, CodePage page) {
  if (b < 0x80) return b;
  struct Letter {
    unsigned char byte;
    char32_t letter;
  };
  // Ą ą Ł ł Ś ś Ź ź Ż ż, where the two Polish code pages put them; the other Polish letters
  // stand where Latin-1 has its own.
  static constexpr Letter kWindows1250[] = {
      {0xA5, 0x104}, {0xB9, 0x105}, {0xA3, 0x141}, {0xB3, 0x142}, {0x8C, 0x15A},
      {0x9C, 0x15B}, {0x8F, 0x179}, {0x9F, 0x17A}, {0xAF, 0x17B}, {0xBF, 0x17C}};
  static constexpr Letter kLatin2[] = {{0xA1, 0x104}, {0xB1, 0x105}, {0xA3, 0x141}, {0xB3, 0x142},
                                       {0xA6, 0x15A}, {0xB6, 0x15B}, {0xAC, 0x179}, {0xBC, 0x17A},
                                       {0xAF, 0x17B}, {0xBF, 0x17C}};
  auto polish = [b](const auto& table) -> char32_t {
    for (const Letter& l : table) {
      if (l.byte == b) return l.letter;
    }
    switch (b) {
      case 0xC6:
        return 0x106;
      case 0xE6:
        return 0x107;
      case 0xCA:
        return 0x118;
      case 0xEA:
        return 0x119;
      case 0xD1:
        return 0x143;
      case 0xF1:
        return 0x144;
      default:
        return b >= 0xC0 ? b : 0;
    }
  };
  switch (page) {
    case CodePage::Windows1252:
      return b >= 0xC0 ? b : 0;
    case CodePage::Windows1250:
      return polish(kWindows1250);
    case CodePage::Latin2:
      return polish(kLatin2);
    case CodePage::Windows1251:
      if (b >= 0xC0) return 0x410 + (b - 0xC0);
      return b == 0xA8 ? 0x401 : b == 0xB8 ? 0x451 : 0;
  }
  return 0;
}

bool Fold8Bit(std::string_view word, CodePage page, std::string& key) {
  for (const char ch : word) {
    if (!AppendFolded(Decoded(static_cast<unsigned char>(ch), page), key)) return false;
  }
  return true;
}

struct NameMeaning {
  int month = 0;    // 1..12
  int weekday = 0;  // 1..7, Monday first; "mar" is both March and Tuesday
};

using NameTable = std::map<std::string, NameMeaning, std::less<>>;

const NameTable& Names() {
  static const NameTable table = [] {
    NameTable t;
    auto add = [&t](int month, int weekday, std::initializer_list<std::string_view> words) {
      for (const std::string_view word : words) {
        std::string key;
        FoldUtf8(word, key);
        NameMeaning& meaning = t[key];
        if (month) meaning.month = month;
        if (weekday) meaning.weekday = weekday;
      }
    };
    // English, German, Spanish, Portuguese, Italian, French, Polish (the name and the
    // genitive that dates use), Russian (likewise); whole and as abbreviated in files.
    add(1, 0,
        {"january", "jan", "januar", "jänner", "jän", "enero", "ene", "janeiro", "gennaio", "gen",
         "janvier", "janv", "styczeń", "stycznia", "sty", "январь", "января", "янв"});
    add(2, 0,
        {"february", "feb", "februar", "feber", "febrero", "fevereiro", "fev", "febbraio",
         "février", "févr", "fév", "luty", "lutego", "lut", "февраль", "февраля", "фев", "февр"});
    add(3, 0,
        {"march", "mar", "märz", "mär", "mrz", "marzo", "março", "mars", "marzec", "marca", "март",
         "марта", "мар"});
    add(4, 0,
        {"april", "apr", "abril", "abr", "aprile", "avril", "avr", "kwiecień", "kwietnia", "kwi",
         "апрель", "апреля", "апр"});
    add(5, 0, {"may", "mai", "mayo", "maio", "maggio", "mag", "maj", "maja", "май", "мая"});
    add(6, 0,
        {"june", "jun", "juni", "junio", "junho", "giugno", "giu", "juin", "czerwiec", "czerwca",
         "cze", "июнь", "июня", "июн"});
    add(7, 0,
        {"july", "jul", "juli", "julio", "julho", "luglio", "lug", "juillet", "juil", "lipiec",
         "lipca", "lip", "июль", "июля", "июл"});
    add(8, 0,
        {"august", "aug", "agosto", "ago", "août", "sierpień", "sierpnia", "sie", "август",
         "августа", "авг"});
    add(9, 0,
        {"september", "sep", "sept", "septiembre", "setiembre", "set", "setembro", "settembre",
         "septembre", "wrzesień", "września", "wrz", "сентябрь", "сентября", "сен", "сент"});
    add(10, 0,
        {"october", "oct", "oktober", "okt", "octubre", "outubro", "out", "ottobre", "ott",
         "octobre", "październik", "października", "paź", "октябрь", "октября", "окт"});
    add(11, 0,
        {"november", "nov", "noviembre", "novembro", "novembre", "listopad", "listopada", "lis",
         "ноябрь", "ноября", "ноя", "нояб"});
    add(12, 0,
        {"december", "dec", "dezember", "dez", "diciembre", "dic", "dezembro", "dicembre",
         "décembre", "déc", "grudzień", "grudnia", "gru", "декабрь", "декабря", "дек"});
    add(0, 1,
        {"monday", "mon", "montag", "mo", "lunes", "lun", "segunda", "seg", "lunedì", "lundi",
         "poniedziałek", "pon", "понедельник", "пн"});
    add(0, 2,
        {"tuesday", "tue", "tues", "dienstag", "di", "martes", "mar", "terça", "ter", "martedì",
         "mardi", "wtorek", "wt", "вторник", "вт"});
    add(0, 3,
        {"wednesday", "wed", "mittwoch", "mi", "miércoles", "mié", "quarta", "qua", "mercoledì",
         "mer", "mercredi", "środa", "śr", "среда", "ср"});
    add(0, 4,
        {"thursday", "thu", "thur", "thurs", "donnerstag", "do", "jueves", "jue", "quinta", "qui",
         "giovedì", "gio", "jeudi", "jeu", "czwartek", "czw", "четверг", "чт"});
    add(0, 5,
        {"friday", "fri", "freitag", "fr", "viernes", "vie", "sexta", "sex", "venerdì", "ven",
         "vendredi", "piątek", "pt", "пятница", "пт"});
    add(0, 6,
        {"saturday", "sat", "samstag", "sonnabend", "sa", "sábado", "sáb", "sabato", "sab",
         "samedi", "sam", "sobota", "sob", "суббота", "сб"});
    add(0, 7,
        {"sunday", "sun", "sonntag", "so", "domingo", "dom", "domenica", "dimanche", "dim",
         "niedziela", "niedz", "nd", "воскресенье", "вс"});
    return t;
  }();
  return table;
}

struct FoundName {
  NameMeaning meaning;
  std::size_t end = 0;
};

// The month or weekday named by the letters at s[i], with where they end; nothing for another
// word, or for letters running on into digits.
std::optional<FoundName> NameAt(std::string_view s, std::size_t i) {
  constexpr std::size_t kLongest = 32;  // bytes of the longest name, with room to spare
  std::size_t j = i;
  while (j < s.size() && IsLetter(s[j])) ++j;
  if (j == i || j - i > kLongest || (j < s.size() && IsDigit(s[j]))) return std::nullopt;
  const std::string_view word = s.substr(i, j - i);
  auto find = [&](const std::string& key) -> std::optional<FoundName> {
    const auto it = Names().find(key);
    if (it == Names().end()) return std::nullopt;
    return FoundName{it->second, j};
  };
  std::string key;
  if (FoldUtf8(word, key)) return find(key);
  for (const CodePage page :
       {CodePage::Windows1252, CodePage::Windows1250, CodePage::Latin2, CodePage::Windows1251}) {
    key.clear();
    if (!Fold8Bit(word, page, key)) continue;
    if (std::optional<FoundName> found = find(key)) return found;
  }
  return std::nullopt;
}

// "st", "nd", "rd", "th" of English ordinals and "er" of French ones after a day: its length.
std::size_t OrdinalAt(std::string_view s, std::size_t j) {
  for (const std::string_view suffix : {"st", "nd", "rd", "th", "er"}) {
    if (WordAt(s, j, suffix) && (j + 2 >= s.size() || !IsDigit(s[j + 2]))) return 2;
  }
  return 0;
}

// "de " and "del " of Spanish and Portuguese dates: their length with the blanks after them.
std::size_t LinkAt(std::string_view s, std::size_t j) {
  for (const std::string_view link : {"de", "del"}) {
    if (WordAt(s, j, link)) {
      const std::size_t blanks = Blanks(s, j + link.size());
      if (blanks > 0) return link.size() + blanks;
    }
  }
  return 0;
}

// ---- The shapes; each gives where the date ends, or kNone.

// "12.11.2019", "2019-11-12", "11/12/2019", "11. 1. 2026", "30.09.17".
std::size_t MatchNumeric(std::string_view s, std::size_t i, WrittenDate& date) {
  auto isSep = [](char ch) { return ch == '.' || ch == '-' || ch == '/'; };
  const std::size_t n1 = DigitsAt(s, i);
  std::size_t j = i + n1;
  if (j >= s.size() || !isSep(s[j])) return kNone;
  const char sep = s[j++];
  std::size_t blanks = sep == '.' ? Blanks(s, j) : 0;
  j += blanks;
  const std::size_t n2 = DigitsAt(s, j);
  if (n2 < 1 || n2 > 2) return kNone;
  const std::size_t at2 = j;
  j += n2;
  if (j >= s.size() || s[j] != sep) return kNone;
  ++j;
  const std::size_t moreBlanks = sep == '.' ? Blanks(s, j) : 0;
  blanks += moreBlanks;
  j += moreBlanks;
  const std::size_t n3 = DigitsAt(s, j);
  const std::size_t at3 = j;
  j += n3;
  date.separator = sep;
  date.monthNamed = false;
  if (n1 == 4 && n3 >= 1 && n3 <= 2 && blanks == 0) {
    date.yearFirst = true;
    date.parts[0] = Number(s, i, n1);
    date.parts[1] = Number(s, at2, n2);
    date.parts[2] = Number(s, at3, n3);
    return j;
  }
  if (n1 < 1 || n1 > 2 || !(n3 == 4 || (n3 == 2 && blanks == 0))) return kNone;
  date.yearFirst = false;
  date.parts[0] = Number(s, i, n1);
  date.parts[1] = Number(s, at2, n2);
  date.parts[2] = FullYear(Number(s, at3, n3), n3);
  if (n3 == 2) {
    // Three small numbers could as well be numbers joined by the separator ("01-09-50-14-37"):
    // they are a date only standing alone and fitting a day and month either way round.
    const bool inRun = (j + 1 < s.size() && s[j] == sep && IsDigit(s[j + 1])) ||
                       (i >= 2 && s[i - 1] == sep && IsDigit(s[i - 2]));
    // Slashes may put the month first (the column decides); other separators never do.
    const int a = date.parts[0], b = date.parts[1];
    const bool fits = (a >= 1 && a <= 31 && b >= 1 && b <= 12) ||
                      (sep == '/' && a >= 1 && a <= 12 && b >= 1 && b <= 31);
    if (inRun || !fits) return kNone;
  }
  return j;
}

// "30-Sep-2017", "30/set/17", "30.Sep.2017"; with blanks, and then a four-digit year:
// "30 September 2017", "30. September 2017", "1st October 2017", "30 de setembro de 2017",
// "30 сент. 2017".
std::size_t MatchDayThenMonthName(std::string_view s, std::size_t i, WrittenDate& date) {
  const std::size_t n1 = DigitsAt(s, i);
  if (n1 < 1 || n1 > 2) return kNone;
  std::size_t j = i + n1;
  j += OrdinalAt(s, j);
  if (j >= s.size()) return kNone;
  char sep = s[j];
  int month = 0;
  bool shortYear = false;
  if ((sep == '-' || sep == '/' || sep == '.') && j + 1 < s.size() && IsLetter(s[j + 1])) {
    const std::optional<FoundName> name = NameAt(s, j + 1);
    if (!name || name->meaning.month == 0) return kNone;
    j = name->end;
    if (j >= s.size() || s[j] != sep) return kNone;
    ++j;
    month = name->meaning.month;
    shortYear = true;
  } else {
    if (sep == '.') ++j;
    const std::size_t blanks = Blanks(s, j);
    if (blanks == 0) return kNone;
    j += blanks;
    j += LinkAt(s, j);
    const std::optional<FoundName> name = NameAt(s, j);
    if (!name || name->meaning.month == 0) return kNone;
    j = name->end;
    bool apart = false;
    if (j < s.size() && s[j] == '.') ++j, apart = true;
    if (j < s.size() && s[j] == ',') ++j, apart = true;
    const std::size_t more = Blanks(s, j);
    if (more == 0 && !apart) return kNone;
    j += more;
    j += LinkAt(s, j);
    month = name->meaning.month;
    sep = ' ';
  }
  const std::size_t n3 = DigitsAt(s, j);
  if (n3 != 4 && !(shortYear && n3 == 2)) return kNone;
  date.parts[0] = Number(s, i, n1);
  date.parts[1] = month;
  date.parts[2] = FullYear(Number(s, j, n3), n3);
  date.separator = sep;
  date.yearFirst = false;
  date.monthNamed = true;
  return j + n3;
}

// "Sep 30, 2017", "September 30 2017", "Sept. 30th, 2017": kept as day, month, year.
std::size_t MatchMonthNameFirst(std::string_view s, std::size_t i, WrittenDate& date) {
  const std::optional<FoundName> name = NameAt(s, i);
  if (!name || name->meaning.month == 0) return kNone;
  std::size_t j = name->end;
  if (j < s.size() && s[j] == '.') ++j;
  const std::size_t blanks = Blanks(s, j);
  if (blanks == 0) return kNone;
  j += blanks;
  const std::size_t n = DigitsAt(s, j);
  if (n < 1 || n > 2) return kNone;
  const int day = Number(s, j, n);
  j += n;
  j += OrdinalAt(s, j);
  bool apart = false;
  if (j < s.size() && s[j] == ',') ++j, apart = true;
  const std::size_t more = Blanks(s, j);
  if (more == 0 && !apart) return kNone;
  j += more;
  if (DigitsAt(s, j) != 4) return kNone;
  date.parts[0] = day;
  date.parts[1] = name->meaning.month;
  date.parts[2] = Number(s, j, 4);
  date.separator = ' ';
  date.yearFirst = false;
  date.monthNamed = true;
  return j + 4;
}

// A date of any shape but the weekday's.
std::size_t MatchPlain(std::string_view s, std::size_t i, WrittenDate& date) {
  if (i >= s.size()) return kNone;
  if (!IsDigit(s[i])) return MatchMonthNameFirst(s, i, date);
  const std::size_t end = MatchNumeric(s, i, date);
  return end != kNone ? end : MatchDayThenMonthName(s, i, date);
}

// "Sat 30-Sep-2017", "Samstag, 30.09.2017", "сб, 30.09.2017", "quinta-feira, 5 de outubro".
std::size_t MatchAfterWeekday(std::string_view s, std::size_t i, WrittenDate& date) {
  const std::optional<FoundName> name = NameAt(s, i);
  if (!name || name->meaning.weekday == 0) return kNone;
  std::size_t j = name->end;
  if (j < s.size() && s[j] == '-' && WordAt(s, j + 1, "feira")) j += 6;
  bool apart = false;
  if (j < s.size() && s[j] == '.') ++j, apart = true;
  if (j < s.size() && s[j] == ',') ++j, apart = true;
  const std::size_t blanks = Blanks(s, j);
  if (blanks == 0 && !apart) return kNone;
  return MatchPlain(s, j + blanks, date);
}

// The end of a time of day after a date at s[j] (" 20:00", "T20:00:00.000Z", " 8:00 PM",
// " 20:00:00+02:00"), or j when none follows.
std::size_t TimeAfter(std::string_view s, std::size_t j) {
  std::size_t k = j;
  if (k < s.size() && s[k] == 'T') {
    ++k;
  } else {
    const std::size_t blanks = Blanks(s, k);
    if (blanks == 0) return j;
    k += blanks;
  }
  const std::size_t h = DigitsAt(s, k);
  if (h < 1 || h > 2 || k + h >= s.size() || s[k + h] != ':' || DigitsAt(s, k + h + 1) != 2) {
    return j;
  }
  k += h + 3;
  if (k < s.size() && s[k] == ':' && DigitsAt(s, k + 1) == 2) {
    k += 3;
    if (k + 1 < s.size() && s[k] == '.' && IsDigit(s[k + 1])) k += 1 + DigitsAt(s, k + 1);
  }
  const std::size_t half = k + Blanks(s, k);
  if (WordAt(s, half, "am") || WordAt(s, half, "pm")) {
    k = half + 2;
  } else if (WordAt(s, half, "a.m") || WordAt(s, half, "p.m")) {
    k = half + 3 + (half + 3 < s.size() && s[half + 3] == '.');
  } else if (k < s.size() && s[k] == 'Z') {
    ++k;
  } else if (k + 1 < s.size() && (s[k] == '+' || s[k] == '-')) {
    if (DigitsAt(s, k + 1) == 4) {
      k += 5;
    } else if (DigitsAt(s, k + 1) == 2 && k + 3 < s.size() && s[k + 3] == ':' &&
               DigitsAt(s, k + 4) == 2) {
      k += 6;
    }
  }
  return k < s.size() && IsWordChar(s[k]) ? j : k;
}

// The year's mark Russian dates may close with, "г" or "г." right after the year: its length.
std::size_t YearMarkAt(std::string_view s, std::size_t j) {
  std::size_t n = 0;
  for (const std::string_view mark : {"\xD0\xB3", "\xD0\x93", "\xE3", "\xC3"}) {  // UTF-8, 1251
    if (s.substr(j, mark.size()) == mark) n = mark.size();
  }
  if (n == 0 || (j + n < s.size() && IsLetter(s[j + n]))) return 0;
  return n + (j + n < s.size() && s[j + n] == '.');
}

}  // namespace

std::optional<DateMatch> MatchDate(std::string_view s, std::size_t i) {
  if (i >= s.size() || !IsWordChar(s[i])) return std::nullopt;
  DateMatch match;
  std::size_t end = MatchPlain(s, i, match.date);
  // "Mar" is March before a day and a year, and Tuesday before a date.
  if (end == kNone && !IsDigit(s[i])) end = MatchAfterWeekday(s, i, match.date);
  if (end == kNone) return std::nullopt;
  end += YearMarkAt(s, end);
  if (end < s.size() && IsWordChar(s[end]) && s[end] != 'T') return std::nullopt;
  match.length = end - i;
  match.taken = TimeAfter(s, end) - i;
  return match;
}

std::optional<int64_t> DayNumber(const WrittenDate& date, DayOrder order) {
  int y, m, d;
  const bool monthFirst =
      !date.monthNamed &&
      (order == DayOrder::Usual ? date.separator == '/' : order == DayOrder::MonthFirst);
  if (date.yearFirst) {
    y = date.parts[0], m = date.parts[1], d = date.parts[2];
  } else if (monthFirst) {
    m = date.parts[0], d = date.parts[1], y = date.parts[2];
  } else {
    d = date.parts[0], m = date.parts[1], y = date.parts[2];
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1000 || m < 1 || m > 12 || d < 1) return std::nullopt;
  if (d > kDays[m - 1] + (m == 2 && LeapYear(y))) return std::nullopt;
  // Days from civil (proleptic Gregorian).
  const int yy = y - (m <= 2);
  const int era = yy / 400;
  const int yoe = yy - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return int64_t{era} * 146097 + doe - 719468;
}

}  // namespace tallyra
