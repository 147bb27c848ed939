#include <gtest/gtest.h>

#include "lists/EntryCheck.h"

namespace tallyra {
namespace {

struct Boxes {
  EntryTexts texts;
  EntryNumbers numbers{};
  Boxes(std::initializer_list<const char*> values) {
    int b = 1;
    for (const char* v : values) texts[b++] = v;
  }
  std::optional<TextId> Main(int32_t highest = 49) {
    return CheckMainFields(texts, highest, numbers);
  }
  std::optional<TextId> All(int32_t highest = 49) {
    if (auto problem = CheckMainFields(texts, highest, numbers)) return problem;
    return CheckSystemFields(texts, highest, numbers);
  }
};

TEST(EntryCheck, GoodStakeGivesItsNumbersInTypedOrder) {
  Boxes b{"5", "12", "17", "23", "38", "41"};
  EXPECT_FALSE(b.Main());
  EXPECT_EQ(b.numbers[1], 5);
  EXPECT_EQ(b.numbers[6], 41);
}

TEST(EntryCheck, EmptinessComesFirst) {
  EXPECT_EQ((Boxes{"1", "2", "", "4", "5", "6"}.Main()), TextId::TxtNotAllFilled);
  // An empty box is reported before a bad number in an earlier box.
  EXPECT_EQ((Boxes{"x", "99", "3", "4", "5", ""}.Main()), TextId::TxtNotAllFilled);
  // Blanks only are not empty: they fail as a text that is not a number.
  EXPECT_EQ((Boxes{" ", "2", "3", "4", "5", "6"}.Main()), TextId::TxtNoSymbols);
}

TEST(EntryCheck, RangeIsCheckedBoxByBoxAndAConversionFailureEndsIt) {
  EXPECT_EQ((Boxes{"1", "50", "3", "4", "5", "6"}.Main()), TextId::TxtBadValues);
  EXPECT_EQ((Boxes{"1", "0", "3", "4", "5", "6"}.Main()), TextId::TxtBadValues);
  EXPECT_EQ((Boxes{"1", "-3", "3", "4", "5", "6"}.Main()), TextId::TxtBadValues);
  // Box 1 fails its range before box 2 is converted.
  EXPECT_EQ((Boxes{"0", "x", "3", "4", "5", "6"}.Main()), TextId::TxtBadValues);
  EXPECT_EQ((Boxes{"x", "0", "3", "4", "5", "6"}.Main()), TextId::TxtNoSymbols);
  EXPECT_EQ((Boxes{"1", "2 ", "3", "4", "5", "6"}.Main()), TextId::TxtNoSymbols);
  // A range failure is reported before a repeat.
  EXPECT_EQ((Boxes{"7", "7", "1", "2", "3", "99"}.Main()), TextId::TxtBadValues);
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "8"}.Main(7)), TextId::TxtBadValues);
}

TEST(EntryCheck, TheUsualIntegerSpellingsAreAccepted) {
  Boxes b{" 7", "+8", "$A", "x0b", "0x0C", "013"};
  EXPECT_FALSE(b.Main());
  EXPECT_EQ(b.numbers[1], 7);
  EXPECT_EQ(b.numbers[3], 10);
  EXPECT_EQ(b.numbers[5], 12);
  EXPECT_EQ(b.numbers[6], 13);
}

TEST(EntryCheck, RepeatsAreComparedAsNumbers) {
  EXPECT_EQ((Boxes{"7", "7", "1", "2", "3", "4"}.Main()), TextId::TxtValuesCoincide);
  EXPECT_EQ((Boxes{"7", "1", "2", "3", "4", "07"}.Main()), TextId::TxtValuesCoincide);
}

TEST(EntryCheck, ExtraBoxesAreCheckedAfterTheMainOnes) {
  EXPECT_FALSE((Boxes{"1", "2", "3", "4", "5", "6", "7", "", "9"}.All()));
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "7", "", "50"}.All()), TextId::TxtBadSystemValues);
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "0"}.All()), TextId::TxtBadSystemValues);
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "q"}.All()), TextId::TxtNoSymbols);
  // A bad main box is reported before a bad extra box.
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "60", "70"}.All()), TextId::TxtBadValues);
  // The range of every extra box comes before any repeat.
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "6", "", "", "", "", "77"}.All()),
            TextId::TxtBadSystemValues);
}

TEST(EntryCheck, ExtraRepeatsAreNumbersNotTexts) {
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "6"}.All()), TextId::TxtValuesCoincide);
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "06"}.All()), TextId::TxtValuesCoincide);
  EXPECT_EQ((Boxes{"1", "2", "3", "4", "5", "6", "7", "", "7"}.All()), TextId::TxtValuesCoincide);
  Boxes gap{"1", "2", "3", "4", "5", "6", "7", "", "9"};
  EXPECT_FALSE(gap.All());
  EXPECT_EQ(gap.numbers[8], 0);
  EXPECT_EQ(gap.numbers[9], 9);
}

TEST(EntryCheck, BelowSixNumbersNoStakeCanPass) {
  EXPECT_TRUE((Boxes{"1", "2", "3", "4", "5", "5"}.Main(5)));
  EXPECT_TRUE((Boxes{"1", "2", "3", "4", "5", "6"}.Main(5)));
}

}  // namespace
}  // namespace tallyra
