// Files that reach the pane from outside its Open command: named on the command
// line, or dropped from the file manager.
#include "pane/TFrameCableList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "settings/CProgramSettings.h"

namespace {

// The first local file of a drag, empty when it brings none.
QString droppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return QString();
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isDir()) return path;
  }
  return QString();
}

}  // namespace

bool TFrameCableList::openInsteadOfRestored(const QString& path) {
  // The table kept for later holds the user's unsaved work: it comes back first,
  // so that the question about it can be answered; a table that only had a file
  // is not read at all.
  if (!programSettings().AutoSave(paneIndex_).isEmpty() && restoreTable() &&
      !askSaveChanges(nullptr))
    return false;
  return openFile(path);
}

bool TFrameCableList::openDroppedFile(const QString& path) {
  if (!askSaveChanges(nullptr)) return false;
  return openFile(path);
}

void TFrameCableList::dragEnterEvent(QDragEnterEvent* event) {
  if (droppedFile(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void TFrameCableList::dropEvent(QDropEvent* event) {
  const QString path = droppedFile(event->mimeData());
  if (path.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // The questions and load messages are modal: they wait until the drag has ended,
  // or the file manager would be held until they are answered.
  QTimer::singleShot(0, this, [this, path] { openDroppedFile(path); });
}
