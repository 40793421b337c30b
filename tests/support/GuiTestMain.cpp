// main() for the tests that need a QApplication (run on the offscreen platform).
#include <clocale>

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "C");
  return RUN_ALL_TESTS();
}
