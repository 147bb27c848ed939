#include "import/FieldReader.h"

namespace tallyra {
namespace {

bool IsLineEnd(char ch) {
  return ch == '\n' || ch == '\r';
}

}  // namespace

FieldReader::FieldReader(std::string_view text, char separator)
    : m_text(text), m_separator(separator) {
  if (m_text.starts_with("\xEF\xBB\xBF")) m_pos = 3;
}

bool FieldReader::endsField(std::size_t i) const {
  if (i >= m_text.size() || IsLineEnd(m_text[i])) return true;
  return m_separator == ' ' ? isBlank(m_text[i]) : m_text[i] == m_separator;
}

std::size_t FieldReader::skipBlanks(std::size_t i) const {
  while (i < m_text.size() && isBlank(m_text[i])) ++i;
  return i;
}

bool FieldReader::readQuoted(std::size_t quote, std::string& field, std::size_t& after,
                             int& lines) const {
  field.clear();
  lines = 0;
  std::size_t k = quote + 1;
  for (;;) {
    if (k >= m_text.size()) return false;  // never closed
    const char ch = m_text[k];
    if (ch == '"') {
      if (k + 1 < m_text.size() && m_text[k + 1] == '"') {
        field += '"';
        k += 2;
        continue;
      }
      break;
    }
    if (ch == '\n' || (ch == '\r' && !(k + 1 < m_text.size() && m_text[k + 1] == '\n'))) ++lines;
    field += ch;
    ++k;
  }
  after = skipBlanks(k + 1);
  // With blanks as the separator, the blanks just passed over are the separator.
  return endsField(after) || (m_separator == ' ' && after > k + 1);
}

bool FieldReader::next(FieldRecord& record) {
  if (m_pos >= m_text.size()) return false;
  record.fields.clear();
  record.line = m_line;
  const std::size_t start = m_pos;
  std::size_t pos = m_pos;
  if (m_separator == 0) {
    while (pos < m_text.size() && !IsLineEnd(m_text[pos])) ++pos;
    record.fields.emplace_back(m_text.substr(start, pos - start));
  } else {
    std::string quoted;
    for (;;) {
      if (m_separator == ' ') {
        pos = skipBlanks(pos);
        if (pos >= m_text.size() || IsLineEnd(m_text[pos])) break;
      }
      const std::size_t field = pos;
      const std::size_t quote = skipBlanks(pos);
      std::size_t after = 0;
      int lines = 0;
      if (quote < m_text.size() && m_text[quote] == '"' &&
          readQuoted(quote, quoted, after, lines)) {
        record.fields.push_back(quoted);
        m_line += lines;
        pos = after;
      } else {
        // A leading quote that does not make a quoted field is a character of the field.
        pos = field;
        while (!endsField(pos)) ++pos;
        record.fields.emplace_back(m_text.substr(field, pos - field));
      }
      if (pos >= m_text.size() || IsLineEnd(m_text[pos])) break;
      if (m_separator != ' ') ++pos;  // past the separator
    }
  }
  record.lastLine = m_line;
  record.text = m_text.substr(start, pos - start);
  if (pos < m_text.size()) {
    pos += m_text[pos] == '\r' && pos + 1 < m_text.size() && m_text[pos + 1] == '\n' ? 2 : 1;
    ++m_line;
  }
  m_pos = pos;
  return true;
}

std::vector<FieldRecord> ReadFieldRecords(std::string_view text, char separator) {
  std::vector<FieldRecord> records;
  FieldReader reader(text, separator);
  FieldRecord record;
  while (reader.next(record)) records.push_back(record);
  return records;
}

}  // namespace tallyra
