// Drives the main window the way a person does: clicks, keys, typed text (Chinese text arrives
// as an input method's commit, as it does from a Chinese keyboard), choosing from drop-downs.
// The window is shown and active, so that clicks and Tab move the keyboard focus for real.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "timetable/kc_dlg.h"
#include "timetable/kc_dlg_ids.h"

namespace brenlow::testing {

using namespace kc_dlg_ids;

// The main window on store after the start-up order: classes, teachers, first class, first load.
class EditorDriver {
 public:
  explicit EditorDriver(const Store& store) : window_(std::make_unique<CKcDlg>(store)) {
    window_->FillClassList();
    window_->FillTeacherLists();
    window_->selectFirstClass();
    window_->LoadTimetable();
    window_->show();
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  CKcDlg& window() { return *window_; }

  template <typename Widget>
  Widget* control(int id) const {
    auto* widget = window_->findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << "no control " << id;
    return widget;
  }

  QLineEdit* edit(int id) const { return control<QLineEdit>(id); }
  std::string text(int id) const { return edit(id)->text().toStdString(); }
  QCheckBox* box(int id) const { return control<QCheckBox>(id); }
  QComboBox* teachers(int row) const { return control<QComboBox>(TeacherListId(row)); }
  QComboBox* classes() const { return control<QComboBox>(kClassList); }
  std::string weekday() const { return control<QGroupBox>(kPeriodGroup)->title().toStdString(); }

  void press(int buttonId) const {
    QTest::mouseClick(control<QPushButton>(buttonId), Qt::LeftButton);
  }

  // A click into a control; it takes the keyboard focus.
  void click(int id) const {
    QWidget* widget = control<QWidget>(id);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
  }
  void tab() const { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

  // Clicks into an edit, selects all of it and types `text` over it.
  void type(int id, const QString& text) const {
    QLineEdit* target = edit(id);
    click(id);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
      QTest::keyClick(target, Qt::Key_Delete);
      return;
    }
    TypeText(target, text);
  }

  // Opens a drop-down and clicks its entry `entry`.
  void choose(QComboBox* list, const QString& entry) const {
    int index = list->findText(entry, Qt::MatchExactly);
    ASSERT_GE(index, 0) << entry.toStdString();
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    QRect place = view->visualRect(list->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
  }
  void chooseClass(const QString& name) const { choose(classes(), name); }
  void chooseTeacher(int row, const QString& entry) const { choose(teachers(row), entry); }

  // Typed text: Latin text key by key, other text as an input method commits it.
  static void TypeText(QWidget* target, const QString& text) {
    bool latin = true;
    for (QChar c : text)
      latin = latin && c.unicode() < 0x80;
    if (latin) {
      QTest::keyClicks(target, text);
      return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(target, &commit);
  }

 private:
  std::unique_ptr<CKcDlg> window_;
};

}  // namespace brenlow::testing
