#include "dialogs/bj_mes_dlg.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QTableWidget>

#include "dialogs/add_dlg.h"
#include "dialogs/modify_tbl_bj.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::Press;
using testing::SetText;
using testing::WhenModal;

class ClassListTest : public ::testing::Test {
 protected:
  // The class list's rows as "name|zkip|mac|pass".
  static std::vector<std::string> ListRows(QTableWidget& list) {
    std::vector<std::string> rows;
    for (int row = 0; row < list.rowCount(); ++row) {
      QStringList texts;
      for (int column = 0; column < 4; ++column)
        texts << list.item(row, column)->text();
      rows.push_back(texts.join('|').toStdString());
    }
    return rows;
  }
  std::vector<std::string> tableRows() const {
    return db_.column("select Name||'|'||ZKIP||'|'||PCMacAddr||'|'||Pass from tblbj order by ID");
  }
  // Fills the add dialog and presses its "确定".
  static void Add(QDialog& dialog, const QString& name, const QString& zkip, const QString& mac,
                  const QString& pass) {
    SetText(dialog, "1003", name);
    SetText(dialog, "1004", zkip);
    SetText(dialog, "1005", mac);
    SetText(dialog, "1006", pass);
    Press(dialog, "1");
  }

  testing::TempDatabase db_;
  testing::RecordingMessages messages_;
};

TEST_F(ClassListTest, ListsTheClassesInIdOrderWithFourLeftAlignedColumns) {
  db_.addClass("B", "10.0.0.2", "bb", "pb");
  db_.addClass("A", "10.0.0.1", "aa", "pa");
  CBJMesDlg dialog(db_.store());
  EXPECT_EQ(dialog.windowTitle(), "班级信息");
  QTableWidget& list = Find<QTableWidget>(dialog, "1002");
  EXPECT_EQ(ListRows(list), (std::vector<std::string>{"B|10.0.0.2|bb|pb", "A|10.0.0.1|aa|pa"}));
  const int widths[] = {90, 130, 130, 130};
  const char* headings[] = {"NAME", "ZKIP", "PCMAC", "PASSWORD"};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(list.horizontalHeaderItem(column)->text(), headings[column]);
    EXPECT_EQ(list.columnWidth(column), widths[column]);
  }
  EXPECT_TRUE(list.showGrid());
  EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list.item(0, 1)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
}

TEST_F(ClassListTest, TwoClassesAddedInOneVisitAreWrittenWithTheir35PeriodsWhenItCloses) {
  CBJMesDlg dialog(db_.store());
  WhenModal<CAddDlg>([&](CAddDlg& add) {
    EXPECT_EQ(add.windowTitle(), "添加数据");
    Add(add, "一班", "10.0.0.1", "00-11", "p'1");
    // The second one as a person types it: the name edit has the focus, Enter confirms.
    EXPECT_EQ(add.nextInFocusChain(), &Find<QLineEdit>(add, "1003"));
    SetText(add, "1003", "二班");
    SetText(add, "1004", "10.0.0.2");
    SetText(add, "1005", "00-22");
    SetText(add, "1006", "p2");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&Find<QLineEdit>(add, "1006"), &enter);
    EXPECT_TRUE(add.isVisible()) << "the add dialog stays open";
    EXPECT_EQ(tableRows().size(), 0u) << "nothing is written before it closes";
    Press(add, "2");
  });
  Press(dialog, "3");

  EXPECT_EQ(tableRows(),
            (std::vector<std::string>{"一班|10.0.0.1|00-11|p'1", "二班|10.0.0.2|00-22|p2"}));
  std::vector<std::string> expected;
  for (const char* name : {"一班", "二班"}) {
    for (const char* week : {"星期一", "星期二", "星期三", "星期四", "星期五"}) {
      for (int period = 0; period < 7; ++period)
        expected.push_back(std::string(name) + week);
    }
  }
  EXPECT_EQ(db_.column("select BJName||Week from tblkcTime order by ID"), expected);
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(ClassListTest, AddDialogRefusesWhatIsMissingOrAlreadyListedInThisOrder) {
  db_.addClass("A", "1", "m", "p");
  CBJMesDlg dialog(db_.store());
  struct Case {
    QString name, zkip, mac, pass;
    std::string message;
  };
  std::vector<Case> cases = {
      {"", "", "", "", "请输入班级名!"},   {"A", "", "", "", "班级已存在，请重新添加！"},
      {"a", "", "", "", "请输入中控IP!"},  {"A ", "1", "", "", "请输入电脑MAC地址!"},
      {"A ", "1", "m", "", "请输入密码!"},
  };
  WhenModal<CAddDlg>([&](CAddDlg& add) {
    for (const Case& c : cases) {
      messages_.clear();
      Add(add, c.name, c.zkip, c.mac, c.pass);
      ASSERT_EQ(messages_.texts(), std::vector<std::string>{c.message});
      EXPECT_EQ(messages_.messages()[0].icon, MessageIcon::kWarning);
    }
    EXPECT_EQ(dialog.list().rowCount(), 1);
    messages_.clear();
    Add(add, "A ", "1", "m", "p");  // differs by a trailing blank: another class
    Press(add, "2");
  });
  Press(dialog, "3");
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(db_.column("select '['||Name||']' from tblbj order by ID"),
            (std::vector<std::string>{"[A]", "[A ]"}));
}

TEST_F(ClassListTest, LongNamesAreShownWholeAndStoredCutTo39Characters) {
  QString name = QString(40, QChar(0x73ED));  // 40 × 班
  CBJMesDlg dialog(db_.store());
  WhenModal<CAddDlg>([&](CAddDlg& add) {
    Add(add, name, "1", "m", "p");
    Press(add, "2");
  });
  Press(dialog, "3");
  EXPECT_EQ(dialog.list().item(0, 0)->text(), name);
  std::string stored = name.left(39).toStdString();
  EXPECT_EQ(db_.column("select Name from tblbj"), std::vector<std::string>{stored});
  EXPECT_EQ(db_.value("select count(*) from tblkcTime where BJName=" + testing::Quote(stored)),
            "35");
}

TEST_F(ClassListTest, DeleteAsksThenRemovesTheClassWithItsCoursesAndPeriodsButNotItsUsage) {
  db_.addClass("A", "1", "m", "p");
  db_.addClass("B", "2", "n", "q");
  db_.exec("insert into tblkc (BJName) values ('A'), ('B')");
  db_.exec("insert into tbl_teacher_usetime (teacher_Numb, class_Name) values ('12', 'A')");
  CBJMesDlg dialog(db_.store());

  Press(dialog, "4");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"请选中一行再删除!"});

  dialog.list().selectRow(0);
  messages_.clear();
  messages_.scriptAnswers({MessageAnswer::kNo});
  Press(dialog, "4");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"确定要删除吗？"});
  EXPECT_EQ(messages_.messages()[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(messages_.messages()[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(db_.value("select count(*) from tblbj"), "2");

  messages_.scriptAnswers({MessageAnswer::kYes});
  Press(dialog, "4");
  EXPECT_EQ(ListRows(dialog.list()), std::vector<std::string>{"B|2|n|q"});
  EXPECT_EQ(db_.column("select Name from tblbj"), std::vector<std::string>{"B"});
  EXPECT_EQ(db_.column("select BJName from tblkc"), std::vector<std::string>{"B"});
  EXPECT_EQ(db_.value("select count(*) from tblkcTime where BJName='A'"), "0");
  EXPECT_EQ(db_.value("select count(*) from tblkcTime where BJName='B'"), "35");
  EXPECT_EQ(db_.value("select count(*) from tbl_teacher_usetime"), "1");
}

TEST_F(ClassListTest, ModifyWritesTheThreeTextsOfTheFirstSelectedClass) {
  db_.addClass("A", "1", "m", "p");
  db_.addClass("B", "2", "n", "q");
  CBJMesDlg dialog(db_.store());
  Press(dialog, "5");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"请选中一行再修改!"});
  messages_.clear();

  dialog.list().selectAll();
  WhenModal<CModifyTblBj>([&](CModifyTblBj& modify) {
    EXPECT_EQ(modify.windowTitle(), "修改数据");
    QLineEdit& name = Find<QLineEdit>(modify, "1003");
    EXPECT_EQ(name.text(), "A");
    EXPECT_TRUE(name.isReadOnly());
    EXPECT_EQ(Find<QLineEdit>(modify, "1005").text(), "m");
    SetText(modify, "1004", "");
    SetText(modify, "1005", "aa-bb");
    SetText(modify, "1006", "it's");
    Press(modify, "1");
  });
  Press(dialog, "5");
  EXPECT_EQ(ListRows(dialog.list()), (std::vector<std::string>{"A||aa-bb|it's", "B|2|n|q"}));
  EXPECT_EQ(tableRows(), (std::vector<std::string>{"A||aa-bb|it's", "B|2|n|q"}));

  WhenModal<CModifyTblBj>([&](CModifyTblBj& modify) {
    SetText(modify, "1004", "changed");
    Press(modify, "2");
  });
  Press(dialog, "5");
  EXPECT_EQ(tableRows()[0], "A||aa-bb|it's");
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(ClassListTest, ModifyDialogLimitsTextsTo20Characters) {
  std::string longName = "twenty-one characters";  // 22 characters
  db_.addClass(longName, "1", "m", "p");
  CBJMesDlg dialog(db_.store());
  dialog.list().selectRow(0);
  WhenModal<CModifyTblBj>([&](CModifyTblBj& modify) {
    QLineEdit& zkip = Find<QLineEdit>(modify, "1004");
    zkip.setFocus();
    testing::Type(zkip, "0123456789abcdefghijKLM");
    EXPECT_EQ(zkip.text(), "10123456789abcdefghi") << "typing stops at 20 characters";
    Press(modify, "1");
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"输入的字符请不要多于 20 个。"});
    EXPECT_EQ(messages_.messages()[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(modify.isVisible()) << "a name over the limit keeps the dialog open";
    Press(modify, "2");
  });
  Press(dialog, "5");
  EXPECT_EQ(tableRows(), std::vector<std::string>{longName + "|1|m|p"});
}

TEST_F(ClassListTest, RightClickOnARowOffersDeleteAndModify) {
  db_.addClass("A", "1", "m", "p");
  CBJMesDlg dialog(db_.store());
  dialog.resize(600, 300);
  dialog.show();
  QTableWidget& list = dialog.list();
  QPoint onRow = list.visualItemRect(list.item(0, 0)).center();

  QStringList offered;
  WhenModal<QMenu>([&](QMenu& menu) {
    for (QAction* action : menu.actions())
      offered << action->text();
    menu.setActiveAction(menu.actions()[0]);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&menu, &enter);
  });
  list.selectRow(0);
  messages_.scriptAnswers({MessageAnswer::kYes});
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, onRow,
                               list.viewport()->mapToGlobal(onRow));
  QApplication::sendEvent(list.viewport(), &rightClick);
  EXPECT_EQ(offered, (QStringList{"删除（D）", "修改（M）"}));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"确定要删除吗？"});
  EXPECT_EQ(db_.value("select count(*) from tblbj"), "0");

  // Below the last row there is nothing to act on: no menu (a menu would block here).
  QPoint belowRows(10, list.viewport()->height() - 2);
  QContextMenuEvent emptyClick(QContextMenuEvent::Mouse, belowRows,
                               list.viewport()->mapToGlobal(belowRows));
  QApplication::sendEvent(list.viewport(), &emptyClick);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace
}  // namespace brenlow
