#include <gtest/gtest.h>

#include <limits>

#include "winnings/Money.h"

namespace tallyra {
namespace {

Money Parsed(std::string_view text) {
  const AmountRead read = ParseAmount(text);
  EXPECT_FALSE(read.problem) << text;
  return read.value;
}

TextId Refused(std::string_view text) {
  const AmountRead read = ParseAmount(text);
  EXPECT_TRUE(read.problem) << text;
  return read.problem.text;
}

TEST(Money, AmountsAreReadAsPeopleWriteThem) {
  EXPECT_EQ(Parsed("12.50"), 1250);
  EXPECT_EQ(Parsed("12.5"), 1250);
  EXPECT_EQ(Parsed("12"), 1200);
  EXPECT_EQ(Parsed("12."), 1200);
  EXPECT_EQ(Parsed(".05"), 5);
  EXPECT_EQ(Parsed("0,05"), 5);
  EXPECT_EQ(Parsed(" 7.10 "), 710);
  EXPECT_EQ(Parsed("+3"), 300);
  EXPECT_EQ(Parsed("-0.00"), 0);
  // Zeros after the cents change nothing, so they need no rounding.
  EXPECT_EQ(Parsed("12.500"), 1250);
  EXPECT_EQ(Parsed("99999999999.99"), kMaxAmount);
  EXPECT_EQ(Parsed("0099999999999.990"), kMaxAmount);
}

TEST(Money, WhatIsNoAmountOrNoSensibleAmountIsRefused) {
  for (const char* text :
       {"", " ", ".", ",", "1.2.3", "1 000", "1e3", "12 EUR", "0x10", "-x", "--", "1,2,3"}) {
    EXPECT_EQ(Refused(text), TextId::TxtAmountNotNumber) << text;
  }
  EXPECT_EQ(Refused("-1"), TextId::TxtAmountNegative);
  EXPECT_EQ(Refused("-0.01"), TextId::TxtAmountNegative);
  // A third decimal would have to be rounded away: the user is asked instead.
  EXPECT_EQ(Refused("12.505"), TextId::TxtAmountDecimals);
  EXPECT_EQ(Refused("0.001"), TextId::TxtAmountDecimals);
  EXPECT_EQ(Refused("100000000000"), TextId::TxtAmountTooLarge);
  EXPECT_EQ(Refused("99999999999.991"), TextId::TxtAmountDecimals);
  // Far more digits than 64 bits hold must not wrap round to a small amount.
  EXPECT_EQ(Refused("18446744073709551616"), TextId::TxtAmountTooLarge);
  EXPECT_EQ(Refused("123456789012345678901234567890.00"), TextId::TxtAmountTooLarge);
  const AmountRead read = ParseAmount("-5");
  EXPECT_EQ(Describe(read.problem, 1), "An amount of money cannot be negative: \"-5\"");
  EXPECT_EQ(Describe(read.problem, 0), "Денежная сумма не может быть отрицательной: «-5»");
}

TEST(Money, AmountsAreWrittenWithTwoDecimals) {
  EXPECT_EQ(FormatAmount(0), "0.00");
  EXPECT_EQ(FormatAmount(5), "0.05");
  EXPECT_EQ(FormatAmount(1250), "12.50");
  EXPECT_EQ(FormatAmount(-300), "-3.00");
  EXPECT_EQ(FormatAmount(-7), "-0.07");
  EXPECT_EQ(FormatAmount(std::numeric_limits<Money>::max()), "92233720368547758.07");
  EXPECT_EQ(FormatAmount(std::numeric_limits<Money>::min()), "-92233720368547758.08");
  for (const Money value : {Money{0}, Money{1}, Money{99}, Money{100}, Money{123456}, kMaxAmount}) {
    EXPECT_EQ(Parsed(FormatAmount(value)), value);
  }
}

TEST(Money, SumsAreExactAndOverflowIsSeen) {
  // Ten cents a thousand times is a hundred exactly; in binary floating point it is not.
  Money sum = 0;
  double floating = 0;
  for (int i = 0; i < 1000; ++i) {
    sum = *AddMoney(sum, Parsed("0.10"));
    floating += 0.10;
  }
  EXPECT_EQ(FormatAmount(sum), "100.00");
  EXPECT_NE(floating, 100.0);
  EXPECT_EQ(MultiplyMoney(Parsed("0.30"), 3), Parsed("0.90"));

  const Money max = std::numeric_limits<Money>::max();
  EXPECT_EQ(AddMoney(max, 0), max);
  EXPECT_FALSE(AddMoney(max, 1));
  EXPECT_FALSE(AddMoney(std::numeric_limits<Money>::min(), -1));
  EXPECT_EQ(SubtractMoney(0, max), -max);
  EXPECT_FALSE(SubtractMoney(-2, max));
  EXPECT_FALSE(MultiplyMoney(kMaxAmount, 922338));
  EXPECT_EQ(MultiplyMoney(kMaxAmount, 922337), kMaxAmount * 922337);
  EXPECT_FALSE(MultiplyMoney(-kMaxAmount, 922338));
}

}  // namespace
}  // namespace tallyra
