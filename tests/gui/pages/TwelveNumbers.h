#pragma once

#include "GuiFixture.h"

// M = 12 and two draws, so every number shows on the Statistics tab; the window is started in
// English.
class TwelveNumbers : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(QStringLiteral("Results.txt"), "1 - 1,2,3,4,5,6;\r\n2 - 1,7,8,9,10,11;\r\n");
    WriteFile(QStringLiteral("ini.tly"), "12\r\n1\r\n");
    Start();
    script.messages.clear();
  }
  // The statistics grid's cells of a row, and the numbers down its first column.
  QStringList Row(int row) {
    QStringList cells;
    for (int c = 0; c < 5; ++c) cells << Grid("SGStat")->model().cellText(row, c);
    return cells;
  }
  QStringList Numbers() {
    QStringList numbers;
    for (int r = 1; r <= 12; ++r) numbers << Grid("SGStat")->model().cellText(r, 0).trimmed();
    return numbers;
  }
};
