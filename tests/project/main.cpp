#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv) {
  // The link waits for the register in Qt's event loop.
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
