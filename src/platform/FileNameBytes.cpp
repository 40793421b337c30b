#include "platform/FileNameBytes.h"

#include <QFile>

QByteArray tolmira::fileNameBytes(const QString& path) {
#ifdef _WIN32
  return path.toUtf8();
#else
  return QFile::encodeName(path);
#endif
}
