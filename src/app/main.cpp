// `tolmira [LEFT [RIGHT]]`: the files named open in the left and right pane in
// place of the restored tables. The configuration is the settings store.
#include <cstdio>

#include "app/CApplication.h"
#include "app/StartFiles.h"
#include "mainwindow/TFormMain.h"

int main(int argc, char** argv) {
  CApplication app(argc, argv);
  app.createWindows();
  QStringList ignored;
  app.mainWindow()->setStartFiles(tolmira::startFiles(CApplication::arguments(), &ignored));
  for (const QString& arg : ignored)
    std::fprintf(stderr, "tolmira [ЛЕВЫЙ_ФАЙЛ [ПРАВЫЙ_ФАЙЛ]]: пропущено %s\n",
                 arg.toLocal8Bit().constData());
  return app.run();
}
