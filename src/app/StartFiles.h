#pragma once

#include <QString>
#include <QStringList>

namespace tolmira {

// The table files named on the command line (`tolmira [LEFT [RIGHT]]`), from the
// application's arguments (the program first, the toolkit's own options already
// taken out): at most two, as absolute paths, since the panes keep their file
// names for the next start, which may run from another folder. Arguments beyond
// the second are named in *ignored.
QStringList startFiles(const QStringList& arguments, QStringList* ignored = nullptr);

}  // namespace tolmira
