#include <QFileInfo>
#include <QLineEdit>

#include "GuiFixture.h"
#include "dialogs/PrizesDialog.h"

namespace {

class PrizesDialogTest : public GuiTest {
 protected:
  QLineEdit* Box(QDialog& dialog, const char* name) { return Find<QLineEdit>(name, &dialog); }
  void Fill(QDialog& dialog, const QStringList& texts) {
    const char* const names[] = {"PriceBox", "Tier3Box", "Tier4Box",
                                 "Tier5Box", "Tier6Box", "CurrencyBox"};
    for (int i = 0; i < texts.size(); ++i) Box(dialog, names[i])->setText(texts[i]);
  }
};

TEST_F(PrizesDialogTest, OkWritesThePrizeTable) {
  StartEnglish();
  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Prize table"));
    EXPECT_EQ(Box(dialog, "PriceBox")->text(), QStringLiteral("0.00"));
    Fill(dialog, {QStringLiteral("2,5"), QStringLiteral(" 1.5 "), QStringLiteral("20"),
                  QStringLiteral("800.00"), QStringLiteral("1000000"), QStringLiteral("EUR")});
    Click("OkButton", &dialog);
    EXPECT_FALSE(dialog.isVisible());
  });
  Trigger("PrizesItem");
  EXPECT_TRUE(script.messages.empty());
  EXPECT_EQ(ReadFile(QStringLiteral("prizes.tly")),
            QByteArray("price; 2.50\r\n3; 1.50\r\n4; 20.00\r\n5; 800.00\r\n6; 1000000.00\r\n"
                       "currency; EUR\r\n"));
  // Shown again, the boxes hold what was kept; Cancel changes nothing.
  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(Box(dialog, "PriceBox")->text(), QStringLiteral("2.50"));
    EXPECT_EQ(Box(dialog, "Tier6Box")->text(), QStringLiteral("1000000.00"));
    EXPECT_EQ(Box(dialog, "CurrencyBox")->text(), QStringLiteral("EUR"));
    Box(dialog, "PriceBox")->setText(QStringLiteral("3"));
    Click("CancelButton", &dialog);
  });
  Trigger("PrizesItem");
  EXPECT_TRUE(ReadFile(QStringLiteral("prizes.tly")).startsWith("price; 2.50\r\n"));
}

TEST_F(PrizesDialogTest, NegativeOrAbsurdAmountsAreRefused) {
  StartEnglish();
  struct Case {
    int box;
    QString text;
    QString message;
  };
  const Case cases[] = {
      {0, QStringLiteral("-2"),
       QStringLiteral("Ticket price: An amount of money cannot be negative: \"-2\"")},
      {1, QStringLiteral("abc"),
       QStringLiteral("For 3 common numbers: \"abc\" is not an amount of money (write it like "
                      "12.50)")},
      {2, QStringLiteral("1.234"),
       QStringLiteral("For 4 common numbers: The amount \"1.234\" has more than two decimals")},
      {4, QStringLiteral("100000000000"),
       QStringLiteral("For 6 common numbers: The amount \"100000000000\" is more than the largest "
                      "allowed, 99999999999.99")},
      {5, QStringLiteral("E\tUR"),
       QStringLiteral("Currency: the currency's name is longer than 32 bytes or holds control "
                      "characters")},
      {5, QStringLiteral("EU;R"),
       QStringLiteral("Currency: the currency's name cannot hold \";\", which separates the "
                      "fields of the prize file")},
  };
  for (const Case& c : cases) {
    script.messages.clear();
    script.inNextDialog([&](QDialog& dialog) {
      QStringList texts(6, QStringLiteral("1"));
      texts[5] = QStringLiteral("EUR");
      texts[c.box] = c.text;
      Fill(dialog, texts);
      Click("OkButton", &dialog);
      EXPECT_TRUE(dialog.isVisible()) << c.text.toStdString();
    });
    Trigger("PrizesItem");
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, c.message);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("prizes.tly"))));
  }
}

TEST_F(PrizesDialogTest, AFailedWriteIsToldAndTheDialogStaysOpen) {
  StartEnglish();
  // A folder where the file should be: the write cannot replace it.
  ASSERT_TRUE(QDir(Path(QString())).mkdir(QStringLiteral("prizes.tly")));
  script.inNextDialog([&](QDialog& dialog) {
    Fill(dialog, {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("2"),
                  QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("EUR")});
    Click("OkButton", &dialog);
    EXPECT_TRUE(dialog.isVisible());
  });
  Trigger("PrizesItem");
  // Reading the folder fails first and is told; the table in use (all zero) stays.
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_TRUE(script.messages[0].text.endsWith(QStringLiteral("The previous prize table is kept.")))
      << script.messages[0].text.toStdString();
  EXPECT_TRUE(script.messages[1].text.startsWith(QStringLiteral("Cannot write file")))
      << script.messages[1].text.toStdString();
  EXPECT_TRUE(QFileInfo(Path(QStringLiteral("prizes.tly"))).isDir());
}

TEST_F(PrizesDialogTest, ABadPrizeFileNamesItsLineAndKeepsTheTableInUse) {
  WriteFile(QStringLiteral("prizes.tly"), "price; 2.00\r\n3; 1.50\r\n");
  StartEnglish();
  script.inNextDialog(
      [&](QDialog& dialog) { EXPECT_EQ(Box(dialog, "PriceBox")->text(), QStringLiteral("2.00")); });
  Trigger("PrizesItem");
  EXPECT_TRUE(script.messages.empty());
  WriteFile(QStringLiteral("prizes.tly"), "price; 3.00\r\n\r\n4; lots\r\n");
  script.inNextDialog([&](QDialog& dialog) {
    EXPECT_EQ(Box(dialog, "PriceBox")->text(), QStringLiteral("2.00"));
    EXPECT_EQ(Box(dialog, "Tier3Box")->text(), QStringLiteral("1.50"));
  });
  Trigger("PrizesItem");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].text,
            QStringLiteral("Line 3 of the prize file: \"lots\" is not an amount of money (write "
                           "it like 12.50)\nThe previous prize table is kept."));
}

}  // namespace
