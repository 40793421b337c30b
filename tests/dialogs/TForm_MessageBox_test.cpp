#include "dialogs/TForm_MessageBox.h"

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/ScriptedModal.h"

namespace {

std::vector<int> results(const ModalQuestion& q) {
  std::vector<int> out;
  for (const ModalButton& b : q.buttons) out.push_back(b.result);
  return out;
}

std::vector<QString> hints(const ModalQuestion& q) {
  std::vector<QString> out;
  for (const ModalButton& b : q.buttons) out.push_back(b.hint);
  return out;
}

using Captions = std::vector<QString>;

// ---- The question each operation builds, seen through the scripted seam ----

class MessageBoxApi : public testing::Test {
 protected:
  TForm_MessageBox& box = TForm_MessageBox::instance();
  ScriptedModal modal;
  QWidget anchor;
};

TEST_F(MessageBoxApi, AskWithoutButtonsGetsClose) {
  modal.answerMessageBox(2);
  EXPECT_EQ(box.Ask(QStringLiteral("Строка 1\r\nСтрока 2\r\n"), QStringLiteral("Ошибка загрузки!"),
                    false, 0),
            2);
  const ModalQuestion& q = modal.last().question;
  EXPECT_EQ(q.title, QStringLiteral("Ошибка загрузки!"));
  EXPECT_EQ(q.text, QStringLiteral("Строка 1\r\nСтрока 2\r\n"));
  EXPECT_EQ(modal.last().captions(), Captions{QStringLiteral("Закрыть")});
  EXPECT_EQ(results(q), std::vector<int>{2});
  EXPECT_FALSE(q.wordWrap);
  EXPECT_EQ(q.alignment, 0);
  EXPECT_EQ(q.flags, 0u);
  EXPECT_EQ(q.anchor, nullptr);
}

TEST_F(MessageBoxApi, AddButtonNumbersCaptionOnlyButtonsFromThree) {
  modal.answerMessageBox(5);
  // Literals of every form must pick the intended overload.
  box.AddButton("Хорошо")
      .AddButton("Своя", 9)
      .AddButton("Игнорировать и больше не спрашивать",
                 "Изменяет соответсвующую настройку программы")
      .AddButton("")  // adds nothing and takes no number
      .AddButton(QStringLiteral("Прервать"), QStringLiteral("Стоп|Прервать копирование"))
      .AddButton(QString(), QString(), 1)
      .AddButton(QStringLiteral("Ноль"), 0);
  EXPECT_EQ(
      box.Ask(QStringLiteral("Запись с таким именем в таблице уже есть.\nВведите другое имя."),
              QStringLiteral("Внимание"), true, 2),
      5);
  const ModalQuestion& q = modal.last().question;
  EXPECT_EQ(modal.last().captions(),
            (Captions{QStringLiteral("Хорошо"), QStringLiteral("Своя"),
                      QStringLiteral("Игнорировать и больше не спрашивать"),
                      QStringLiteral("Прервать"), QStringLiteral("Ноль")}));
  EXPECT_EQ(results(q), (std::vector<int>{3, 9, 5, 6, 0}));
  EXPECT_EQ(hints(q),
            (std::vector<QString>{{},
                                  {},
                                  QStringLiteral("Изменяет соответсвующую настройку программы"),
                                  QStringLiteral("Стоп|Прервать копирование"),
                                  {}}));
  EXPECT_TRUE(q.wordWrap);
  EXPECT_EQ(q.alignment, 2);
}

TEST_F(MessageBoxApi, ButtonsAndAnchorLastOneQuestion) {
  modal.answerMessageBox(3).answerMessageBox(2);
  box.SetAnchor(&anchor).AddButton(QStringLiteral("Да"));
  EXPECT_EQ(box.Ask(QStringLiteral("a"), QStringLiteral("t"), true, 2), 3);
  EXPECT_EQ(modal.last().question.anchor, &anchor);
  box.Ask(QStringLiteral("b"), QStringLiteral("t"), true, 2);
  EXPECT_EQ(modal.last().question.anchor, nullptr);
  EXPECT_EQ(modal.last().captions(), Captions{QStringLiteral("Закрыть")});
}

TEST_F(MessageBoxApi, AnchorOfDestroyedControlIsDropped) {
  modal.answerMessageBox(2);
  auto* gone = new QWidget;
  box.SetAnchor(gone);
  delete gone;
  box.Ask(QStringLiteral("a"), QStringLiteral("t"), true, 2);
  EXPECT_EQ(modal.last().question.anchor, nullptr);
}

TEST_F(MessageBoxApi, AskStandardButtonSets) {
  struct Case {
    std::uint32_t flags;
    Captions captions;
    std::vector<int> results;
  };
  const QString ok = QStringLiteral("Хорошо"), cancel = QStringLiteral("Отмена"),
                abort = QStringLiteral("Прервать"), retry = QStringLiteral("Повторить"),
                yes = QStringLiteral("Да"), no = QStringLiteral("Нет"),
                close = QStringLiteral("Закрыть");
  const std::vector<Case> cases = {
      {0x0, {ok}, {1}},
      {0x1, {ok, cancel}, {1, 2}},
      {0x2, {abort, retry, cancel}, {3, 4, 2}},
      {0x3, {yes, no, cancel}, {6, 7, 2}},
      {0x104, {yes, no}, {6, 7}},
      {0x5, {retry, cancel}, {4, 2}},
      {0x6, {close}, {2}},
      {0x30F, {close}, {2}},
  };
  for (const Case& c : cases) {
    modal.answerMessageBox(c.results.front());
    // Buttons and an anchor set before do not carry into a standard question.
    box.AddButton(QStringLiteral("Лишняя")).SetAnchor(&anchor);
    EXPECT_EQ(box.AskStandard(QStringLiteral("Продолжить?"), QStringLiteral("Внимание!"), c.flags,
                              nullptr),
              c.results.front());
    const ModalQuestion& q = modal.last().question;
    EXPECT_EQ(modal.last().captions(), c.captions) << std::hex << c.flags;
    EXPECT_EQ(results(q), c.results) << std::hex << c.flags;
    for (const QString& h : hints(q)) EXPECT_TRUE(h.isEmpty());
    EXPECT_EQ(q.flags, c.flags);
    EXPECT_EQ(q.anchor, nullptr);
    EXPECT_TRUE(q.wordWrap);
    EXPECT_EQ(q.alignment, 2);
  }
  // The anchor given to AskStandard is used; the SetAnchor one is gone afterwards.
  modal.answerMessageBox(7).answerMessageBox(2);
  box.AskStandard(QStringLiteral("x"), QStringLiteral("y"), 0x104, &anchor);
  EXPECT_EQ(modal.last().question.anchor, &anchor);
  box.Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2);
  EXPECT_EQ(modal.last().question.anchor, nullptr);
}

TEST_F(MessageBoxApi, AskFourKeepsNumbersOfSkippedCaptions) {
  modal.answerMessageBox(5);
  box.AddButton(QStringLiteral("Лишняя")).SetAnchor(&anchor);
  EXPECT_EQ(box.AskFour(QStringLiteral("Имеются несохранённые изменения в таблице 1"),
                        QStringLiteral("Внимание!"), QStringLiteral("Сохранить"), QString(),
                        QStringLiteral("Потом сохраню \n(сохранить состояние и выйти)"),
                        QStringLiteral("Отмена"), 0x200, QStringLiteral("h1"), QStringLiteral("h2"),
                        QStringLiteral("h3")),
            5);
  const ModalQuestion& q = modal.last().question;
  EXPECT_EQ(modal.last().captions(),
            (Captions{QStringLiteral("Сохранить"),
                      QStringLiteral("Потом сохраню \n(сохранить состояние и выйти)"),
                      QStringLiteral("Отмена")}));
  EXPECT_EQ(results(q), (std::vector<int>{3, 5, 6}));
  EXPECT_EQ(hints(q), (std::vector<QString>{QStringLiteral("h1"), QStringLiteral("h3"), {}}));
  EXPECT_EQ(q.flags, 0x200u);
  EXPECT_EQ(q.anchor, &anchor);  // SetAnchor counts for AskFour
  EXPECT_TRUE(q.wordWrap);
  EXPECT_EQ(q.alignment, 2);

  modal.answerMessageBox(2);
  box.AskFour(QStringLiteral("x"), QStringLiteral("y"), {}, {}, {}, {}, 0);
  EXPECT_EQ(modal.last().captions(), Captions{QStringLiteral("Закрыть")});
  EXPECT_EQ(modal.last().question.anchor, nullptr);
}

TEST_F(MessageBoxApi, AskAfterStandardFocusesFirst) {
  modal.answerMessageBox(7).answerMessageBox(3);
  box.AskStandard(QStringLiteral("x"), QStringLiteral("y"), 0x104, &anchor);
  box.AddButton(QStringLiteral("Один")).AddButton(QStringLiteral("Два"));
  box.Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2);
  EXPECT_EQ(modal.last().question.flags, 0u);
  EXPECT_EQ(modal.last().captions(), (Captions{QStringLiteral("Один"), QStringLiteral("Два")}));
}

// ---- The real window on the offscreen platform ----

// Runs act on the open message box; closes the box with -1 if act left it open.
void whenOpen(std::function<void(TForm_MessageBox&)> act) {
  QTimer::singleShot(0, [act] {
    TForm_MessageBox& box = TForm_MessageBox::instance();
    if (!QTest::qWaitFor([&] { return box.isVisible(); }, 3000)) {
      ADD_FAILURE() << "the message box was not shown";
      return;
    }
    EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
    act(box);
    if (box.isVisible()) {
      ADD_FAILURE() << "the message box stayed open";
      box.done(-1);
    }
  });
}

QRect inClient(QWidget* w, TForm_MessageBox& box) {
  return QRect(w->mapTo(&box, QPoint(0, 0)), w->size());
}

class MessageBoxWindow : public testing::Test {
 protected:
  void TearDown() override {
    TForm_MessageBox::setMainWindow(nullptr);
    EXPECT_EQ(box.buttonCount(), 0);
  }
  TForm_MessageBox& box = TForm_MessageBox::instance();
  QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
};

TEST_F(MessageBoxWindow, LaysOutButtonsAndTextAsShown) {
  const std::vector<QString> captions = {
      QStringLiteral("Хорошо"), QStringLiteral("Игнорировать и больше не спрашивать"),
      QStringLiteral("Потом сохраню \n(сохранить состояние и выйти)")};
  for (const QString& c : captions) box.AddButton(c);
  whenOpen([&](TForm_MessageBox& b) {
    ASSERT_EQ(b.buttonCount(), 3);
    const QFontMetrics fm(b.font());
    EXPECT_EQ(b.button(0)->width(), std::max(75, fm.horizontalAdvance(captions[0]) + 30));
    EXPECT_EQ(b.button(1)->width(), fm.horizontalAdvance(captions[1]) + 30);
    // A caption on two lines is as wide as its longer line.
    EXPECT_EQ(b.button(2)->width(),
              fm.horizontalAdvance(QStringLiteral("(сохранить состояние и выйти)")) + 30);
    EXPECT_EQ(b.button(0)->text(), captions[0]);
    const QRect first = inClient(b.button(0), b);
    const QRect last = inClient(b.button(2), b);
    EXPECT_EQ(first.x(), 10);
    EXPECT_EQ(last.right() + 1, b.width() - 10);
    for (int k = 0; k + 1 < 3; ++k)
      EXPECT_GE(inClient(b.button(k + 1), b).x() - (inClient(b.button(k), b).right() + 1), 25);

    QWidget* text = b.findChild<QWidget*>(QStringLiteral("PanelText"));
    QWidget* row = b.findChild<QWidget*>(QStringLiteral("PanelButtons"));
    ASSERT_TRUE(text && row);
    QLabel* label = b.label();
    EXPECT_EQ(label->text(), QStringLiteral("Короткий текст"));
    EXPECT_EQ(inClient(label, b).y(), 15);
    EXPECT_EQ(text->geometry(), QRect(0, 0, b.width(), label->height() + 30));
    EXPECT_EQ(row->y(), text->height() + 10);
    EXPECT_EQ(row->width(), b.width());
    EXPECT_EQ(row->height(), 33 + std::max(0, b.button(2)->height() - 25));
    EXPECT_EQ(b.height(), row->geometry().bottom() + 1);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(b.button(k)->y(), 0);
    EXPECT_EQ(inClient(label, b).x(), (b.width() - label->width()) / 2);
    EXPECT_EQ(b.windowTitle(), QStringLiteral("Внимание"));
    // Window-coloured text area on a dialog-face row.
    EXPECT_EQ(text->palette().color(QPalette::Window), b.palette().color(QPalette::Base));
    EXPECT_TRUE(text->autoFillBackground());
    EXPECT_FALSE(b.isSizeGripEnabled());
    EXPECT_EQ(b.minimumSize(), b.maximumSize());
    QTest::mouseClick(b.button(1), Qt::LeftButton);
  });
  EXPECT_EQ(box.Ask(QStringLiteral("Короткий текст"), QStringLiteral("Внимание"), true, 2), 4);
}

// The load error of a file with a wrong header has no text at all: the window
// still shows its whole title.
TEST_F(MessageBoxWindow, AnEmptyTextLeavesRoomForTheTitle) {
  const QString title = QStringLiteral("Ошибка загрузки!");
  whenOpen([&title](TForm_MessageBox& b) {
    EXPECT_GT(b.width(), QFontMetrics(b.font()).horizontalAdvance(title) + 60);
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  box.Ask(QString(), title, false, 0);
}

TEST_F(MessageBoxWindow, OneShortButtonIs95Wide) {
  ASSERT_LE(QFontMetrics(box.font()).horizontalAdvance(QStringLiteral("Да")), 45);
  box.AddButton(QStringLiteral("Да"), 6);
  whenOpen([](TForm_MessageBox& b) {
    ASSERT_EQ(b.buttonCount(), 1);
    EXPECT_EQ(b.width(), 95);
    EXPECT_EQ(b.button(0)->width(), 75);
    EXPECT_EQ(inClient(b.button(0), b).x(), 10);
    QTest::mouseClick(b.button(0), Qt::LeftButton);
  });
  EXPECT_EQ(box.Ask(QStringLiteral("x"), QStringLiteral("t"), true, 2), 6);
}

TEST_F(MessageBoxWindow, LineWiderThanScreenWraps) {
  QString text;
  for (int i = 0; i < 100; ++i) text += QStringLiteral("слово ");
  whenOpen([&](TForm_MessageBox& b) {
    QLabel* label = b.label();
    EXPECT_TRUE(label->wordWrap());
    EXPECT_LE(b.frameGeometry().width(), screen.width());
    EXPECT_TRUE(screen.contains(b.frameGeometry()));
    EXPECT_GT(label->height(), 2 * label->fontMetrics().height());
    // The wrapped text is wholly inside the label.
    EXPECT_LE(label->fontMetrics()
                  .boundingRect(QRect(0, 0, label->width(), 1 << 20), Qt::TextWordWrap, text)
                  .height(),
              label->height());
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  EXPECT_EQ(box.Ask(text, QStringLiteral("t"), false, 0), 2);
  // The question's settings are gone with it.
  EXPECT_TRUE(box.label()->wordWrap());
  EXPECT_EQ(box.label()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST_F(MessageBoxWindow, LeftAlignedUnwrappedText) {
  const QString text = QStringLiteral("Строка 1: ошибка\r\nСтрока 22: ещё одна ошибка\r\n");
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_FALSE(b.label()->wordWrap());
    EXPECT_EQ(b.label()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(b.label()->textFormat(), Qt::PlainText);
    EXPECT_FALSE(b.label()->text().contains(QLatin1Char('\r')));
    // Two lines and the empty one after the last line break.
    EXPECT_EQ(b.label()->height(),
              b.label()
                  ->fontMetrics()
                  .boundingRect(QRect(0, 0, 1 << 20, 1 << 20), 0, QStringLiteral("a\nb\n"))
                  .height());
    QTest::keyClick(b.button(0), Qt::Key_Return);
  });
  EXPECT_EQ(box.Ask(text, QStringLiteral("Ошибка загрузки!"), false, 0), 2);
}

TEST_F(MessageBoxWindow, LongReportScrollsAndStaysOnTheScreen) {
  QString text;
  for (int i = 1; i <= 300; ++i)
    text += QStringLiteral("Стр. %1 (поз. 12): \"Кабель %1\t0.6600\t1\"\r\n").arg(i);
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_TRUE(screen.contains(b.frameGeometry()))
        << b.frameGeometry().y() << " " << b.frameGeometry().height();
    QScrollArea* view = b.textView();
    QLabel* label = b.label();
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
    EXPECT_LT(view->height(), label->height());
    // Every line is in the label; the view shows its top.
    EXPECT_GE(label->height(),
              label->fontMetrics()
                  .boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::TextExpandTabs, label->text())
                  .height());
    EXPECT_EQ(inClient(label, b).y(), 15);
    EXPECT_EQ(view->geometry().bottom() + 1 + 15, view->parentWidget()->height());
    // The scroll bar does not take the focus from the button.
    EXPECT_EQ(QApplication::focusWidget(), b.button(0));
    EXPECT_TRUE(b.rect().contains(inClient(b.button(0), b)));
    QTest::keyClick(b.button(0), Qt::Key_Return);
  });
  EXPECT_EQ(box.Ask(text, QStringLiteral("Ошибка загрузки!"), false, 0), 2);

  // The next short question shows no scroll bar.
  whenOpen([](TForm_MessageBox& b) {
    EXPECT_FALSE(b.textView()->verticalScrollBar()->isVisible());
    EXPECT_EQ(b.textView()->size(), b.label()->size());
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  EXPECT_EQ(box.Ask(QStringLiteral("Коротко"), QStringLiteral("t"), true, 2), 2);
}

TEST_F(MessageBoxWindow, StandardYesNoFocusesNoAndEnterPressesIt) {
  whenOpen([](TForm_MessageBox& b) {
    ASSERT_EQ(b.buttonCount(), 2);
    EXPECT_EQ(QApplication::focusWidget(), b.button(1));
    EXPECT_EQ(b.button(1)->text(), QStringLiteral("Нет"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  });
  EXPECT_EQ(
      box.AskStandard(QStringLiteral("Продолжить?"), QStringLiteral("Внимание!"), 0x104, nullptr),
      7);
}

TEST_F(MessageBoxWindow, EscapeFromTheFocusedButtonGivesTwo) {
  whenOpen([](TForm_MessageBox& b) {
    ASSERT_EQ(QApplication::focusWidget(), b.button(1));
    QTest::keyClick(b.button(1), Qt::Key_Escape);
  });
  EXPECT_EQ(
      box.AskStandard(QStringLiteral("Продолжить?"), QStringLiteral("Внимание!"), 0x104, nullptr),
      2);
}

TEST_F(MessageBoxWindow, AskAfterStandardFocusesFirstAndSpacePressesIt) {
  whenOpen([](TForm_MessageBox& b) { QTest::mouseClick(b.button(0), Qt::LeftButton); });
  EXPECT_EQ(box.AskStandard(QStringLiteral("x"), QStringLiteral("y"), 0x104, nullptr), 6);

  box.AddButton(QStringLiteral("Один")).AddButton(QStringLiteral("Два"));
  whenOpen([](TForm_MessageBox& b) {
    ASSERT_EQ(b.buttonCount(), 2);
    EXPECT_EQ(QApplication::focusWidget(), b.button(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  });
  EXPECT_EQ(box.Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2), 3);
}

TEST_F(MessageBoxWindow, FocusSelectorPastTheButtonsFocusesNoChosenButton) {
  whenOpen([](TForm_MessageBox& b) {
    ASSERT_EQ(b.buttonCount(), 2);
    // 0x300 names a fourth button; the toolkit's own first choice stays.
    EXPECT_NE(QApplication::focusWidget(), b.button(1));
    QTest::mouseClick(b.button(1), Qt::LeftButton);
  });
  EXPECT_EQ(box.AskFour(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("A"),
                        QStringLiteral("B"), {}, {}, 0x300),
            4);
}

TEST_F(MessageBoxWindow, CloseButtonGivesTwoAndHintsAreToolTips) {
  box.AddButton(QStringLiteral("Да"), QStringLiteral("Кратко|Подробно в строке состояния"), 6)
      .AddButton(QStringLiteral("Нет"), QStringLiteral("Просто"), 7);
  whenOpen([](TForm_MessageBox& b) {
    EXPECT_EQ(b.button(0)->toolTip(), QStringLiteral("Кратко"));
    EXPECT_EQ(b.button(1)->toolTip(), QStringLiteral("Просто"));
    b.close();
  });
  EXPECT_EQ(box.Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2), 2);
}

TEST_F(MessageBoxWindow, ShownAtTheAnchorThenCentredOverTheMainWindow) {
  QWidget main;
  main.setGeometry(100, 100, 500, 400);
  auto* anchor = new QWidget(&main);
  anchor->setGeometry(40, 30, 80, 20);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  TForm_MessageBox::setMainWindow(&main);

  const QPoint at = anchor->mapToGlobal(QPoint(0, 0));
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_EQ(b.frameGeometry().topLeft(), at);
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  box.SetAnchor(anchor).Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2);

  const QRect mw = main.frameGeometry();
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_EQ(b.frameGeometry().topLeft(),
              QPoint(mw.left() + mw.width() / 2 - 150, mw.top() + mw.height() / 2 - 50));
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  box.Ask(QStringLiteral("x"), QStringLiteral("y"), true, 2);

  // The main window as the anchor: centred over it all the same.
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_EQ(b.frameGeometry().topLeft(),
              QPoint(mw.left() + mw.width() / 2 - 150, mw.top() + mw.height() / 2 - 50));
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  box.AskStandard(QStringLiteral("x"), QStringLiteral("y"), 0x104, &main);

  // An anchor at the lower right corner: the window stays whole on the screen.
  main.setGeometry(screen.right() - 60, screen.bottom() - 40, 50, 30);
  anchor->setGeometry(0, 0, 10, 10);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return main.geometry().topLeft() == QPoint(screen.right() - 60, screen.bottom() - 40);
      },
      1000));
  whenOpen([&](TForm_MessageBox& b) {
    EXPECT_TRUE(screen.contains(b.frameGeometry()))
        << b.frameGeometry().x() << "," << b.frameGeometry().y();
    QTest::keyClick(&b, Qt::Key_Escape);
  });
  box.AskStandard(QStringLiteral("x"), QStringLiteral("y"), 0x104, anchor);
}

TEST_F(MessageBoxWindow, RealSeamShowsTheWindow) {
  // Without a scripted seam the questions reach the real window.
  whenOpen([](TForm_MessageBox& b) { QTest::mouseClick(b.button(0), Qt::LeftButton); });
  EXPECT_EQ(CModal::current().messageBox(ModalQuestion{QStringLiteral("t"),
                                                       QStringLiteral("x"),
                                                       true,
                                                       2,
                                                       {{QStringLiteral("A"), {}, 12}},
                                                       0,
                                                       nullptr}),
            12);
}

}  // namespace
