#pragma once

#include "GuiFixture.h"

// A folder holding the small lists the command-line tests read: four stakes (st.txt), two
// system stakes (sy.txt) and three draws (Results.txt).
class CliFolder : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(
        QStringLiteral("st.txt"),
        "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,40,41;\r\n3 - 1,2,3,30,31,32;\r\n4 - 7,8,9,10,11,12;\r\n");
    WriteFile(QStringLiteral("sy.txt"), "1 - 1,2,3,20,21,22,23;\r\n2 - 7,8,9,10,11,12,13,14;\r\n");
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,30,31,32;\r\n3 - 1,2,3,7,8,9;\r\n");
  }
};
