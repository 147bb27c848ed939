#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lists/RecordReader.h"

namespace tallyra {
namespace {

class Reader : public ::testing::Test {
 protected:
  Reader() : ws(CreateWorkspace()) {}
  ReadOutcome Results(const std::string& text) {
    return ReadRecordLines(text, TableRef::of(ws->ResultTable), ws->ResultCount,
                           OverflowRule::KeepLatest);
  }
  ReadOutcome Stakes(const std::string& text) {
    return ReadRecordLines(text, TableRef::of(ws->StakeTable), ws->StakeCount,
                           OverflowRule::RejectFile);
  }
  ReadOutcome System(const std::string& text) {
    return ReadRecordLines(text, TableRef::of(ws->SystemTable), ws->SystemCount,
                           OverflowRule::RejectFile);
  }
  std::vector<int32_t> Draw(int row) const {
    std::vector<int32_t> v;
    for (int c = 1; c <= 6; ++c) v.push_back(ws->ResultTable.cell[c][row]);
    return v;
  }
  std::unique_ptr<Workspace> ws;
};

using V = std::vector<int32_t>;

TEST_F(Reader, ReadsRecordsWithOrWithoutTheFinalLineBreak) {
  for (const char* text : {"1 - 5,12,17,23,38,41;\r\n2 - 1,2,3,4,5,6;\r\n",
                           "1 - 5,12,17,23,38,41;\r\n2 - 1,2,3,4,5,6;"}) {
    ws = CreateWorkspace();
    const ReadOutcome r = Results(text);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(ws->ResultCount, 2);
    EXPECT_EQ(Draw(1), (V{5, 12, 17, 23, 38, 41}));
    EXPECT_EQ(Draw(2), (V{1, 2, 3, 4, 5, 6}));
  }
}

TEST_F(Reader, SkipsBlankLinesAndLabelsOfAnyLengthAfterTheFirst) {
  ASSERT_TRUE(Results("1 - 1,2,3,4,5,6;\r\n\r\n\r\n102 draw of May - 7,8,9,10,11,12;\r\n"
                      "103 - 13, 14 ,15,16,17,18;\r\n")
                  .ok());
  EXPECT_EQ(ws->ResultCount, 3);
  EXPECT_EQ(Draw(2), (V{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(Draw(3), (V{13, 14, 15, 16, 17, 18}));
}

TEST_F(Reader, TheFourthCharacterOfTheFirstLabelIsRead) {
  ASSERT_TRUE(Results("1234 - 5,6,7,8,9,10;").ok());
  EXPECT_EQ(Draw(1), (V{45, 6, 7, 8, 9, 10}));
}

TEST_F(Reader, AMinusIsNeverPartOfANumber) {
  ASSERT_TRUE(Results("1 - -5,6,7,8,9,10;").ok());
  EXPECT_EQ(Draw(1)[0], 5);
}

// The unfinished last line leaves nothing behind, so the next load into the same list cannot
// pick its numbers up; the user is told which line it was.
TEST_F(Reader, AnUnfinishedLastLineIsDroppedWholeAndNamed) {
  const ReadOutcome r = Results("1 - 1,2,3,4,5,6;\r\n10 - 11,12,13,14,15,16");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(ws->ResultCount, 1);
  EXPECT_EQ(Draw(2), (V{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(r.unfinishedLine, 2);
  EXPECT_EQ(r.unfinishedText, "10 - 11,12,13,14,15,16");
  EXPECT_EQ(DescribeReadOutcome(r, 1),
            "Line 2 does not end with \";\" and was not loaded: \"10 - 11,12,13,14,15,16\"");
  EXPECT_EQ(DescribeReadOutcome(r, 0),
            "Строка 2 не закончена знаком \";\" и не загружена: «10 - 11,12,13,14,15,16»");

  // System stakes: a seven-number line without ";" and then a three-number stake appended.
  ASSERT_TRUE(System("1 - 1,2,3,4,5,6,7").ok());
  EXPECT_EQ(ws->SystemCount, 0);
  ASSERT_TRUE(System("1 - 3,1,2;").ok());
  EXPECT_EQ(ws->SystemCount, 1);
  for (int c = 4; c <= 12; ++c) EXPECT_EQ(ws->SystemTable.cell[c][1], 0) << c;

  // A file that is all one unfinished line, and one whose last line has only a number.
  for (const char* text : {"1 - 5,6,7", "1 - 1,2,3,4,5,6;\r\n2 - 9\r\n"}) {
    ws = CreateWorkspace();
    const ReadOutcome u = Stakes(text);
    ASSERT_TRUE(u.ok()) << text;
    EXPECT_GT(u.unfinishedLine, 0) << text;
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(ws->StakeTable.cell[c][ws->StakeCount + 1], 0);
  }
  // A long unfinished line is named by its beginning.
  const ReadOutcome longLine = Stakes("1 - 1,2,3,4,5,6;\r\n2 - " + std::string(500, '7'));
  EXPECT_EQ(longLine.unfinishedText, "2 - " + std::string(36, '7') + "\xE2\x80\xA6");
}

TEST_F(Reader, EndsWithoutNumbersNeedNoNotice) {
  for (const char* text :
       {"1 - 1,2,3,4,5,6;\r\n", "1 - 1,2,3,4,5,6;\r\n\r\n\r\n", "1 - 1,2,3,4,5,6;\r\n2 - ",
        "1 - 1,2,3,4,5,6;12", "", "1 - ", "1 - 1,2,3,4,5,6;\r\n3 draw of May\r\n"}) {
    ws = CreateWorkspace();
    const ReadOutcome r = Stakes(text);
    ASSERT_TRUE(r.ok()) << text;
    EXPECT_EQ(r.unfinishedLine, 0) << text;
    EXPECT_EQ(DescribeReadOutcome(r, 1), "") << text;
  }
}

// An editor's byte-order mark goes before the reader's rules apply: the first three
// characters after it are the label's.
TEST_F(Reader, AByteOrderMarkIsNoPartOfTheFirstLine) {
  ASSERT_TRUE(Results("\xEF\xBB\xBF"
                      "1 - 5,12,17,23,38,41;\r\n2 - 1,2,3,4,5,6;\r\n")
                  .ok());
  EXPECT_EQ(ws->ResultCount, 2);
  EXPECT_EQ(Draw(1), (V{5, 12, 17, 23, 38, 41}));
  // Only at the very beginning.
  ws = CreateWorkspace();
  EXPECT_EQ(Results("1 - 5,6,7,8,9,10;\r\n2 - \xEF\xBB\xBF"
                    "1,2,3,4,5,6;")
                .status,
            ReadOutcome::Status::NotInteger);
}

TEST_F(Reader, EmptyAndLabelOnlyTextsHoldNoRecords) {
  for (const char* text : {"", "1", "1 - ", "abc"}) {
    ws = CreateWorkspace();
    ASSERT_TRUE(Results(text).ok()) << text;
    EXPECT_EQ(ws->ResultCount, 0) << text;
  }
}

TEST_F(Reader, AShortRecordLeavesItsOtherColumnsAsTheyWere) {
  ws->ResultTable.cell[5][1] = 77;  // no load leaves a number above the count: put in by hand
  ASSERT_TRUE(Results("1 - 1,2,3;").ok());
  EXPECT_EQ(Draw(1), (V{1, 2, 3, 0, 77, 0}));
}

TEST_F(Reader, ValuesAreStoredAsReadWithoutRangeChecks) {
  ASSERT_TRUE(Results("1 - 0,0,99,100,7,2147483647;").ok());
  EXPECT_EQ(Draw(1), (V{0, 0, 99, 100, 7, 2147483647}));
}

TEST_F(Reader, BadTokensRejectTheWholeFileAndNameTheToken) {
  struct Case {
    const char* text;
    const char* token;
    const char* shown = nullptr;  // as the message shows it, when not the token itself
  };
  for (const Case& c : {Case{"1 - 1,2,3,4,5,6;\r\n2 - 1,,3,4,5,6;", ""},
                        Case{"1 - 1,2,3,4,5,;", ""}, Case{"1 - 1,2,x3,4,5,6;", "x3"},
                        Case{"1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,5,2147483648;", "2147483648"},
                        Case{"1 - 1,2,3,4,5,6\r\n2 - 1,2,3,4,5,6;", "6\r\n21", "6\\x0D\\x0A21"}}) {
    ws = CreateWorkspace();
    const ReadOutcome r = Results(c.text);
    EXPECT_EQ(r.status, ReadOutcome::Status::NotInteger) << c.text;
    EXPECT_EQ(r.token, c.token) << c.text;
    EXPECT_EQ(ws->ResultCount, 0);
    EXPECT_EQ(Draw(1), (V{0, 0, 0, 0, 0, 0})) << "nothing of the file is kept";
    EXPECT_EQ(DescribeReadOutcome(r, 1), std::string("'")
                                             .append(c.shown ? c.shown : c.token)
                                             .append("' is not a valid integer value"));
  }
}

TEST_F(Reader, AHugeBadTokenIsShownCutShort) {
  const ReadOutcome r = Results("1 - " + std::string(100000, 'z') + ";");
  EXPECT_EQ(r.status, ReadOutcome::Status::NotInteger);
  EXPECT_TRUE(r.tokenCut);
  EXPECT_LE(r.token.size(), 60u);
}

TEST_F(Reader, TooManyNumbersRejectTheFileAndNameTheLine) {
  const ReadOutcome r = Stakes("1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,5,6;\r\n3 - 1,2,3,4,5,6,7;\r\n");
  EXPECT_EQ(r.status, ReadOutcome::Status::RecordTooLong);
  EXPECT_EQ(r.line, 3);
  EXPECT_EQ(ws->StakeCount, 0);
  EXPECT_EQ(DescribeReadOutcome(r, 1),
            "Line 3: the record holds more than 6 numbers. The file was not loaded.");
  // System stakes have twelve columns.
  ASSERT_TRUE(System("1 - 1,2,3,4,5,6,7,8,9,10,11,12;").ok());
  EXPECT_EQ(ws->SystemCount, 1);
  EXPECT_EQ(System("1 - 1,2,3,4,5,6,7,8,9,10,11,12,13;").status,
            ReadOutcome::Status::RecordTooLong);
  EXPECT_EQ(ws->SystemCount, 1);
}

TEST_F(Reader, StakesAreAppendedAfterThoseHeld) {
  ASSERT_TRUE(Stakes("1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,5,7;\r\n").ok());
  ASSERT_TRUE(Stakes("1 - 9,9,9,9,9,9;\r\n").ok());
  EXPECT_EQ(ws->StakeCount, 3);
  EXPECT_EQ(ws->StakeTable.cell[1][3], 9);
  EXPECT_EQ(ws->StakeTable.cell[6][2], 7);
}

std::string Lines(int n, int first = 1) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    const int v = first + i;
    text += std::to_string(i + 1) + " - " + std::to_string(v) + ",2,3,4,5,6;\r\n";
  }
  return text;
}

TEST_F(Reader, ALongHistoryKeepsTheLatestDrawsAndSaysHowManyWereLeftOut) {
  const ReadOutcome r = Results(Lines(1600));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(ws->ResultCount, 1499);
  EXPECT_EQ(r.dropped, 101);
  EXPECT_EQ(ws->ResultTable.cell[1][1], 102);
  EXPECT_EQ(ws->ResultTable.cell[1][1499], 1600);
  EXPECT_NE(DescribeReadOutcome(r, 0), "");
  // Exactly full: nothing to tell.
  ws = CreateWorkspace();
  const ReadOutcome full = Results(Lines(1499));
  ASSERT_TRUE(full.ok());
  EXPECT_EQ(full.dropped, 0);
  EXPECT_EQ(DescribeReadOutcome(full, 1), "");
}

// The latest draws of a long history are found again however the lines look, also when the
// table already holds some.
TEST_F(Reader, TheKeptDrawsOfALongHistoryAreTheLatestWhateverTheLayout) {
  std::mt19937 rng(7);
  std::string text = "1 - 1,1,1,1,1,1;\r\n";
  std::vector<V> draws{{1, 1, 1, 1, 1, 1}};
  for (int i = 2; i <= 2000; ++i) {
    V draw;
    const int numbers = 1 + static_cast<int>(rng() % 6);
    for (int c = 0; c < numbers; ++c) draw.push_back(static_cast<int32_t>(rng() % 100));
    text += std::string(rng() % 3, '\n') + std::to_string(i) + (rng() % 2 ? " draw" : "") + " - ";
    for (std::size_t c = 0; c < draw.size(); ++c) {
      text += (c ? (rng() % 2 ? "," : " , ") : "") + std::to_string(draw[c]);
    }
    text += rng() % 2 ? ";\r\n" : ";\n";
    draw.resize(6, 0);
    draws.push_back(draw);
  }
  for (const int held : {0, 1, 700}) {
    ws = CreateWorkspace();
    ASSERT_TRUE(Results(Lines(held)).ok());
    const ReadOutcome r = Results(text);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(ws->ResultCount, 1499);
    EXPECT_EQ(r.dropped, 2000 - (1499 - held));
    for (int row = held + 1; row <= 1499; ++row) {
      ASSERT_EQ(Draw(row), draws[static_cast<std::size_t>(r.dropped + row - held - 1)]) << row;
    }
  }
}

TEST_F(Reader, AStakesFileThatWouldOverflowIsRejectedWhole) {
  ASSERT_TRUE(Stakes(Lines(99998)).ok());
  const ReadOutcome r = Stakes(Lines(2));
  EXPECT_EQ(r.status, ReadOutcome::Status::ListOverflow);
  EXPECT_EQ(r.room, 1);
  EXPECT_EQ(ws->StakeCount, 99998);
  EXPECT_EQ(ws->StakeTable.cell[1][99999], 0);
  ASSERT_TRUE(Stakes(Lines(1, 42) + "2 - 1,2,3,").ok());
  EXPECT_EQ(ws->StakeCount, 99999);
  EXPECT_EQ(ws->StakeTable.cell[1][99999], 42);
}

// The reader against the plain character-by-character rule on random texts made of the
// characters that matter, for texts that the plain rule reads without error.
TEST_F(Reader, AgreesWithThePlainRuleOnRandomTexts) {
  std::mt19937 rng(12345);
  const std::string alphabet = "0123456789,,;;  --\r\n";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int len = static_cast<int>(rng() % 80);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];

    // The plain rule, on a roomy table of its own.
    std::vector<std::vector<int64_t>> rows(200, std::vector<int64_t>(200, 0));
    int count = 1, col = 1;
    std::string token;
    bool bad = false;
    for (std::size_t pos = 3; pos <= text.size() && !bad; ++pos) {
      if (pos == text.size()) break;
      const char ch = text[pos];
      if (ch != ',' && ch != ';' && ch != ' ' && ch != '-') token += ch;
      if (ch == ',' || ch == ';') {
        if (token.empty() || token.size() > 9 ||
            token.find_first_not_of("0123456789") != std::string::npos) {
          bad = true;
          break;
        }
        rows[count][col] = std::stoll(token);
        token.clear();
        if (ch == ',') {
          ++col;
        } else {
          col = 1;
          ++count;
          if (pos + 3 < text.size()) {
            const std::size_t dash = text.find('-', pos);
            if (dash == std::string::npos) break;
            pos = dash;
          }
        }
      }
    }
    --count;
    bool tooLong = false;
    for (int r = 1; r <= count + 1; ++r) {
      for (int c = 7; c < 200; ++c) tooLong |= rows[r][c] != 0;
    }
    if (bad || tooLong) continue;

    ws = CreateWorkspace();
    const ReadOutcome r = Results(text);
    if (!r.ok()) continue;  // a record too long whose extra numbers were zeros
    ASSERT_EQ(ws->ResultCount, count) << text;
    for (int row = 1; row <= count; ++row) {
      for (int c = 1; c <= 6; ++c) ASSERT_EQ(ws->ResultTable.cell[c][row], rows[row][c]) << text;
    }
    // Whatever an unfinished last line held stays out of the table.
    for (int c = 1; c <= 6; ++c) ASSERT_EQ(ws->ResultTable.cell[c][count + 1], 0) << text;
  }
}

}  // namespace
}  // namespace tallyra
