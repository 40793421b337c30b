#include "settings/CProgramSettings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include <QAction>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QtEndian>

#include "platform/ISettingsStore.h"
#include "settings/CProgramInfo.h"

namespace {

// A stored rectangle as it may be shown: on the screen it overlaps (a monitor that
// is no longer there gives the primary screen), no larger than that screen's
// available area and wholly inside it, so that damaged values can neither make a
// huge window nor put it where nobody can reach it.
QRect fitOnScreen(qint64 left, qint64 top, qint64 width, qint64 height) {
  const QScreen* target = nullptr;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect a = screen->availableGeometry();
    if (left < a.left() + qint64{a.width()} && a.left() < left + width &&
        top < a.top() + qint64{a.height()} && a.top() < top + height) {
      target = screen;
      break;
    }
  }
  if (!target) {
    target = QGuiApplication::primaryScreen();
    if (!target) return QRect(0, 0, 640, 480);
    left = target->availableGeometry().left();
    top = target->availableGeometry().top();
  }
  const QRect a = target->availableGeometry();
  const qint64 w = std::min<qint64>(width, a.width());
  const qint64 h = std::min<qint64>(height, a.height());
  const qint64 x = std::clamp<qint64>(left, a.left(), a.left() + a.width() - w);
  const qint64 y = std::clamp<qint64>(top, a.top(), a.top() + a.height() - h);
  return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
}

QByteArray encodeDouble(double value) {
  quint64 bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  QByteArray bytes(8, '\0');
  qToLittleEndian<quint64>(bits, bytes.data());
  return bytes;
}

std::optional<double> decodeDouble(const QByteArray& bytes) {
  if (bytes.size() != 8) return std::nullopt;
  const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::optional<quint8> asByte(std::optional<qint32> value) {
  if (!value || *value < 0 || *value > 255) return std::nullopt;
  return static_cast<quint8>(*value);
}

void check(QAction* action, bool checked) {
  if (action) action->setChecked(checked);
}

}  // namespace

QString& CProgramSettings::ListFile(int paneIndex) {
  return paneIndex == 1 ? ListFile2 : ListFile1;
}

QString& CProgramSettings::LastOpenedFile(int paneIndex) {
  return paneIndex == 1 ? LastOpenedFile2 : LastOpenedFile1;
}

QString& CProgramSettings::AutoSave(int paneIndex) {
  return paneIndex == 1 ? AutoSave2 : AutoSave1;
}

void CProgramSettings::SetAllowSameNames(bool value) {
  AllowSameNames = value;
  check(actionAllowSameNames_, value);
}

void CProgramSettings::SetMarkSameNames(bool value) {
  MarkSameNames = value;
  check(actionMarkSameNames_, value);
}

void CProgramSettings::SetMarkSameCables(bool value) {
  MarkSameCables = value;
  check(actionMarkSameCables_, value);
}

void CProgramSettings::bindActions(QAction* allowSameNames, QAction* markSameNames,
                                   QAction* markSameCables) {
  actionAllowSameNames_ = allowSameNames;
  actionMarkSameNames_ = markSameNames;
  actionMarkSameCables_ = markSameCables;
  for (QAction* action : {allowSameNames, markSameNames, markSameCables})
    if (action) action->setCheckable(true);
  SetAllowSameNames(AllowSameNames);
  SetMarkSameNames(MarkSameNames);
  SetMarkSameCables(MarkSameCables);
}

void CProgramSettings::bindMessagesStyleActions(QAction* strict, QAction* playful) {
  actionStyleStrict_ = strict;
  actionStylePlayful_ = playful;
  for (QAction* action : {strict, playful})
    if (action) action->setCheckable(true);
  updateMessagesStyleActions();
}

void CProgramSettings::updateMessagesStyleActions() {
  // Unchecking first lets an exclusive group end with neither checked (style 2 and up).
  check(actionStyleStrict_, false);
  check(actionStylePlayful_, false);
  if (MessagesStyle == 0) check(actionStyleStrict_, true);
  if (MessagesStyle == 1) check(actionStylePlayful_, true);
}

void CProgramSettings::Load(ISettingsStore& store, QWidget* mainWindow) {
  geometryStored_ = false;
  const QString oldPath = QString::fromLatin1(OldKeyPath);
  const QString path = store.keyExists(oldPath) ? oldPath : QString::fromLatin1(KeyPath);
  // A store that cannot be opened reads as an empty key.
  const std::unique_ptr<ISettingsKey> key = store.openKey(path, true);
  auto text = [&key](const char* name) {
    return key ? key->readString(QLatin1String(name)).value_or(QString()) : QString();
  };
  auto integer = [&key](const char* name) -> std::optional<qint32> {
    return key ? key->readInt(QLatin1String(name)) : std::nullopt;
  };

  ListFile1 = text("ListFile1");
  ListFile2 = text("ListFile2");
  LastOpenedFile1 = text("LastOpenedFile1");
  LastOpenedFile2 = text("LastOpenedFile2");
  AutoSave1 = text("AutoSave1");
  AutoSave2 = text("AutoSave2");

  // Called even when missing, so that the check marks follow the kept values.
  const auto allow = integer("AllowSameNames");
  SetAllowSameNames(allow ? *allow != 0 : AllowSameNames);
  const auto names = integer("MarkSameNames");
  SetMarkSameNames(names ? *names != 0 : MarkSameNames);
  const auto cables = integer("MarkSameCables");
  SetMarkSameCables(cables ? *cables != 0 : MarkSameCables);

  MessagesStyle = asByte(integer("MessagesStyle")).value_or(0);
  updateMessagesStyleActions();

  // A size the menu could never have chosen counts as none chosen.
  if (const auto size = integer("FontSize"))
    FontSize = *size >= FontSizeMin && *size <= FontSizeMax ? static_cast<quint8>(*size) : 0;

  // A ratio that is not a positive number would break the split between the panes.
  const auto ratio = key ? key->readBinary(QStringLiteral("TableWidthK")) : std::nullopt;
  const auto widthK = ratio ? decodeDouble(*ratio) : std::nullopt;
  TableWidthK = widthK && std::isfinite(*widthK) && *widthK > 0.0 ? *widthK : 1.0;

  EditWindow_Top = integer("EditWindow_Top").value_or(-1);
  EditWindow_Left = integer("EditWindow_Left").value_or(-1);

  if (key && mainWindow) loadGeometry(*key, *mainWindow);
}

void CProgramSettings::loadGeometry(ISettingsKey& key, QWidget& window) {
  const std::unique_ptr<ISettingsKey> sub =
      key.openSubKey(QString::fromLatin1(MainWindowSubKey), false);
  if (!sub) return;
  QRect rect = window.normalGeometry();
  if (rect.isEmpty()) rect = window.geometry();
  // 64 bits: stored values near the ends of the range must not overflow the sums.
  qint64 left = rect.left(), top = rect.top(), width = rect.width(), height = rect.height();
  bool stored = false;
  if (const auto v = sub->readInt(QStringLiteral("Top"))) top = *v, stored = true;
  if (const auto v = sub->readInt(QStringLiteral("Left"))) left = *v, stored = true;
  // A window of no size could not be found again.
  if (const auto v = sub->readInt(QStringLiteral("Width")); v && *v > 0) width = *v, stored = true;
  if (const auto v = sub->readInt(QStringLiteral("Height")); v && *v > 0)
    height = *v, stored = true;
  geometryStored_ = stored;
  if (stored) {
    const QRect fitted = fitOnScreen(left, top, width, height);
    if (fitted != rect) window.setGeometry(fitted);
  }
  if (sub->readInt(QStringLiteral("Maximized")).value_or(0) != 0)
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

bool CProgramSettings::Save(ISettingsStore& store, const QWidget* mainWindow) {
  const std::unique_ptr<ISettingsKey> key = store.openKey(QString::fromLatin1(KeyPath), true);
  if (!key) return false;
  bool ok = true;
  auto text = [&](const char* name, const QString& value) {
    ok = key->writeString(QLatin1String(name), value) && ok;
  };
  auto integer = [&](const char* name, qint32 value) {
    ok = key->writeInt(QLatin1String(name), value) && ok;
  };

  text("Version", programInfo().Version());
  text("ListFile1", ListFile1);
  text("ListFile2", ListFile2);
  text("LastOpenedFile1", LastOpenedFile1);
  text("LastOpenedFile2", LastOpenedFile2);
  text("AutoSave1", AutoSave1);
  text("AutoSave2", AutoSave2);
  integer("AllowSameNames", AllowSameNames ? 1 : 0);
  integer("MarkSameNames", MarkSameNames ? 1 : 0);
  integer("MarkSameCables", MarkSameCables ? 1 : 0);

  // A return to 0 is stored, but a 0 is never created.
  if (MessagesStyle != 0 || key->hasValue(QStringLiteral("MessagesStyle")))
    integer("MessagesStyle", MessagesStyle);
  if (FontSize != 0) integer("FontSize", FontSize);
  // Likewise a return to equal widths must replace a stored ratio.
  const QString widthK = QStringLiteral("TableWidthK");
  if (TableWidthK != 1.0 || key->hasValue(widthK))
    ok = key->writeBinary(widthK, encodeDouble(TableWidthK)) && ok;

  integer("EditWindow_Top", EditWindow_Top);
  integer("EditWindow_Left", EditWindow_Left);

  if (mainWindow) {
    const std::unique_ptr<ISettingsKey> sub =
        key->openSubKey(QString::fromLatin1(MainWindowSubKey), true);
    if (!sub) {
      ok = false;
    } else {
      // The rectangle the window returns to when it is no longer maximized.
      QRect rect = mainWindow->normalGeometry();
      if (rect.isEmpty()) rect = mainWindow->geometry();
      ok = sub->writeInt(QStringLiteral("Maximized"), mainWindow->isMaximized() ? 1 : 0) && ok;
      ok = sub->writeInt(QStringLiteral("Top"), rect.top()) && ok;
      ok = sub->writeInt(QStringLiteral("Left"), rect.left()) && ok;
      ok = sub->writeInt(QStringLiteral("Width"), rect.width()) && ok;
      ok = sub->writeInt(QStringLiteral("Height"), rect.height()) && ok;
      ok = sub->flush() && ok;
    }
  }
  ok = key->flush() && ok;

  // The older key goes only once its values are safely in the current one.
  const QString oldPath = QString::fromLatin1(OldKeyPath);
  if (ok && store.keyExists(oldPath)) store.deleteKey(oldPath);
  return ok;
}

CProgramSettings& programSettings() {
  static CProgramSettings settings;
  return settings;
}
