#include "dialogs/TForm_About.h"

#include <functional>
#include <vector>

#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Takes the links the window opens, so that no mail program or browser starts.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  UrlRecorder() {
    for (const char* scheme : {"mailto", "http", "https"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
  }
  ~UrlRecorder() override {
    for (const char* scheme : {"mailto", "http", "https"})
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

namespace {

const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);

QColor textColor(const QLineEdit* e) { return e->palette().color(QPalette::Text); }

void moveOver(QWidget* w, QPoint at = QPoint(2, 2)) {
  QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

class AboutTest : public testing::Test {
 protected:
  void showActive() {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  UrlRecorder recorder;
  TForm_About form{QStringLiteral("1.1.0.0"), CProgramInfo::parseBuildDate("Nov 14 2023"), 2023};
};

TEST_F(AboutTest, ShowsProgramFacts) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе"));
  EXPECT_EQ(form.Label_Name->text(), QStringLiteral("Редактор кабелей для ВИРД-50."));
  EXPECT_EQ(form.Label_Version->text(), QStringLiteral("Версия: 1.1.0.0"));
  EXPECT_EQ(form.Label_Date->text(),
            QStringLiteral("Дата: ") +
                QLocale::system().toString(QDate(2023, 11, 14), QLocale::ShortFormat));
  EXPECT_EQ(form.Label_Copyright->text(), TForm_About::copyrightPrefix() + QStringLiteral("2023"));
  EXPECT_EQ(form.Label6->text(), QStringLiteral("С нами можно связаться:"));
  // Fixed border, client area as designed.
  EXPECT_EQ(form.minimumSize(), QSize(435, 297));
  EXPECT_EQ(form.maximumSize(), QSize(435, 297));
}

TEST_F(AboutTest, ContactsAreShownWhole) {
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  for (QLineEdit* field : {form.Edit2, form.Edit3, form.Edit_Mail, form.Edit1, form.Edit4}) {
    SCOPED_TRACE(field->text().toStdString());
    EXPECT_FALSE(field->text().isEmpty());
    EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), field->width() - 4);
    EXPECT_TRUE(form.Panel1->rect().contains(field->geometry()));
  }
  EXPECT_LT(form.Edit_Mail->geometry().right(), form.Edit1->x());
  EXPECT_EQ(form.Edit_Mail->x(), 88);
}

TEST(About, WithoutVersionTheLabelIsBare) {
  TForm_About form(QString(), QDate(), 0);
  EXPECT_EQ(form.Label_Version->text(), QStringLiteral("Версия: "));
}

TEST(About, ReadsTheProgramInformation) {
  TForm_About form;
  const CProgramInfo& info = programInfo();
  EXPECT_EQ(form.Label_Version->text(), QStringLiteral("Версия: ") + info.Version());
  EXPECT_EQ(form.Label_Date->text(),
            QStringLiteral("Дата: ") +
                QLocale::system().toString(info.BuildDate(), QLocale::ShortFormat));
  EXPECT_TRUE(form.Label_Copyright->text().endsWith(QString::number(info.BuildYear())));
}

TEST_F(AboutTest, CloseHasTheFocusEachTimeItIsShown) {
  showActive();
  EXPECT_EQ(QApplication::focusWidget(), form.Button_Close);
  form.Edit1->setFocus();
  form.hide();
  form.show();
  EXPECT_EQ(form.focusWidget(), form.Button_Close);  // what the window focuses when active
}

TEST_F(AboutTest, ClosingResults) {
  struct Case {
    const char* name;
    std::function<void(TForm_About&)> act;
    int result;
  };
  const Case cases[] = {
      {"Close button", [](TForm_About& f) { QTest::mouseClick(f.Button_Close, Qt::LeftButton); },
       1},
      {"Space on Close", [](TForm_About& f) { QTest::keyClick(f.Button_Close, Qt::Key_Space); }, 1},
      {"Escape on Close", [](TForm_About& f) { QTest::keyClick(f.Button_Close, Qt::Key_Escape); },
       2},
      {"Escape in a field", [](TForm_About& f) { QTest::keyClick(f.Edit2, Qt::Key_Escape); }, 2},
      {"Escape in a link", [](TForm_About& f) { QTest::keyClick(f.Edit_Mail, Qt::Key_Escape); }, 2},
      {"Window closed", [](TForm_About& f) { f.close(); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    showActive();
    form.setResult(-1);
    c.act(form);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), c.result);
  }
}

TEST_F(AboutTest, EscapeGoesNoFurther) {
  showActive();
  QSignalSpy finished(&form, &QDialog::finished);
  // A key the field ignored would travel on to the window and close it a second time.
  QTest::keyClick(form.Edit2, Qt::Key_Escape);
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 2);
}

TEST_F(AboutTest, LinksOpenAndTurnNavy) {
  struct Case {
    QLineEdit* TForm_About::*field;
    const char* url;
  };
  const Case cases[] = {{&TForm_About::Edit_Mail, "mailto:info@example.com"},
                        {&TForm_About::Edit1, "mailto:support@example.com"},
                        {&TForm_About::Edit4, "http://www.example.com"}};
  showActive();
  for (const Case& c : cases) {
    QLineEdit* field = form.*c.field;
    SCOPED_TRACE(field->text().toStdString());
    EXPECT_EQ(textColor(field), kBlue);
    recorder.urls.clear();
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_EQ(recorder.urls.size(), 1u);
    EXPECT_EQ(recorder.urls[0], QUrl(QString::fromLatin1(c.url)));
    EXPECT_EQ(textColor(field), kNavy);
  }
}

TEST_F(AboutTest, PlainFieldsSelectAllAndOpenNothing) {
  showActive();
  for (QLineEdit* field : {form.Edit2, form.Edit3}) {
    SCOPED_TRACE(field->text().toStdString());
    ASSERT_FALSE(field->text().isEmpty());
    form.Button_Close->setFocus();
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() / 2, 5));
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_NE(textColor(field), kNavy);
  }
  form.Button_Close->setFocus();
  QTest::keyClick(form.Button_Close, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), form.Edit2);
  EXPECT_EQ(form.Edit2->selectedText(), form.Edit2->text());
  EXPECT_TRUE(recorder.urls.empty());
}

TEST_F(AboutTest, TabSkipsTheFirstMailAndTheSite) {
  showActive();
  std::vector<QWidget*> visited;
  for (int k = 0; k < 6; ++k) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  const std::vector<QWidget*> cycle = {form.Edit2,        form.Edit3, form.Edit1,
                                       form.Button_Close, form.Edit2, form.Edit3};
  EXPECT_EQ(visited, cycle);
  // Still reachable by the mouse.
  QTest::mouseClick(form.Edit4, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(QApplication::focusWidget(), form.Edit4);
}

TEST_F(AboutTest, HoverHighlightsOneLinkUntilThePanelIsReached) {
  auto underlined = [](const QLineEdit* e) { return e->font().underline(); };
  const Qt::CursorShape normal = form.Edit_Mail->cursor().shape();
  ASSERT_NE(normal, Qt::PointingHandCursor);
  EXPECT_EQ(form.highlightedLink(), nullptr);

  moveOver(form.Edit_Mail);
  EXPECT_EQ(form.highlightedLink(), form.Edit_Mail);
  EXPECT_TRUE(underlined(form.Edit_Mail));
  EXPECT_EQ(form.Edit_Mail->cursor().shape(), Qt::PointingHandCursor);

  // Straight onto the next link: the first stays highlighted, the second is not.
  moveOver(form.Edit1);
  EXPECT_EQ(form.highlightedLink(), form.Edit_Mail);
  EXPECT_TRUE(underlined(form.Edit_Mail));
  EXPECT_FALSE(underlined(form.Edit1));

  // Over a field that is not a link: nothing changes either.
  moveOver(form.Edit2);
  EXPECT_EQ(form.highlightedLink(), form.Edit_Mail);

  moveOver(form.Panel1, QPoint(300, 5));
  EXPECT_EQ(form.highlightedLink(), nullptr);
  EXPECT_FALSE(underlined(form.Edit_Mail));
  EXPECT_EQ(form.Edit_Mail->cursor().shape(), normal);

  moveOver(form.Edit4);
  EXPECT_EQ(form.highlightedLink(), form.Edit4);
  EXPECT_TRUE(underlined(form.Edit4));
  moveOver(form.Panel1, QPoint(300, 5));
  EXPECT_FALSE(underlined(form.Edit4));
  EXPECT_TRUE(recorder.urls.empty());
}

TEST(About, LogoIsDrawnOnTransparency) {
  const QImage logo = TForm_About::drawLogo().toImage();
  ASSERT_EQ(logo.size(), QSize(128, 34));
  ASSERT_TRUE(logo.hasAlphaChannel());
  EXPECT_EQ(qAlpha(logo.pixel(127, 0)), 0);
  EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
  int opaque = 0;
  for (int y = 0; y < logo.height(); ++y)
    for (int x = 0; x < logo.width(); ++x) opaque += qAlpha(logo.pixel(x, y)) > 128;
  EXPECT_GT(opaque, 300);  // the cable and the lettering
  EXPECT_LT(opaque, 128 * 34 / 2);
}

}  // namespace

#include "TForm_About_test.moc"
