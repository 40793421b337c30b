#include "dialogs/TForm_Help.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "dialogs/RtfReader.h"

TForm_Help::TForm_Help(const QString& programDir, QWidget* parent, const QStringList& hiddenTopics)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Справка"));
  setSizeGripEnabled(true);
  resize(644, 331);

  RichEdit1 = new QTextEdit(this);
  RichEdit1->setReadOnly(true);
  RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setPlainText(builtInLines().join(QLatin1Char('\n')));

  Panel1 = new QWidget(this);
  Panel1->setFixedHeight(38);
  ButtonOk = new QPushButton(QStringLiteral("Закрыть"), Panel1);
  ButtonOk->setFixedSize(75, 25);
  connect(ButtonOk, &QPushButton::clicked, this, [this] { done(1); });

  auto* bottom = new QHBoxLayout(Panel1);
  bottom->setContentsMargins(8, 0, 8, 0);
  bottom->addStretch(1);
  bottom->addWidget(ButtonOk, 0, Qt::AlignVCenter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(RichEdit1, 1);
  layout->addWidget(Panel1, 0);
  layout->activate();  // the text view gets its real size before the text goes in

  const QString helpFile = QDir(programDir).filePath(helpFileName());
  if (!programDir.isEmpty() && QFileInfo(helpFile).isFile()) {
    QFile file(helpFile);
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray rtf = file.read(RtfReader::kMaxFileBytes);
      if (file.error() == QFileDevice::NoError) {
        RtfReader::read(withoutTopics(rtf, hiddenTopics), RichEdit1->document());
        fromFile_ = true;
      }
    }
  }
  // An unreadable file leaves the built-in text. The reading carried the view's cursor
  // to the end; the text is read from its start.
  RichEdit1->moveCursor(QTextCursor::Start);
}

QByteArray TForm_Help::withoutTopics(const QByteArray& rtf, const QStringList& hiddenTopics) {
  if (hiddenTopics.isEmpty()) return rtf;
  QByteArray out;
  out.reserve(rtf.size());
  for (const QByteArray& line : rtf.split('\n')) {
    bool hidden = false;
    for (const QString& topic : hiddenTopics)
      hidden = hidden || line.contains("{\\*\\tlmtopic " + topic.toLatin1() + "}");
    if (!hidden) out += line + '\n';
  }
  out.chop(1);  // split gave one line more than there were line ends
  return out;
}

QStringList TForm_Help::builtInLines() {
  return {
      QStringLiteral("Программа позволяет работать с таблицами кабелей для прибора ВИРД-50."),
      QStringLiteral("Возможна работа сразу с двумя таблицами кабелей."),
      QString(),
      QStringLiteral("Главное окно программы разрелено на две части: левая и правая."),
      QStringLiteral("В каждой из них можно производить работу с одной таблицей:"),
      QStringLiteral("- открывать файл;"),
      QStringLiteral("- создавать новую таблицу;"),
      QStringLiteral("- редактировать параметры кабелей в таблице;"),
      QStringLiteral(
          "- создавать новые записи (кабели), удалять, менять порядок записей в таблице;"),
      QStringLiteral("- сохранять изменения."),
      QString(),
      QStringLiteral("Межтабличный функционал включает следующие возможности:"),
      QStringLiteral("- копирование записей (кабелей) из одной таблицы в другую;"),
      QStringLiteral("- визуальная подсветка совпадающих записей в двух таблицах."),
      QString(),
      QStringLiteral("Для записи таблицы кабелей в прибор ВИРД-50 сохраните её в файл "
                     "\"CABLES.TXT\" в корень диска прибора."),
      QStringLiteral("Также имеется соответствующая кнопка на панели инструментов каждой таблицы."),
  };
}

void TForm_Help::reject() { done(2); }
