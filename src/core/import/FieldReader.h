#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tallyra {

// One record of a separated file: its fields, unquoted, and where it stands in the file.
struct FieldRecord {
  std::vector<std::string> fields;
  int line = 0;           // 1-based line the record begins on
  int lastLine = 0;       // the line it ends on: later than `line` when a quoted field holds a
                          // line break
  std::string_view text;  // the record as written, without its line end
};

// Reads text into records of fields the way spreadsheets write them (RFC 4180), and as leniently
// as files from the wild need:
// - a record ends at CR LF, LF or CR; a text that ends with a line end has no empty last record;
// - a UTF-8 byte-order mark at the very start is passed over;
// - a field that begins with a double quote (blanks before it are passed over) runs to the
//   closing quote: separators and line breaks in it belong to it, and "" in it is one quote.
//   Blanks between the closing quote and the separator are passed over. A quote that is never
//   closed, or whose closing quote is followed by something else, is a plain character and the
//   field is read as an unquoted one: a stray quote spoils one field, not the rest of the file;
// - an unquoted field is taken as it stands, blanks and quotes in it included.
// The separator is ',', ';' or '\t'; ' ' makes any run of blanks (spaces and tabs) one separator
// and passes over the blanks at both ends of a line, so that a line of nothing but blanks has
// no fields; 0 makes each line one field, taken as it stands (quotes are plain characters).
class FieldReader {
 public:
  FieldReader(std::string_view text, char separator);

  // The next record, or false at the end of the text.
  bool next(FieldRecord& record);

 private:
  bool isBlank(char ch) const { return ch == ' ' || (ch == '\t' && m_separator != '\t'); }
  bool endsField(std::size_t i) const;
  std::size_t skipBlanks(std::size_t i) const;
  // The field whose opening quote is at `quote`: true, its text, the place after it and the line
  // breaks in it, when it is closed properly.
  bool readQuoted(std::size_t quote, std::string& field, std::size_t& after, int& lines) const;

  std::string_view m_text;
  char m_separator;
  std::size_t m_pos = 0;
  int m_line = 1;
};

// Every record of the text.
std::vector<FieldRecord> ReadFieldRecords(std::string_view text, char separator);

}  // namespace tallyra
