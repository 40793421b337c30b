#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace tolmira {

// The GUI's boundary to Windows-1251 record and file bytes, over the core's codec.
QString qStringFromCp1251(std::string_view bytes);
// A character Windows-1251 cannot hold becomes '?', which the cable name check
// rejects, so the name sanitiser turns it into '_' rather than dropping it.
std::string cp1251FromQString(const QString& text);

}  // namespace tolmira
