#include "import/FieldReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallyra {
namespace {

using Fields = std::vector<std::vector<std::string>>;

Fields FieldsOf(const std::vector<FieldRecord>& records) {
  Fields out;
  for (const FieldRecord& r : records) out.push_back(r.fields);
  return out;
}

TEST(FieldReader, SplitsRecordsAsSpreadsheetsWriteThem) {
  struct Case {
    const char* name;
    std::string text;
    char separator;
    Fields fields;
  };
  const std::vector<Case> cases = {
      {"plain commas", "1,2,3\n4,5,6\n", ',', {{"1", "2", "3"}, {"4", "5", "6"}}},
      {"quoted commas", "a,\"b, c\",d\n", ',', {{"a", "b, c", "d"}}},
      {"doubled quotes", "\"say \"\"hi\"\"\",2\n", ',', {{"say \"hi\"", "2"}}},
      {"line break in quotes",
       "1,\"two\r\nlines\",3\r\n4,5,6",
       ',',
       {{"1", "two\r\nlines", "3"}, {"4", "5", "6"}}},
      {"CR line ends", "1;2\r3;4\r", ';', {{"1", "2"}, {"3", "4"}}},
      {"byte-order mark", "\xEF\xBB\xBF\"a\";b\n", ';', {{"a", "b"}}},
      {"empty fields", ",,\n\n", ',', {{"", "", ""}, {""}}},
      {"tabs", "1\t \"2\" \t3\n", '\t', {{"1", "2", "3"}}},
      {"blanks", "  1   2\t\"3 4\" 5  \n\n", ' ', {{"1", "2", "3 4", "5"}, {}}},
      {"whole lines", "a,\"b\nc\"\r\n", 0, {{"a,\"b"}, {"c\""}}},
      {"blanks around a quoted field", "1, \"2\" ,3\n", ',', {{"1", "2", "3"}}},
      // Quotes that make no quoted field are plain characters; the other lines stay whole.
      {"quote inside a field", "5\" disc,2\n", ',', {{"5\" disc", "2"}}},
      {"text after the closing quote", "\"12\"ab,3\n", ',', {{"\"12\"ab", "3"}}},
      {"quote never closed", "1,\"2,3\n4,5\n", ',', {{"1", "\"2", "3"}, {"4", "5"}}},
      {"no text", "", ',', {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FieldsOf(ReadFieldRecords(c.text, c.separator)), c.fields);
  }
}

TEST(FieldReader, RecordsKnowTheirLinesAndText) {
  const std::vector<FieldRecord> r = ReadFieldRecords("h1,h2\r\n\r\n1,\"a\nb\rc\"\n2,x\r3,y", ',');
  ASSERT_EQ(r.size(), 5u);
  const std::vector<std::pair<int, int>> lines = {{1, 1}, {2, 2}, {3, 5}, {6, 6}, {7, 7}};
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_EQ(std::pair(r[i].line, r[i].lastLine), lines[i]) << i;
  }
  EXPECT_EQ(r[0].text, "h1,h2");
  EXPECT_EQ(r[1].text, "");
  EXPECT_EQ(r[2].text, "1,\"a\nb\rc\"");
  EXPECT_EQ(r[4].text, "3,y");
}

TEST(FieldReader, AHistoryWithAQuotedFieldFullOfCommasKeepsItsColumns) {
  // Month-named dates, and one quoted field that lists many codes.
  const std::string text =
      "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball,Ball Set,Machine,Codes,"
      "DrawNumber\r\n"
      "30-Sep-2017,3,11,19,25,38,44,7,6,Arthur,\"AB123456,CD234567,EF345678,GH456789\",2262\r\n"
      "27-Sep-2017,1,5,12,26,41,47,31,6,Lancelot,\"JK567890\",2261\r\n";
  const std::vector<FieldRecord> r = ReadFieldRecords(text, ',');
  ASSERT_EQ(r.size(), 3u);
  for (const FieldRecord& record : r) EXPECT_EQ(record.fields.size(), 12u);
  EXPECT_EQ(r[1].fields[0], "30-Sep-2017");
  EXPECT_EQ(r[1].fields[10], "AB123456,CD234567,EF345678,GH456789");
  EXPECT_EQ(r[1].fields[11], "2262");
  EXPECT_EQ(r[2].fields[6], "47");
}

}  // namespace
}  // namespace tallyra
