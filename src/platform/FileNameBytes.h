#pragma once

#include <QByteArray>
#include <QString>

namespace tolmira {

// A file name as the table file layer takes it: UTF-8 on Windows, where that layer
// hands names to the system as UTF-16, and the system's own encoding elsewhere.
QByteArray fileNameBytes(const QString& path);

}  // namespace tolmira
