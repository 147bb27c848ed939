#include <gtest/gtest.h>

#include <QApplication>

#include "OwnFolder.h"

int main(int argc, char** argv) {
  // GoogleTest takes its own flags out of argv first, so the application never sees them.
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the cases needs no application, and so no display and no fonts.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  const OwnFolder folder;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
