#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv) {
  // Each project's worker thread runs a Qt event loop.
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
