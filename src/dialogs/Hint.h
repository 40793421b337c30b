#pragma once

#include <QString>

class QAction;

// Hints have the form "short|long": the part before the bar is the tool tip, the
// part after it the status-bar text. A hint without a bar is both.
namespace tolmira {

QString hintToolTip(const QString& hint);
QString hintStatusText(const QString& hint);

// Gives the action its tool tip and status text, and marks an action without a
// hint, whose tool tip would otherwise be its caption (see actionHasNoHint).
void setActionHint(QAction* action, const QString& hint);
bool actionHasNoHint(const QAction* action);

}  // namespace tolmira
