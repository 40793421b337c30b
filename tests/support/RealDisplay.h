#pragma once

#include <string>

// A real X display for the tests that depend on what only a window manager does
// (window frames, where a framed window lands): a private Xvfb server with openbox,
// started before the QApplication, which then uses it through the xcb platform.
// Ended with the process.
class RealDisplay {
 public:
  // Starts both at the given screen size; false, with why(), when either is missing
  // or does not come up. Then the application stays on the offscreen platform.
  static bool start(int width, int height);
  static bool running();
  static const std::string& why();
};
