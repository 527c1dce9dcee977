// Shared test main: a QApplication on the offscreen platform, so widgets, fonts and Qt
// Test's key, mouse and focus helpers work without an X server.
#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>
#include "platform/Application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
