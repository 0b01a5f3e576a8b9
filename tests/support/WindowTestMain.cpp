// The main of every test program that opens windows: offscreen, with the
// program's application object and its decimal comma.
#include <gtest/gtest.h>

#include "Application.h"

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TTarvoApplication app(argc, argv);
  SetDecimalSeparator();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
