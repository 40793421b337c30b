// The cable editor dialog on the offscreen platform, questions through the seam.
#include "editor/TForm_EditCable.h"

#include <cstring>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "model/SListCables.h"
#include "settings/CProgramSettings.h"
#include "support/ScriptedModal.h"

namespace {

const QString kMarker = QStringLiteral(" (внесены изменения)");

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings().EditWindow_Top = -1;
    programSettings().EditWindow_Left = -1;
  }

  QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }

  ScriptedModal modal;
  TForm_EditCable editor;
  SListCables table;
};

struct ModeCase {
  EditorMode mode;
  QString caption;
  bool nameEnabled;
  bool groupsEnabled;
  bool doneShown;
  QString secondButton;
  bool renamePanel;
  bool resultOfDoneUnchanged;  // entry's result for Done without a change
};

TEST_F(EditorTest, ModesSetCaptionButtonsAndWhatCanBeEdited) {
  const std::vector<ModeCase> cases = {
      {EditorMode::New, QStringLiteral("Редактор кабеля"), true, true, true,
       QStringLiteral("Отмена"), false, true},
      {EditorMode::Edit, QStringLiteral("Редактор кабеля"), true, true, true,
       QStringLiteral("Отмена"), false, false},
      {EditorMode::Name, QStringLiteral("Редактор кабеля. Укажите имя"), true, false, true,
       QStringLiteral("Отмена"), true, true},
      {EditorMode::View, QStringLiteral("Просмотр кабеля"), false, false, false,
       QStringLiteral("Закрыть"), false, true},
  };
  for (const ModeCase& c : cases) {
    SCable rec = namedCable("A");
    rec.setR(0.01748f);
    const SCable before = rec;
    bool entry = false;
    runEditor(
        editor,
        [&] {
          switch (c.mode) {
            case EditorMode::New:
              return int(entry = editor.ExecuteNew(rec, &table, -1));
            case EditorMode::Edit:
              return int(entry = editor.ExecuteEdit(rec, &table, -1));
            case EditorMode::Name:
              return int(entry = editor.ExecuteName(rec, &table, -1));
            case EditorMode::View:
              return int(entry = editor.ExecuteView(rec, &table, -1));
          }
          return 0;
        },
        [&] {
          const int mode = int(c.mode);
          EXPECT_EQ(editor.windowTitle(), c.caption) << mode;
          EXPECT_EQ(editor.Edit_CableName->isEnabled(), c.nameEnabled) << mode;
          EXPECT_EQ(editor.GroupBox_TDR->isEnabled(), c.groupsEnabled) << mode;
          EXPECT_EQ(editor.GroupBox_DC->isEnabled(), c.groupsEnabled) << mode;
          EXPECT_EQ(editor.CheckBox_TDR->isEnabled(), c.groupsEnabled) << mode;
          EXPECT_EQ(editor.Button1->isVisible(), c.doneShown) << mode;
          EXPECT_EQ(editor.Button2->text(), c.secondButton) << mode;
          EXPECT_EQ(editor.Panel_RenameCableMessage->isVisible(), c.renamePanel) << mode;
          // Editable fields have the window colour, the others silver.
          EXPECT_EQ(base(editor.Edit_KU),
                    c.groupsEnabled ? editor.windowColour() : TForm_EditCable::silver())
              << mode;
          if (c.doneShown)
            editor.Button1->click();
          else
            key(editor.Edit_KU, Qt::Key_Escape);
        });
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(entry, c.resultOfDoneUnchanged) << int(c.mode);
    EXPECT_TRUE(rec.equals(before));
  }
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(editor.Panel_RenameCableMessage->text(), QStringLiteral("Введите подходящее имя"));
}

TEST_F(EditorTest, CaptionMarkerFollowsTheComparisonNotALatch) {
  SCable rec = namedCable("A");
  int result = 0;
  runEditor(
      editor, [&] { return result = editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        editor.Edit_KU->setText(QStringLiteral("1.6"));
        key(editor.Edit_KU, Qt::Key_Return);
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактор кабеля") + kMarker);
        EXPECT_EQ(editor.Edit_V->text(), QStringLiteral("187.5"));
        editor.Edit_KU->setText(QStringLiteral("1.5"));
        key(editor.Edit_KU, Qt::Key_Return);
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактор кабеля"));
        editor.Button1->click();
      });
  EXPECT_EQ(result, TForm_EditCable::Unchanged);
}

TEST_F(EditorTest, DoneWithAChangeWritesTheRecordBack) {
  SCable rec = namedCable("A");
  bool saved = false;
  runEditor(
      editor, [&] { return int(saved = editor.ExecuteEdit(rec, &table, -1)); },
      [&] {
        editor.Edit_V->setText(QStringLiteral("250"));
        key(editor.Edit_V, Qt::Key_Return);
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("1.200"));
        EXPECT_EQ(editor.Edit_V_2->text(), QStringLiteral("125.0"));
        EXPECT_EQ(editor.Edit_VOP->text(), QStringLiteral("0.8333"));
        editor.Button1->click();
      });
  EXPECT_TRUE(saved);
  EXPECT_FLOAT_EQ(rec.getKU(), 1.2f);
}

TEST_F(EditorTest, TypedZeroVelocityLeavesTheRecordAndShowsItAgain) {
  SCable rec = namedCable("A");
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        for (QLineEdit* e : {editor.Edit_V, editor.Edit_V_2, editor.Edit_VOP}) {
          e->setText(QStringLiteral("0"));
          key(e, Qt::Key_Return);
          EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("1.500"));
          EXPECT_NE(e->text(), QStringLiteral("0"));
        }
        EXPECT_FALSE(editor.modified());
        key(editor.Edit_KU, Qt::Key_Escape);
      });
}

struct NameCase {
  QString typed;
  QString message;
  bool red;
  std::string stored;
};

TEST_F(EditorTest, NameChecksShowTheirMessagesAndStoreTheSanitisedName) {
  ASSERT_TRUE(table.add(namedCable("Other")));
  ASSERT_TRUE(table.add(namedCable("Own")));
  const std::vector<NameCase> cases = {
      {QStringLiteral("A#B"), QStringLiteral("Недопустимые символы."), true, "A_B"},
      {QStringLiteral("1234567890123456"), QStringLiteral("Превышен размер имени."), true,
       "123456789012345"},
      {QStringLiteral("Other"), QStringLiteral("Повторяющееся название."), true, "Other"},
      {QStringLiteral("Own"), QString(), false, "Own"},
      {QStringLiteral("Ёлка"), QString(), false, "\xA8\xEB\xEA\xE0"},
  };
  SCable rec = namedCable("Own");
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, 1); },
      [&] {
        for (const NameCase& c : cases) {
          const std::string what = c.typed.toStdString();
          editor.Edit_CableName->setText(c.typed);
          EXPECT_EQ(editor.nameMessage(), c.message) << what;
          EXPECT_EQ(editor.Label_NameMessage->isVisible(), c.red) << what;
          EXPECT_EQ(base(editor.Edit_CableName),
                    c.red ? TForm_EditCable::red() : TForm_EditCable::white())
              << what;
          EXPECT_EQ(std::string(editor.work().name), c.stored) << what;
        }
        // Leaving the field shows the stored name; only a duplicate is still reported.
        editor.Edit_CableName->setText(QStringLiteral("A#B"));
        editor.RefreshField(EditorField::CableName);
        EXPECT_EQ(editor.Edit_CableName->text(), QStringLiteral("A_B"));
        EXPECT_FALSE(editor.Label_NameMessage->isVisible());
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактор кабеля") + kMarker);
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
  EXPECT_EQ(std::string(rec.name), "Own");
}

TEST_F(EditorTest, EnterInTheNameEndsNameModeEvenWithADuplicate) {
  ASSERT_TRUE(table.add(namedCable("B")));
  SCable rec = namedCable("B");
  bool taken = false;
  runEditor(
      editor, [&] { return int(taken = editor.ExecuteName(rec, &table, -1)); },
      [&] {
        EXPECT_EQ(editor.nameMessage(), QStringLiteral("Повторяющееся название."));
        key(editor.Edit_CableName, Qt::Key_Return);
      });
  EXPECT_TRUE(taken);
  EXPECT_FALSE(editor.isVisible());
}

TEST_F(EditorTest, UncheckingTdrAsksUnlessKuIsTheDefault) {
  SCable rec = namedCable("A", 1.7f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        modal.answerMessageBox(7);  // Нет
        editor.CheckBox_TDR->click();
        ASSERT_EQ(modal.asked().size(), 1u);
        const ScriptedModal::Asked& q = modal.last();
        EXPECT_EQ(q.question.text,
                  QStringLiteral("Параметры кабеля для TDR метода будут сброшены.\nПродолжить?"));
        EXPECT_EQ(q.question.title, QStringLiteral("Внимание!"));
        EXPECT_EQ(q.captions(),
                  (std::vector<QString>{QStringLiteral("Да"), QStringLiteral("Нет")}));
        EXPECT_EQ(q.question.anchor, editor.CheckBox_TDR);
        EXPECT_TRUE(editor.CheckBox_TDR->isChecked());
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("1.700"));

        modal.answerMessageBox(6);  // Да
        editor.CheckBox_TDR->click();
        EXPECT_FALSE(editor.CheckBox_TDR->isChecked());
        EXPECT_EQ(editor.work().getKU(), 0.0f);
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("---"));
        EXPECT_FALSE(editor.Panel_TDR->isVisible());

        // On again: the default, not the former value; off again asks nothing.
        editor.CheckBox_TDR->click();
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("1.500"));
        editor.CheckBox_TDR->click();
        EXPECT_EQ(modal.asked().size(), 2u);
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("---"));
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, DcCheckBoxGivesTheDefaultsAndAsksBeforeDroppingOwnData) {
  SCable rec = namedCable("A");
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::New, &table, -1); },
      [&] {
        EXPECT_EQ(editor.Edit_Rr_20degreeC_->text(), QStringLiteral("---"));
        EXPECT_EQ(editor.ComboBox_Material->currentText(), QStringLiteral("---"));
        editor.CheckBox_DC->click();
        EXPECT_EQ(editor.Edit_Rr_20degreeC_->text(), QStringLiteral("17.48"));
        EXPECT_EQ(editor.Edit_S->text(), QStringLiteral("1.000"));
        EXPECT_EQ(editor.ComboBox_Material->currentText(), QStringLiteral("Cu"));
        editor.Edit_S->setText(QStringLiteral("2"));
        key(editor.Edit_S, Qt::Key_Return);
        modal.answerMessageBox(7);
        editor.CheckBox_DC->click();
        EXPECT_TRUE(editor.CheckBox_DC->isChecked());
        EXPECT_EQ(editor.Edit_S->text(), QStringLiteral("2.000"));
        EXPECT_EQ(modal.last().question.anchor, editor.CheckBox_DC);
        modal.answerMessageBox(6);
        editor.CheckBox_DC->click();
        EXPECT_FALSE(editor.work().hasResistance());
        EXPECT_TRUE(editor.RadioButton_Rr_20degreeC_->isChecked());
        // Back to the record as it came: closing asks nothing.
        EXPECT_FALSE(editor.modified());
        editor.Button2->click();
      });
}

TEST_F(EditorTest, EscapeWithChangesWaitsAndTheCloseQuestionCanKeepTheDialog) {
  SCable rec = namedCable("A");
  const SCable before = rec;
  int result = 0;
  runEditor(
      editor, [&] { return result = editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        editor.Edit_KU->setText(QStringLiteral("2"));
        key(editor.Edit_KU, Qt::Key_Return);
        key(editor.Edit_KU, Qt::Key_Escape);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_TRUE(modal.asked().empty());

        modal.answerStandardBox(QMessageBox::Cancel);
        editor.Button2->click();
        ASSERT_EQ(modal.asked().size(), 1u);
        EXPECT_EQ(modal.last().text, QStringLiteral("Изменения будут потеряны. Закрыть окно?"));
        EXPECT_EQ(modal.last().title, QStringLiteral("Внимание"));
        EXPECT_EQ(modal.last().standardButtons, QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_TRUE(editor.isVisible());

        modal.answerStandardBox(QMessageBox::Ok);
        editor.reject();  // the close box
      });
  EXPECT_EQ(result, TForm_EditCable::Cancelled);
  EXPECT_TRUE(rec.equals(before));
}

TEST_F(EditorTest, UpAndDownStepWithAutoRepeatCounts) {
  SCable rec = namedCable("A");
  rec.setS(1.0f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        QLineEdit* s = editor.Edit_S;
        key(s, Qt::Key_Up);
        EXPECT_EQ(s->text(), QStringLiteral("1.001"));
        for (int i = 0; i < 99; ++i) key(s, Qt::Key_Up, true);
        EXPECT_EQ(s->text(), QStringLiteral("1.100"));
        // An auto-repeat reports a release too; that does not end the sequence.
        key(s, Qt::Key_Up, true, QEvent::KeyRelease);
        key(s, Qt::Key_Up, true);
        EXPECT_EQ(s->text(), QStringLiteral("1.104"));
        key(s, Qt::Key_Up, false, QEvent::KeyRelease);
        key(s, Qt::Key_Up);
        EXPECT_EQ(s->text(), QStringLiteral("1.105"));
        key(s, Qt::Key_Up, false, QEvent::KeyRelease);
        EXPECT_EQ(editor.keyRepeat().upCount(), 0);

        // A typed value is taken before the first step; Down steps V/2 under V.
        editor.Edit_KU->setText(QStringLiteral("1.5"));
        key(editor.Edit_V, Qt::Key_Down);
        EXPECT_EQ(editor.Edit_V->text(), QStringLiteral("199.8"));
        EXPECT_EQ(editor.Edit_V_2->text(), QStringLiteral("99.90"));
        key(editor.Edit_V, Qt::Key_Down, false, QEvent::KeyRelease);
        editor.Edit_KU->setText(QStringLiteral("2"));
        key(editor.Edit_KU, Qt::Key_Up);
        EXPECT_EQ(editor.Edit_KU->text(), QStringLiteral("2.001"));
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, WheelStepsOnlyTheFieldUnderThePointer) {
  SCable rec = namedCable("A");
  rec.setS(1.0f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        QLineEdit* ku = editor.Edit_KU;
        editor.activateWindow();
        ku->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(ku->hasFocus());
        wheel(ku, ku->rect().center(), 120);
        EXPECT_EQ(ku->text(), QStringLiteral("1.501"));
        EXPECT_EQ(ku->selectedText(), ku->text());
        wheel(ku, ku->rect().bottomRight() + QPoint(5, 5), 120);
        EXPECT_EQ(ku->text(), QStringLiteral("1.501"));
        wheel(ku, ku->rect().center(), -120);
        EXPECT_EQ(ku->text(), QStringLiteral("1.500"));

        editor.CheckBox_Rud->click();
        editor.Edit_Rud->setFocus();
        QApplication::processEvents();
        const QString rud = editor.Edit_Rud->text();
        wheel(editor.Edit_Rud, editor.Edit_Rud->rect().center(), 120);
        EXPECT_EQ(editor.Edit_Rud->text(), rud);
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, StoredQuantityIsWhiteAndTheRadioButtonsSwitchIt) {
  SCable rec = namedCable("A");
  rec.setS(1.0f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        EXPECT_TRUE(editor.RadioButton_S->isChecked());
        EXPECT_EQ(base(editor.Edit_S), TForm_EditCable::white());
        EXPECT_EQ(base(editor.Edit_Rr_20degreeC_), TForm_EditCable::silver());
        EXPECT_EQ(editor.Edit_AWG->text(), QStringLiteral("~17"));
        editor.Edit_Rr_20degreeC_->setText(QStringLiteral("20"));
        key(editor.Edit_Rr_20degreeC_, Qt::Key_Return);
        EXPECT_TRUE(editor.RadioButton_Rr_20degreeC_->isChecked());
        EXPECT_EQ(base(editor.Edit_Rr_20degreeC_), TForm_EditCable::white());
        EXPECT_EQ(base(editor.Edit_D), TForm_EditCable::silver());
        EXPECT_EQ(editor.Edit_S->text(), QStringLiteral("0.874"));
        editor.RadioButton_S->click();
        EXPECT_EQ(editor.work().sIsStored, 1);
        EXPECT_EQ(base(editor.Edit_S), TForm_EditCable::white());
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, MaterialBoxAsksBeforeLeavingAnOwnValueAndTypingGivesCopper) {
  SCable rec = namedCable("A");
  rec.setS(1.5f);
  rec.material.setRuOverride(0.02f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        QComboBox* box = editor.ComboBox_Material;
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(box->currentText(), QStringLiteral("Cu*"));
        EXPECT_TRUE(editor.CheckBox_Rud->isChecked());
        modal.answerStandardBox(QMessageBox::No);
        box->setCurrentIndex(6);
        ASSERT_EQ(modal.asked().size(), 1u);
        EXPECT_EQ(modal.last().text, QStringLiteral("Переключение на материал из таблицы сбросит "
                                                    "установленные данные. Вы уверены?"));
        EXPECT_TRUE(modal.last().title.isEmpty());
        EXPECT_EQ(box->currentText(), QStringLiteral("Cu*"));
        EXPECT_TRUE(editor.work().material.hasRuOverride());

        modal.answerStandardBox(QMessageBox::Yes);
        box->setCurrentIndex(6);  // Al AM: the derived R is snapped and stored
        EXPECT_EQ(box->currentText(), QStringLiteral("Al AM"));
        EXPECT_EQ(editor.Edit_Rr_20degreeC_->text(), QStringLiteral("18.67"));
        EXPECT_TRUE(editor.RadioButton_Rr_20degreeC_->isChecked());

        box->lineEdit()->setText(QStringLiteral("xyz"));
        emit box->lineEdit()->textEdited(QStringLiteral("xyz"));
        EXPECT_EQ(box->currentText(), QStringLiteral("Cu"));
        EXPECT_EQ(editor.work().material.index, 0);
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, EscapeInTheResistivityFieldReturnsToTheCatalogueValue) {
  SCable rec = namedCable("A");
  rec.setS(1.0f);
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        editor.CheckBox_Rud->click();
        EXPECT_EQ(base(editor.Edit_Rud), editor.windowColour());
        key(editor.Edit_Rud, Qt::Key_Up);
        EXPECT_EQ(editor.Edit_Rud->text(), QStringLiteral("17.49"));
        EXPECT_EQ(editor.ComboBox_Material->currentText(), QStringLiteral("Cu*"));
        // Back to the record's state: Escape then also closes, unasked.
        key(editor.Edit_Rud, Qt::Key_Escape);
      });
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(editor.work().material.hasRuOverride());
  EXPECT_TRUE(modal.asked().empty());
}

TEST_F(EditorTest, CharacterFilterAndHints) {
  SCable rec = namedCable("A");
  runEditor(
      editor, [&] { return editor.ShowWithMode(rec, EditorMode::Edit, &table, -1); },
      [&] {
        QLineEdit* ku = editor.Edit_KU;
        ku->clear();
        typeInto(ku, QStringLiteral("1,5,.x e-2"));
        EXPECT_EQ(ku->text(), QStringLiteral("1.52"));
        editor.activateWindow();
        ku->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(editor.LabelHint->text(), TForm_EditCable::FieldHint(EditorField::KU));
        editor.Edit_CableName->setFocus();  // leaving applies the typed text
        QApplication::processEvents();
        EXPECT_EQ(ku->text(), QStringLiteral("1.520"));
        EXPECT_TRUE(editor.LabelHint->text().isEmpty());
        EXPECT_EQ(editor.Label_KU->toolTip(), TForm_EditCable::FieldHint(EditorField::KU));
        EXPECT_EQ(editor.TntLabel_S->text(), QStringLiteral("Сечение, мм²:"));
        modal.answerStandardBox(QMessageBox::Ok);
        editor.Button2->click();
      });
}

TEST_F(EditorTest, ControlsCarryTheirDesignNames) {
  for (const char* name : {"Edit_CableName",
                           "CheckBox_TDR",
                           "GroupBox_TDR",
                           "Panel_TDR",
                           "Edit_KU",
                           "Edit_VOP",
                           "Edit_V_2",
                           "Edit_V",
                           "PanelHint",
                           "LabelHint",
                           "CheckBox_DC",
                           "GroupBox_DC",
                           "Panel_DC",
                           "RadioButton_Rr_20degreeC_",
                           "Edit_Rr_20degreeC_",
                           "RadioButton_S",
                           "GroupBox_S",
                           "Edit_D",
                           "Edit_S",
                           "Edit_AWG",
                           "GroupBox_Material",
                           "ComboBox_Material",
                           "Edit_Rud",
                           "CheckBox_Rud",
                           "Edit_TC",
                           "CheckBox_TC",
                           "Edit_K_TWISTING",
                           "Button1",
                           "Button2",
                           "Panel_RenameCableMessage",
                           "Label_NameMessage"})
    EXPECT_NE(editor.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(editor.ComboBox_Material->count(), 8);
  EXPECT_EQ(editor.ComboBox_Material->itemText(2), QStringLiteral("Cu M1E"));
  // The design size at 96 dpi, unless this system's fonts need more.
  EXPECT_GE(editor.width(), 381);
  EXPECT_GE(editor.height(), 481);
}

TEST_F(EditorTest, FirstShowingUsesTheStoredPositionAndClosingStoresIt) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  programSettings().EditWindow_Left = screen.left() + 40;
  programSettings().EditWindow_Top = screen.top() + 30;
  TForm_EditCable fresh;
  SCable rec = namedCable("A");
  runEditor(
      fresh, [&] { return fresh.ShowWithMode(rec, EditorMode::View, nullptr, -1); },
      [&] {
        EXPECT_EQ(fresh.pos(), QPoint(screen.left() + 40, screen.top() + 30));
        fresh.move(screen.left() + 60, screen.top() + 50);
        key(fresh.Button2, Qt::Key_Escape);
      });
  EXPECT_EQ(programSettings().EditWindow_Left, screen.left() + 60);
  EXPECT_EQ(programSettings().EditWindow_Top, screen.top() + 50);

  // A position off every screen comes back fully onto one.
  TForm_EditCable lost;
  programSettings().EditWindow_Left = screen.right() + 5000;
  programSettings().EditWindow_Top = screen.bottom() + 5000;
  runEditor(
      lost, [&] { return lost.ShowWithMode(rec, EditorMode::View, nullptr, -1); },
      [&] {
        EXPECT_TRUE(screen.contains(QRect(lost.pos(), lost.size())));
        key(lost.Button2, Qt::Key_Escape);
      });
}

}  // namespace
