#include "dialogs/Hint.h"

#include <QAction>
#include <QVariant>

namespace {
const char* const kNoHint = "tolmiraNoHint";
}  // namespace

QString tolmira::hintToolTip(const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.left(bar);
}

QString tolmira::hintStatusText(const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  return bar < 0 ? hint : hint.mid(bar + 1);
}

void tolmira::setActionHint(QAction* action, const QString& hint) {
  action->setToolTip(hintToolTip(hint));
  action->setStatusTip(hintStatusText(hint));
  action->setProperty(kNoHint, hint.isEmpty());
}

bool tolmira::actionHasNoHint(const QAction* action) {
  return action && action->property(kNoHint).toBool();
}
