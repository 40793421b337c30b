// main() for the tests that need a QApplication (run on the offscreen platform).
#include "support/GuiTestMain.h"

#include <clocale>
#include <memory>

#include <QApplication>

#include <gtest/gtest.h>

// Test programs that need the program's own application object define this again.
__attribute__((weak)) QApplication* createTestApplication(int& argc, char** argv) {
  return new QApplication(argc, argv);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<QApplication> app(createTestApplication(argc, argv));
  std::setlocale(LC_ALL, "C");
  return RUN_ALL_TESTS();
}
