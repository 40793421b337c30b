#pragma once

#include <QString>
#include <QStringList>

namespace tolmira {

// The table files named on the command line (`tolmira [LEFT [RIGHT]]`), from the
// application's arguments (the program first, the toolkit's own options already
// taken out): at most two, as absolute paths, since the panes keep their file
// names for the next start, which may run from another folder. The program has no
// options: an argument starting with '-' is not a file unless it comes after "--".
// Such arguments and those beyond the second file are named in *ignored.
QStringList startFiles(const QStringList& arguments, QStringList* ignored = nullptr);

}  // namespace tolmira
