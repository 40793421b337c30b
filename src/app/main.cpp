// The editor takes no command-line options; its configuration is its settings store.
#include "app/CApplication.h"

int main(int argc, char** argv) {
  CApplication app(argc, argv);
  app.createWindows();
  return app.run();
}
