// "КУ по длине" in the cable editor: the KU from a cable of known length goes in
// as a typed KU would.
#include <string>
#include <vector>

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "editor/KuFromLengthPanel.h"
#include "editor/TForm_EditCable.h"
#include "settings/CProgramSettings.h"
#include "support/ScriptedModal.h"

namespace {

const QString kMarker = QStringLiteral(" (внесены изменения)");

class KuFromLengthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings().EditWindow_Top = -1;
    programSettings().EditWindow_Left = -1;
  }

  // Opens the panel and fills it in; the source is picked as a user would.
  void enter(const QString& length, KuFromLengthPanel::Source source, const QString& measured) {
    editor.Button_KuFromLength->click();
    KuFromLengthPanel* p = editor.Panel_KuFromLength;
    ASSERT_TRUE(p->isVisible());
    p->ComboBox_Source->setCurrentIndex(source);
    p->Edit_TrueLength->setText(length);
    p->Edit_Measured->setText(measured);
    p->recalculate();
  }

  ScriptedModal modal;
  TForm_EditCable editor;
};

}  // namespace

TEST_F(KuFromLengthTest, TheNewKuIsShownFirstAndAppliedAsATypedKu) {
  struct Case {
    const char* what;
    float ku;
    QString length;
    KuFromLengthPanel::Source source;
    QString measured;
    QString shown;  // the panel's answer before "Применить"
    float stored;
    QString kuText;
  };
  const Case cases[] = {
      {"shown length", 1.5f, "100", KuFromLengthPanel::ShownLength, "110", "Новый КУ: 1.650", 1.65f,
       "1.650"},
      {"reflection time", 1.5f, "100", KuFromLengthPanel::ReflectionTime, "1.1", "Новый КУ: 1.650",
       1.65f, "1.650"},
      // 1.5 × 123.456 / 100 = 1.85184 goes onto the field's grid.
      {"onto the grid", 1.5f, "100", KuFromLengthPanel::ShownLength, "123,456", "Новый КУ: 1.852",
       1.852f, "1.852"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SCable rec = namedCable("A", c.ku);
    const int result = runEditor(
        editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, nullptr, -1); },
        [&] {
          enter(c.length, c.source, c.measured);
          KuFromLengthPanel* p = editor.Panel_KuFromLength;
          EXPECT_EQ(c.shown, p->Label_Result->text());
          EXPECT_EQ(c.ku, editor.work().getKU()) << "nothing changes before Применить";
          EXPECT_FALSE(editor.windowTitle().endsWith(kMarker));

          p->Button_Apply->click();
          EXPECT_FALSE(p->isVisible());
          EXPECT_EQ(c.stored, editor.work().getKU());
          EXPECT_EQ(c.kuText, editor.Edit_KU->text());
          EXPECT_TRUE(editor.windowTitle().endsWith(kMarker));
          editor.Button1->click();
        });
    EXPECT_EQ(TForm_EditCable::Saved, result);
    EXPECT_EQ(c.stored, rec.getKU());
  }
}

TEST_F(KuFromLengthTest, BadInputSaysWhatIsWrongAndChangesNothing) {
  struct Case {
    QString length;
    KuFromLengthPanel::Source source;
    QString measured;
    QString problem;
  };
  const Case cases[] = {
      {"0", KuFromLengthPanel::ShownLength, "110",
       QStringLiteral("Длина кабеля должна быть больше нуля.")},
      {"100", KuFromLengthPanel::ShownLength, "-5",
       QStringLiteral("Длина по прибору должна быть больше нуля.")},
      {"100", KuFromLengthPanel::ShownLength, "",
       QStringLiteral("Введите длину, которую показал прибор, в метрах.")},
      {"100", KuFromLengthPanel::ReflectionTime, "5",
       QStringLiteral("КУ выходит 7.500, а должен быть от 1 до 7.")},
  };
  SCable rec = namedCable("A", 1.5f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, nullptr, -1); },
      [&] {
        for (const Case& c : cases) {
          SCOPED_TRACE(c.problem.toStdString());
          enter(c.length, c.source, c.measured);
          KuFromLengthPanel* p = editor.Panel_KuFromLength;
          p->Button_Apply->click();
          EXPECT_EQ(c.problem, p->Label_Result->text());
          EXPECT_TRUE(p->isVisible());
          EXPECT_EQ(1.5f, editor.work().getKU());
          EXPECT_EQ(QStringLiteral("1.500"), editor.Edit_KU->text());
          EXPECT_FALSE(editor.windowTitle().endsWith(kMarker));
          p->close();
        }
        editor.Button2->click();
      });
  EXPECT_EQ(1.5f, rec.getKU());
}

TEST_F(KuFromLengthTest, OnlyAnEditableRecordWithKuOffersIt) {
  SCable rec = namedCable("A", 1.5f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::View, nullptr, -1); },
      [&] {
        EXPECT_FALSE(editor.Button_KuFromLength->isEnabled());
        editor.Button2->click();
      });
  SCable noKu = namedCable("B", 0.0f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(noKu, EditorMode::Edit, nullptr, -1); },
      [&] {
        EXPECT_FALSE(editor.Button_KuFromLength->isVisible()) << "hidden with the TDR fields";
        editor.Button2->click();
      });
}

TEST_F(KuFromLengthTest, NothingIsClipped) {
  SCable rec = namedCable("A", 1.5f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, nullptr, -1); },
      [&] {
        QPushButton* b = editor.Button_KuFromLength;
        EXPECT_TRUE(editor.Panel_TDR->rect().contains(b->geometry()));
        EXPECT_GE(b->width(), b->sizeHint().width());
        EXPECT_GE(b->height(), b->sizeHint().height());
        // The TDR group still holds all of its fields at their full height.
        for (QLineEdit* e : {editor.Edit_KU, editor.Edit_VOP, editor.Edit_V_2, editor.Edit_V}) {
          EXPECT_TRUE(editor.Panel_TDR->rect().contains(e->geometry()));
          EXPECT_GE(e->height(), e->sizeHint().height());
          EXPECT_FALSE(e->geometry().intersects(b->geometry()));
        }

        editor.Button_KuFromLength->click();
        KuFromLengthPanel* p = editor.Panel_KuFromLength;
        const QLabel* answer = p->Label_Result;
        // Every problem text fits the answer's two lines.
        for (const char* text :
             {"Введите длину кабеля в метрах.", "Длина кабеля должна быть больше нуля.",
              "Введите длину, которую показал прибор, в метрах.",
              "Длина по прибору должна быть больше нуля.", "Введите время отражения в мкс.",
              "Время отражения должно быть больше нуля.",
              "У записи нет КУ от 1 до 7: введите время отражения.",
              "КУ выходит больше миллиона, а должен быть от 1 до 7."}) {
          const QRect need = QFontMetrics(answer->font())
                                 .boundingRect(QRect(0, 0, answer->width(), 1000), Qt::TextWordWrap,
                                               QString::fromUtf8(text));
          EXPECT_LE(need.height(), answer->height()) << text;
        }
        for (QWidget* w : p->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
          EXPECT_TRUE(p->rect().contains(w->geometry())) << w->metaObject()->className();
          EXPECT_GE(w->width(), std::min(w->sizeHint().width(), w->maximumWidth()))
              << w->metaObject()->className();
        }
        p->close();
        editor.Button2->click();
      });
}
