// Copying the selected records of one pane to the other, with the real cable editor
// and the name question answered through the modal seam.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "editor/TForm_EditCable.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

namespace {

// Plays the user in the cable editor each time it opens, one scripted step per
// opening; every step ends the dialog. An opening without a step fails the test.
class EditorScript : public QObject {
 public:
  explicit EditorScript(TForm_EditCable& editor) : editor_(editor) {
    editor_.installEventFilter(this);
  }
  ~EditorScript() override {
    editor_.removeEventFilter(this);
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " editor step(s) never ran";
  }

  // "Готово" with the name as proposed.
  EditorScript& keep() {
    steps_.push_back([](TForm_EditCable& e) { e.Button1->click(); });
    return *this;
  }
  EditorScript& rename(const QString& name) {
    steps_.push_back([name](TForm_EditCable& e) {
      e.Edit_CableName->setText(name);
      e.Button1->click();
    });
    return *this;
  }
  EditorScript& cancel() {
    steps_.push_back([](TForm_EditCable& e) { e.Button2->click(); });
    return *this;
  }

  int openings = 0;
  std::vector<QString> captions;  // the window title at each opening

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &editor_ && event->type() == QEvent::Show) {
      ++openings;
      captions.push_back(editor_.windowTitle());
      QTimer::singleShot(0, &editor_, [this] { runNext(); });
    }
    return false;
  }

 private:
  void runNext() {
    if (steps_.empty()) {
      ADD_FAILURE() << "the editor opened without a scripted step";
    } else {
      const auto step = steps_.front();
      steps_.pop_front();
      step(editor_);
    }
    if (editor_.isVisible()) editor_.done(TForm_EditCable::Cancelled);
  }

  TForm_EditCable& editor_;
  std::deque<std::function<void(TForm_EditCable&)>> steps_;
};

// The results of the name question's buttons: captions alone, numbered from 3.
namespace one {  // one record selected: five buttons
constexpr int kOk = 3, kIgnore = 4, kIgnoreForGood = 5, kSkip = 6, kAbort = 7;
}
namespace several {  // several records selected: seven buttons
constexpr int kIgnoreAll = 5, kSkipAll = 8, kAbort = 9;
}
constexpr int kEscape = 2;

const QString kQuestion =
    QStringLiteral("Запись с таким именем в таблице уже есть.\nВведите другое имя.");

class PaneCopyTest : public ::testing::Test {
 protected:
  void SetUp() override { resetProgramSettings(); }

  // A new table in pane p with records of these names; the right pane's records
  // get another KU, so that a name they share with the left is not an equal record.
  void fill(int p, std::initializer_list<const char*> names) {
    TFrameCableList& target = host.pane(p);
    target.NewExecute();
    for (const char* n : names)
      ASSERT_TRUE(target.appendRecord(namedCable(n, p == 0 ? 1.5f : 1.6f)));
    host.refreshedFrom.clear();
  }

  void selectAllLeft() {
    left.setSelection(std::vector<bool>(static_cast<std::size_t>(left.table().getCount()), true));
  }

  std::vector<std::string> names(const TFrameCableList& p) {
    std::vector<std::string> out;
    for (int i = 0; i < p.table().getCount(); ++i) out.emplace_back(p.table().at(i).name);
    return out;
  }

  ScriptedModal modal;
  TForm_EditCable editor;
  PaneTestHost host{true};
  TFrameCableList& left = host.pane(0);
  TFrameCableList& right = host.pane(1);
};

using Names = std::vector<std::string>;

TEST_F(PaneCopyTest, IntoAPaneWithoutATableMakesOneAndOneUndoEmptiesIt) {
  fill(0, {"A", "B", "C"});
  selectAllLeft();
  left.refreshCommands();
  ASSERT_TRUE(host.copy[0]->isEnabled());
  EditorScript script(editor);

  left.copySelectedTo(right);

  ASSERT_TRUE(right.tableOpen());
  ASSERT_EQ(right.table().getCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(right.table().at(i).equals(left.table().at(i))) << i;
  expectRowsMatchTable(right);
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(script.openings, 0);
  EXPECT_EQ(left.selection(), std::vector<bool>(3, true)) << "the source keeps its selection";
  // Everything selected is in the right table now: nothing more to copy.
  EXPECT_FALSE(host.copy[0]->isEnabled());
  // The source is refreshed once for the whole copy, not once for every record.
  EXPECT_EQ(std::count(host.refreshedFrom.begin(), host.refreshedFrom.end(), 1), 1);
  EXPECT_EQ(right.history().count(), 1);
  EXPECT_EQ(right.history().undoText(), "Отмена действия: \"Добавление 3 записей\"");
  EXPECT_TRUE(right.Action_Undo->isEnabled());
  EXPECT_EQ(right.EditFileName->text(), QStringLiteral("*таблица не сохранена*"));

  right.Action_UndoExecute();
  EXPECT_EQ(right.table().getCount(), 0);
  expectRowsMatchTable(right);
  EXPECT_TRUE(host.copy[0]->isEnabled());
}

TEST_F(PaneCopyTest, EqualRecordsAreLeftOutWithoutAWordAndAddNoHistoryStep) {
  fill(0, {"A", "B"});
  right.NewExecute();
  ASSERT_TRUE(right.appendRecord(left.table().at(0)));  // A, unchanged
  selectAllLeft();
  EditorScript script(editor);

  left.copySelectedTo(right);
  EXPECT_EQ(names(right), (Names{"A", "B"}));
  EXPECT_EQ(right.history().count(), 1);
  EXPECT_EQ(right.history().undoText(), "Отмена действия: \"Добавление записи 2: \"B\"\"");

  // Now both are there: the copy changes nothing and records nothing.
  left.copySelectedTo(right);
  EXPECT_EQ(names(right), (Names{"A", "B"}));
  EXPECT_EQ(right.history().count(), 1);
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(script.openings, 0);
}

TEST_F(PaneCopyTest, WithSameNamesAllowedUsedNamesAreCopiedWithoutAsking) {
  fill(0, {"A", "B"});
  fill(1, {"A", "B"});
  programSettings().SetAllowSameNames(true);
  selectAllLeft();
  EditorScript script(editor);

  left.copySelectedTo(right);

  EXPECT_EQ(names(right), (Names{"A", "B", "A", "B"}));
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(script.openings, 0);
}

// One selected record whose name the right table uses: the editor, then the
// question with five buttons.
struct OneRecordCase {
  const char* label;
  int answer;
  Names rightAfter;
  bool allowSameNamesAfter;
};

class OneUsedNameTest : public PaneCopyTest, public ::testing::WithParamInterface<OneRecordCase> {};

TEST_P(OneUsedNameTest, TheAnswerDecides) {
  const OneRecordCase& c = GetParam();
  QAction allowItem(nullptr);  // the settings menu's check mark goes with the setting
  allowItem.setCheckable(true);
  programSettings().bindActions(&allowItem, nullptr, nullptr);
  fill(0, {"A"});
  fill(1, {"A"});
  selectAllLeft();
  EditorScript script(editor);
  script.keep();
  modal.answerMessageBox(c.answer);

  left.copySelectedTo(right);

  EXPECT_EQ(script.captions, std::vector<QString>{QStringLiteral("Редактор кабеля. Укажите имя")});
  ASSERT_EQ(modal.asked().size(), 1u);
  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(q.question.title, QStringLiteral("Внимание"));
  EXPECT_EQ(q.question.text, kQuestion);
  EXPECT_TRUE(q.question.wordWrap);
  EXPECT_EQ(q.question.alignment, 2);
  EXPECT_EQ(q.question.flags, 0u) << "the first button has the focus";
  EXPECT_EQ(q.question.anchor, nullptr) << "centred over the main window";
  EXPECT_EQ(q.captions(),
            (std::vector<QString>{QStringLiteral("Хорошо"), QStringLiteral("Игнорировать"),
                                  QStringLiteral("Игнорировать и больше не спрашивать"),
                                  QStringLiteral("Пропустить"), QStringLiteral("Прервать")}));
  EXPECT_EQ(q.question.buttons[2].hint,
            QStringLiteral("Изменяет соответсвующую настройку программы"));

  EXPECT_EQ(names(right), c.rightAfter);
  expectRowsMatchTable(right);
  EXPECT_EQ(programSettings().AllowSameNames, c.allowSameNamesAfter);
  EXPECT_EQ(allowItem.isChecked(), c.allowSameNamesAfter);
  EXPECT_EQ(right.history().count(), c.rightAfter.size() > 1 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OneUsedNameTest,
    ::testing::Values(OneRecordCase{"Skip", one::kSkip, {"A"}, false},
                      OneRecordCase{"Abort", one::kAbort, {"A"}, false},
                      OneRecordCase{"Ignore", one::kIgnore, {"A", "A"}, false},
                      OneRecordCase{"IgnoreForGood", one::kIgnoreForGood, {"A", "A"}, true}),
    [](const ::testing::TestParamInfo<OneRecordCase>& info) { return info.param.label; });

TEST_F(PaneCopyTest, SkipAllSkipsLaterUsedNamesWithoutTheEditorButCopiesFreeOnes) {
  fill(0, {"A", "B", "C", "D"});
  fill(1, {"A", "B", "D"});
  selectAllLeft();
  EditorScript script(editor);
  script.keep();  // A only
  modal.answerMessageBox(several::kSkipAll);

  left.copySelectedTo(right);

  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().captions(),
            (std::vector<QString>{QStringLiteral("Хорошо"), QStringLiteral("Игнорировать"),
                                  QStringLiteral("Игнорировать для всех"),
                                  QStringLiteral("Игнорировать и больше не спрашивать"),
                                  QStringLiteral("Пропустить"), QStringLiteral("Пропустить все"),
                                  QStringLiteral("Прервать")}));
  EXPECT_EQ(script.openings, 1);
  EXPECT_EQ(names(right), (Names{"A", "B", "D", "C"}));
  EXPECT_EQ(right.history().count(), 1);
}

TEST_F(PaneCopyTest, IgnoreForAllCopiesTheLaterUsedNamesOfThisCopyOnly) {
  fill(0, {"A", "B"});
  fill(1, {"A", "B"});
  selectAllLeft();
  EditorScript script(editor);
  script.keep();
  modal.answerMessageBox(several::kIgnoreAll);

  left.copySelectedTo(right);
  EXPECT_EQ(names(right), (Names{"A", "B", "A", "B"}));
  EXPECT_EQ(script.openings, 1);
  EXPECT_FALSE(programSettings().AllowSameNames) << "only for this copy";

  // The next copy asks again (about the first record not yet there unchanged).
  left.setSelection({true, false});
  right.Action_UndoExecute();
  script.cancel();
  left.copySelectedTo(right);
  EXPECT_EQ(script.openings, 2);
  EXPECT_EQ(names(right), (Names{"A", "B"}));
}

TEST_F(PaneCopyTest, AbortOnTheThirdOfFiveKeepsTheFirstTwoAndOneUndoRemovesBoth) {
  fill(0, {"A", "B", "C", "D", "E"});
  fill(1, {"C"});
  selectAllLeft();
  EditorScript script(editor);
  script.keep();
  modal.answerMessageBox(several::kAbort);

  left.copySelectedTo(right);

  EXPECT_EQ(names(right), (Names{"C", "A", "B"}));
  EXPECT_EQ(right.history().count(), 1);
  right.Action_UndoExecute();
  EXPECT_EQ(names(right), (Names{"C"}));
  expectRowsMatchTable(right);
}

TEST_F(PaneCopyTest, CancellingTheEditorSkipsThatRecordWithoutTheQuestion) {
  fill(0, {"A", "B"});
  fill(1, {"A"});
  selectAllLeft();
  EditorScript script(editor);
  script.cancel();

  left.copySelectedTo(right);

  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(names(right), (Names{"A", "B"}));
}

// "Хорошо", Escape and the close button all send the user back to the editor; a
// free name given there is copied without a second question.
class BackToTheEditorTest : public PaneCopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(BackToTheEditorTest, ThenAFreeNameIsCopied) {
  fill(0, {"A"});
  fill(1, {"A"});
  selectAllLeft();
  EditorScript script(editor);
  script.keep().rename(QStringLiteral("A2"));
  modal.answerMessageBox(GetParam());

  left.copySelectedTo(right);

  EXPECT_EQ(script.openings, 2);
  EXPECT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(names(right), (Names{"A", "A2"}));
  EXPECT_EQ(std::string(left.table().at(0).name), "A") << "the source record keeps its name";
}

INSTANTIATE_TEST_SUITE_P(Answers, BackToTheEditorTest, ::testing::Values(one::kOk, kEscape),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == kEscape ? "Escape" : "Ok";
                         });

TEST_F(PaneCopyTest, AFullDestinationEndsTheCopyKeepsWhatFitAndSaysSo) {
  fill(0, {"A", "B", "C", "D", "E"});
  right.NewExecute();
  const int room = 2;
  const int max = right.table().maxCount();
  for (int i = 0; i < max - room - 1; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "N%d", i);
    ASSERT_TRUE(right.appendRecord(namedCable(name, 1.6f)));
  }
  // C's name is used there: a full table must not send the user to the editor for it.
  ASSERT_TRUE(right.appendRecord(namedCable("C", 1.6f)));
  const int before = right.table().getCount();
  selectAllLeft();
  EditorScript script(editor);
  modal.answerStandardBox(QMessageBox::Ok);

  left.copySelectedTo(right);

  ASSERT_EQ(right.table().getCount(), max);
  EXPECT_EQ(right.ListBox->model()->rowCount(), max);
  EXPECT_EQ(std::string(right.table().at(max - 2).name), "A");
  EXPECT_EQ(std::string(right.table().at(max - 1).name), "B");
  EXPECT_EQ(script.openings, 0);
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().kind, ScriptedModal::Kind::StandardBox);
  EXPECT_EQ(modal.last().standardKind, StandardBoxKind::Warning);
  EXPECT_TRUE(modal.last().text.contains(QStringLiteral("2023")))
      << modal.last().text.toStdString();
  EXPECT_TRUE(modal.last().text.contains(QStringLiteral("Скопировано записей: 2")));
  EXPECT_EQ(right.history().count(), 1);

  right.Action_UndoExecute();
  EXPECT_EQ(right.table().getCount(), before);
  expectRowsMatchTable(right);
}

}  // namespace
