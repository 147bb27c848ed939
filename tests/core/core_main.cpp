#include <gtest/gtest.h>

#include "OwnFolder.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const OwnFolder folder;
  return RUN_ALL_TESTS();
}
