#include "app/StartFiles.h"

#include <QDir>
#include <QFileInfo>

namespace tolmira {

QStringList startFiles(const QStringList& arguments, QStringList* ignored) {
  QStringList files;
  bool options = true;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg.isEmpty()) continue;
    if (options && arg == QLatin1String("--")) {
      options = false;
      continue;
    }
    if ((options && arg.startsWith(QLatin1Char('-'))) || files.size() == 2) {
      if (ignored) ignored->append(arg);
      continue;
    }
    files.append(QDir::cleanPath(QFileInfo(arg).absoluteFilePath()));
  }
  return files;
}

}  // namespace tolmira
