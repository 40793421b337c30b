#include "model/RecordText.h"

#include <cstring>
#include <string_view>

#include "model/Cp1251.h"
#include "model/SCable.h"

std::string tolmira::recordName(const SCable& rec) {
  return cp1251ToUtf8(std::string_view(rec.name, strnlen(rec.name, sizeof rec.name)));
}

std::string tolmira::recordLine(const SCable& rec) {
  char text[SCable::kTextSize];
  rec.toText(text);
  return cp1251ToUtf8(std::string_view(text, strnlen(text, sizeof text)));
}
