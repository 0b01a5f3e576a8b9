#include <gtest/gtest.h>

#include <QCoreApplication>

// The link waits in Qt's event loop, so the tests need an application object.
int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
