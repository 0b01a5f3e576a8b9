// The event thread hands its events to the thread that owns the port through
// Qt's event queue, so the tests need an application object.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
