#include "platform/QtCp1251.h"

#include "model/Cp1251.h"

QString tolmira::qStringFromCp1251(std::string_view bytes) {
  return QString::fromStdString(cp1251ToUtf8(bytes));
}

std::string tolmira::cp1251FromQString(const QString& text) {
  return utf8ToCp1251(text.toStdString());
}
