#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "model/Files.h"
#include "winnings/Prizes.h"

namespace tallyra {
namespace {

Prizes Sample() {
  Prizes p;
  p.table.price = 250;
  p.table.amounts = {500, 4000, 150000, 100000000};
  p.table.currency = "руб.";
  p.byDraw[3] = {120, 3400, 98000, 0};
  p.byDraw[12] = {0, 1, 2, 3};
  return p;
}

Problem ProblemOf(std::string_view text) {
  const PrizesRead read = ParsePrizes(text);
  EXPECT_TRUE(read.problem) << text;
  return read.problem;
}

TEST(PrizeFile, ReadsWhatItWrites) {
  const std::string text = FormatPrizes(Sample());
  EXPECT_EQ(text,
            "price; 2.50\r\n3; 5.00\r\n4; 40.00\r\n5; 1500.00\r\n6; 1000000.00\r\n"
            "currency; руб.\r\n3; 1.20; 34.00; 980.00; 0.00\r\n12; 0.00; 0.01; 0.02; 0.03\r\n");
  const PrizesRead read = ParsePrizes(text);
  ASSERT_FALSE(read.problem) << Describe(read.problem, 1);
  EXPECT_EQ(read.prizes, Sample());
}

TEST(PrizeFile, AcceptsTheLooseShapesOfHandWrittenFiles) {
  const PrizesRead read = ParsePrizes(
      "\xEF\xBB\xBF# prizes of the spring season\n"
      "\n"
      "  price ;2,5\n"
      "6; 1000000;\n"
      "  7 ; 1 ; 2.5 ; 3 ; 4 ;  \r\n"
      "currency;  EUR  ");
  ASSERT_FALSE(read.problem) << Describe(read.problem, 1);
  EXPECT_EQ(read.prizes.table.price, 250);
  EXPECT_EQ(read.prizes.table.amounts, (TierAmounts{0, 0, 0, 100000000}));
  EXPECT_EQ(read.prizes.table.currency, "EUR");
  ASSERT_EQ(read.prizes.byDraw.size(), 1u);
  EXPECT_EQ(read.prizes.byDraw.at(7), (TierAmounts{100, 250, 300, 400}));
  EXPECT_EQ(read.prizes.amountsFor(7), (TierAmounts{100, 250, 300, 400}));
  EXPECT_EQ(read.prizes.amountsFor(8), read.prizes.table.amounts);
  EXPECT_FALSE(ParsePrizes("").problem);
}

TEST(PrizeFile, ABadLineIsNamedWithItsNumber) {
  const Problem unknown = ProblemOf("price; 1\r\n\r\nprise; 2\r\n");
  EXPECT_EQ(unknown.line, 3);
  EXPECT_EQ(unknown.text, TextId::TxtPrizeUnknownName);
  EXPECT_EQ(Describe(unknown, 1),
            "Line 3 of the prize file: \"prise\" is neither the price, a tier (3, 4, 5, 6) nor "
            "the currency");

  const Problem twice = ProblemOf("# a\n3; 1\n4; 2\n3; 1\n");
  EXPECT_EQ(twice.line, 4);
  EXPECT_EQ(Describe(twice, 1), "Line 4 of the prize file: \"3\" is already given on line 2");
  EXPECT_EQ(Describe(twice, 0), "Строка 4 файла выигрышей: «3» уже задан в строке 2");

  const Problem drawTwice = ProblemOf("5; 1; 2; 3; 4\n6; 1; 2; 3; 4\n5; 1; 2; 3; 4\n");
  EXPECT_EQ(drawTwice.line, 3);
  EXPECT_EQ(drawTwice.text, TextId::TxtPrizeGivenTwice);

  const Problem negative = ProblemOf("price; 1\n5; 1; 2; -3; 4\n");
  EXPECT_EQ(negative.line, 2);
  EXPECT_EQ(Describe(negative, 1),
            "Line 2 of the prize file: An amount of money cannot be negative: \"-3\"");

  EXPECT_EQ(ProblemOf("price; 100000000000\n").text, TextId::TxtAmountTooLarge);
  EXPECT_EQ(ProblemOf("price; 1.999\n").text, TextId::TxtAmountDecimals);
  EXPECT_EQ(ProblemOf("price; two\n").text, TextId::TxtAmountNotNumber);
  EXPECT_EQ(ProblemOf("price 2.00\n").text, TextId::TxtPrizeFields);
  EXPECT_EQ(ProblemOf("5; 1; 2; 3\n").text, TextId::TxtPrizeFields);
  EXPECT_EQ(ProblemOf("5; 1; 2; 3; 4; 5\n").text, TextId::TxtPrizeFields);
  EXPECT_EQ(ProblemOf("0; 1; 2; 3; 4\n").text, TextId::TxtPrizeBadDraw);
  EXPECT_EQ(ProblemOf("x1; 1; 2; 3; 4\n").text, TextId::TxtPrizeBadDraw);
  EXPECT_EQ(ProblemOf("currency; \x1B[31m\n").text, TextId::TxtPrizeBadCurrency);
  EXPECT_EQ(ProblemOf("currency; " + std::string(33, 'x') + "\n").text,
            TextId::TxtPrizeBadCurrency);
  // A ";" in the currency has its own reason: it would split the line it is written on.
  EXPECT_EQ(CurrencyProblem("EU;R"), TextId::TxtPrizeCurrencySemicolon);
  EXPECT_EQ(CurrencyProblem("EUR"), std::nullopt);
  EXPECT_EQ(CurrencyProblem("\x1B[31m"), TextId::TxtPrizeBadCurrency);
  // A line break inside a field does not hide the line's number.
  EXPECT_EQ(ProblemOf("price; 1\r\n3; 1\r\n4;\r\n2\r\n").line, 3);
}

class PrizeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-prizes-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  std::string m_dir;
};

TEST_F(PrizeFiles, ABadFileLeavesThePrizesAsTheyWere) {
  ASSERT_FALSE(SavePrizes(path(kPrizeTableFileName), Sample()));
  Prizes prizes;
  ASSERT_FALSE(LoadPrizes(path(kPrizeTableFileName), prizes));
  EXPECT_EQ(prizes, Sample());

  ASSERT_FALSE(WriteFileReplacing(path("bad.txt"), "price; 9\n3; 9\n4; nine\n"));
  const Problem bad = LoadPrizes(path("bad.txt"), prizes);
  EXPECT_EQ(bad.line, 3);
  EXPECT_EQ(prizes, Sample());

  const Problem missing = LoadPrizes(path("none.txt"), prizes);
  EXPECT_EQ(missing.text, TextId::TxtCannotOpen);
  EXPECT_EQ(prizes, Sample());
}

TEST_F(PrizeFiles, AFailedSaveKeepsThePreviousFile) {
  ASSERT_FALSE(SavePrizes(path(kPrizeTableFileName), Sample()));
  const Problem failed = SavePrizes(path("no-such-folder/prizes.tly"), Prizes{});
  EXPECT_EQ(failed.text, TextId::TxtCannotWrite);
  EXPECT_NE(Describe(failed, 1).find("no-such-folder"), std::string::npos);
  Prizes changed = Sample();
  changed.table.price = 300;
  ASSERT_FALSE(SavePrizes(path(kPrizeTableFileName), changed));
  Prizes back;
  ASSERT_FALSE(LoadPrizes(path(kPrizeTableFileName), back));
  EXPECT_EQ(back, changed);
}

}  // namespace
}  // namespace tallyra
