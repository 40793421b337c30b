#pragma once

#include <cstdio>
#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWheelEvent>

#include "editor/TForm_EditCable.h"
#include "model/SCable.h"

// Runs the modal editor with a script that acts inside it once it is shown; the
// script ends the dialog as a user would. A dialog still open afterwards is closed
// with -1, so that a test whose script failed does not hang.
inline int runEditor(TForm_EditCable& editor, const std::function<int()>& call,
                     const std::function<void()>& script) {
  QTimer::singleShot(0, &editor, [&] {
    script();
    if (editor.isVisible()) QTimer::singleShot(0, &editor, [&] { editor.done(-1); });
  });
  return call();
}

inline SCable namedCable(const char* name, float ku = 1.5f) {
  SCable c;
  std::snprintf(c.name, sizeof c.name, "%s", name);
  c.setKU(ku);
  return c;
}

inline void key(QWidget* w, int k, bool autoRepeat = false, QEvent::Type type = QEvent::KeyPress,
                const QString& text = {}) {
  QKeyEvent e(type, k, Qt::NoModifier, text, autoRepeat);
  QApplication::sendEvent(w, &e);
}

// Types text into the field as keys, through the character filter.
inline void typeInto(QLineEdit* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &e);
  }
}

inline void wheel(QWidget* w, QPoint local, int delta) {
  QWheelEvent e(QPointF(local), QPointF(w->mapToGlobal(local)), QPoint(), QPoint(0, delta),
                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}
