// The main of every test program: a QApplication on the offscreen platform (so dialogs and
// timers work without a display), then GoogleTest.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Where tests find the built program and tools, unless the environment says otherwise.
  setenv("BRENLOW_BIN_DIR", BRENLOW_BIN_DIR_DEFAULT, 0);
  setenv("BRENLOW_TOOLS_DIR", BRENLOW_TOOLS_DIR_DEFAULT, 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
