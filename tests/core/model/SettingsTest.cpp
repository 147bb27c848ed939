#include <gtest/gtest.h>

#include "model/Settings.h"

namespace tallyra {
namespace {

SettingsOutcome Read(const std::string& text) {
  return ParseSettings(text);
}

TEST(SettingsFile, TwoDigitMAndLanguageOnCrLfLines) {
  const SettingsOutcome s = Read("36\r\n0\r\n");
  EXPECT_EQ(s.highestNumber, 36);
  EXPECT_EQ(s.language, 0);
  EXPECT_FALSE(s.message);
}

TEST(SettingsFile, AnyLineEndsReadTheSame) {
  for (const char* text : {"49\n1\n", "49\r1\r", "49\r\n1", "49\n1"}) {
    const SettingsOutcome s = Read(text);
    EXPECT_EQ(s.highestNumber, 49) << text;
    EXPECT_EQ(s.language, 1) << text;
    EXPECT_FALSE(s.message) << text;
  }
}

TEST(SettingsFile, AnEditorsByteOrderMarkIsNoPartOfM) {
  const SettingsOutcome s = Read(
      "\xEF\xBB\xBF"
      "36\r\n0\r\n");
  EXPECT_EQ(s.highestNumber, 36);
  EXPECT_EQ(s.language, 0);
  EXPECT_FALSE(s.message);
}

TEST(SettingsFile, MissingFileMeansRussianMessageThenEnglishAnd49) {
  const SettingsOutcome s = ParseSettings(std::nullopt);
  EXPECT_EQ(s.message, TextId::TxtSettingsMissing);
  EXPECT_EQ(s.messageLanguage, 0);
  EXPECT_EQ(s.highestNumber, 49);
  EXPECT_EQ(s.language, 1);
}

TEST(SettingsFile, BadMIsReportedInTheLanguageJustRead) {
  SettingsOutcome s = Read("4x\r\n0\r\n");
  EXPECT_EQ(s.message, TextId::TxtSettingsBad);
  EXPECT_EQ(s.messageLanguage, 0);
  EXPECT_EQ(s.highestNumber, 49);
  EXPECT_EQ(s.language, 1);

  s = Read("4x\r\n1\r\n");
  EXPECT_EQ(s.message, TextId::TxtSettingsBad);
  EXPECT_EQ(s.messageLanguage, 1);

  // No digit where the language stands: the message is in Russian.
  s = Read("4x\r\nq\r\n");
  EXPECT_EQ(s.messageLanguage, 0);
  s = Read("49\r\nq\r\n");
  EXPECT_EQ(s.message, TextId::TxtSettingsBad);
  EXPECT_EQ(s.messageLanguage, 0);
}

TEST(SettingsFile, ShortFilesAreUnreadable) {
  for (const char* text : {"", "4", "49", "49\r\n"}) {
    const SettingsOutcome s = Read(text);
    EXPECT_EQ(s.message, TextId::TxtSettingsBad) << text;
    EXPECT_EQ(s.highestNumber, 49);
    EXPECT_EQ(s.language, 1);
  }
}

TEST(SettingsFile, LanguageOtherThanZeroOrOneIsEnglish) {
  const SettingsOutcome s = Read("49\r\n7\r\n");
  EXPECT_FALSE(s.message);
  EXPECT_EQ(s.language, 1);
}

TEST(SettingsFile, MIsNotComparedWithARangeButNeverNegative) {
  EXPECT_EQ(Read("99\r\n0\r\n").highestNumber, 99);
  EXPECT_EQ(Read("00\r\n0\r\n").highestNumber, 0);
  EXPECT_EQ(Read(" 7\r\n0\r\n").highestNumber, 7);
  EXPECT_EQ(Read("-5\r\n0\r\n").message, TextId::TxtSettingsBad);
}

TEST(SettingsFile, OneDigitMRoundTrips) {
  EXPECT_EQ(FormatSettings(7, 0), "07\r\n0\r\n");
  EXPECT_EQ(FormatSettings(49, 1), "49\r\n1\r\n");
  for (int m = 2; m <= 99; ++m) {
    for (int lang : {0, 1}) {
      const SettingsOutcome s = Read(FormatSettings(m, lang));
      ASSERT_FALSE(s.message) << m;
      EXPECT_EQ(s.highestNumber, m);
      EXPECT_EQ(s.language, lang);
    }
  }
}

TEST(SettingsFile, OneDigitOnItsOwnLineIsRead) {
  SettingsOutcome s = Read("7\r\n0\r\n");
  EXPECT_FALSE(s.message);
  EXPECT_EQ(s.highestNumber, 7);
  EXPECT_EQ(s.language, 0);
  s = Read("7\n1\n");
  EXPECT_EQ(s.highestNumber, 7);
  EXPECT_EQ(s.language, 1);
  EXPECT_EQ(Read("7\r\nx\r\n").message, TextId::TxtSettingsBad);
}

}  // namespace
}  // namespace tallyra
