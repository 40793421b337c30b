#pragma once

// Display stub of the shared interface: the desktop has no instrument display.
class cLCD {
 public:
  int print(const char* text);
};

namespace tolmira {

// The one display object of the run.
cLCD& processLCD();

}  // namespace tolmira
