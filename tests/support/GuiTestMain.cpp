// main() for the tests that need a QApplication (run on the offscreen platform).
#include "support/GuiTestMain.h"

#include <clocale>
#include <memory>

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Constant-initialized, so it is set before any test file's initializer runs.
TestApplicationFactory factory = nullptr;

}  // namespace

bool setTestApplicationFactory(TestApplicationFactory f) {
  factory = f;
  return true;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<QApplication> app(factory ? factory(argc, argv) : new QApplication(argc, argv));
  // As the program: numbers in the C conventions, the rest as the environment says.
  std::setlocale(LC_NUMERIC, "C");
  return RUN_ALL_TESTS();
}
