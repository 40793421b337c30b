#include "model/cLCD.h"

int cLCD::print(const char*) { return 0; }

cLCD& tolmira::processLCD() {
  static cLCD lcd;
  return lcd;
}
