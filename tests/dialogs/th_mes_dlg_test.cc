#include "dialogs/th_mes_dlg.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableWidget>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "controllers/controller_listener.h"
#include "core/clock.h"
#include "core/shared_state.h"
#include "dialogs/add_th_mes_dlg.h"
#include "dialogs/modify_th_mes_dlg.h"
#include "dialogs/teacher_info_import.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::Press;
using testing::SetText;
using testing::WhenModal;

class TeacherListTest : public ::testing::Test {
 protected:
  std::vector<std::string> teachers() const {
    return db_.column("select Numb||'|'||Name||'|'||NameNumb from tblThMes order by ID");
  }
  static std::vector<std::string> ListNumbers(QTableWidget& list) {
    std::vector<std::string> numbers;
    for (int row = 0; row < list.rowCount(); ++row) {
      numbers.push_back(list.item(row, 0)->text().toStdString());
    }
    return numbers;
  }
  static void Add(QDialog& dialog, const QString& number, const QString& name) {
    SetText(dialog, "1006", number);
    SetText(dialog, "1003", name);
    Press(dialog, "1");
  }

  testing::TempDatabase db_;
  testing::RecordingMessages messages_;
};

TEST_F(TeacherListTest, ListsTheTeachersWithTheirUseTime) {
  db_.addTeacher("12", "A");
  db_.addTeacher("7", "B");
  db_.exec("update tblThMes set UseTime='90' where Numb='12'");
  CTHMesDlg dialog(db_.store());
  EXPECT_EQ(dialog.windowTitle(), "老师信息");
  QTableWidget& list = Find<QTableWidget>(dialog, "1002");
  ASSERT_EQ(list.rowCount(), 2);
  EXPECT_EQ(list.item(0, 2)->text(), "90");
  EXPECT_EQ(list.item(1, 1)->text(), "B");
  const char* headings[] = {"工号", "姓名", "使用时长"};
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(list.horizontalHeaderItem(column)->text(), headings[column]);
    EXPECT_EQ(list.columnWidth(column), 150);
  }
  EXPECT_TRUE(list.showGrid());
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
  QLineEdit& card = Find<QLineEdit>(dialog, "1012");
  EXPECT_TRUE(card.isReadOnly());
  EXPECT_EQ(card.alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  dialog.show();
  EXPECT_FALSE(Find<QPushButton>(dialog, "1010").isVisible());
}

TEST_F(TeacherListTest, AddDialogChecksAndTwoAddsAreInsertedInListOrderWhenItCloses) {
  db_.addTeacher("12", "A");
  CTHMesDlg dialog(db_.store());
  struct Case {
    QString number, name;
    std::string message;
  };
  std::vector<Case> refused = {
      {"", "X", "请输工号!"},
      {"12", "X", "工号已存在，请重新输入！"},
      {"13", "", "请输入姓名!"},
  };
  WhenModal<CAddThMesDlg>([&](CAddThMesDlg& add) {
    EXPECT_EQ(add.windowTitle(), "添加数据");
    for (const Case& c : refused) {
      messages_.clear();
      Add(add, c.number, c.name);
      EXPECT_EQ(messages_.texts(), std::vector<std::string>{c.message});
    }
    messages_.clear();
    Add(add, "12 ", "C");  // a trailing blank makes another number
    Add(add, "13", "O'Brien");
    EXPECT_TRUE(add.isVisible());
    Press(add, "2");
  });
  Press(dialog, "3");
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(teachers(),
            (std::vector<std::string>{"12|A|A(12)", "12 |C|C(12 )", "13|O'Brien|O'Brien(13)"}));
  // The list is not reloaded: the new rows show no use time.
  EXPECT_EQ(dialog.list().item(2, 2)->text(), "");
}

TEST_F(TeacherListTest, LongNumbersAndNamesAreStoredCutTo39Characters) {
  QString number = QString(45, '9');
  QString name = QString(45, QChar(0x674E));  // 45 × 李
  CTHMesDlg dialog(db_.store());
  WhenModal<CAddThMesDlg>([&](CAddThMesDlg& add) {
    Add(add, number, name);
    Press(add, "2");
  });
  Press(dialog, "3");
  std::string n = number.left(39).toStdString();
  std::string m = name.left(39).toStdString();
  EXPECT_EQ(teachers(), std::vector<std::string>{n + "|" + m + "|" + m + "(" + n + ")"});
}

TEST_F(TeacherListTest, DeleteRemovesEverySelectedTeacherAndNothingElse) {
  for (const char* number : {"1", "2", "3", "4"})
    db_.addTeacher(number, "T");
  db_.exec("insert into tblkcTime (BJName, Week, ThName) values ('A', '星期一', 'T(2)')");
  CTHMesDlg dialog(db_.store());
  Press(dialog, "4");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"请选中一行再删除!"});

  QTableWidget& list = dialog.list();
  for (int row : {0, 2, 3}) {
    list.selectionModel()->select(list.model()->index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  messages_.clear();
  messages_.scriptAnswers({MessageAnswer::kNo});
  Press(dialog, "4");
  EXPECT_EQ(list.rowCount(), 4);
  EXPECT_EQ(db_.value("select count(*) from tblThMes"), "4");

  messages_.clear();
  messages_.scriptAnswers({MessageAnswer::kYes});
  Press(dialog, "4");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"确定要删除吗？"});
  EXPECT_EQ(messages_.messages()[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(ListNumbers(list), std::vector<std::string>{"2"});
  EXPECT_EQ(db_.column("select Numb from tblThMes"), std::vector<std::string>{"2"});
  EXPECT_EQ(db_.value("select ThName from tblkcTime"), "T(2)");
}

TEST_F(TeacherListTest, RenameRewritesNameNumbPeriodsAndUsageRows) {
  db_.addTeacher("12", "A");
  db_.addTeacher("13", "A");
  db_.exec(
      "insert into tblkcTime (BJName, Week, ThName) values ('X', '星期一', 'A(12)'), "
      "('Y', '星期二', 'A(12)'), ('X', '星期三', 'A(13)')");
  db_.exec(
      "insert into tbl_teacher_usetime (teacher_Numb, teacher_Name, class_Name) values "
      "('12', 'A', 'X'), ('12', 'A', 'Y'), ('13', 'A', 'X')");
  CTHMesDlg dialog(db_.store());
  Press(dialog, "5");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"请选中一行再修改!"});
  messages_.clear();

  dialog.list().selectRow(0);
  WhenModal<CModifyThMesDlg>([&](CModifyThMesDlg& modify) {
    EXPECT_EQ(modify.windowTitle(), "修改数据");
    QLineEdit& number = Find<QLineEdit>(modify, "1006");
    EXPECT_EQ(number.text(), "12");
    EXPECT_FALSE(number.isEnabled());
    EXPECT_EQ(Find<QLineEdit>(modify, "1003").text(), "A");
    SetText(modify, "1003", "B'");
    Press(modify, "1");
  });
  Press(dialog, "5");
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(dialog.list().item(0, 1)->text(), "B'");
  EXPECT_EQ(teachers(), (std::vector<std::string>{"12|B'|B'(12)", "13|A|A(13)"}));
  EXPECT_EQ(db_.column("select ThName from tblkcTime order by ID"),
            (std::vector<std::string>{"B'(12)", "B'(12)", "A(13)"}));
  EXPECT_EQ(db_.column("select teacher_Name from tbl_teacher_usetime order by ID"),
            (std::vector<std::string>{"B'", "B'", "A"}));
}

TEST_F(TeacherListTest, ModifyRefusesANameOver20CharactersAndCancelChangesNothing) {
  std::string longName(22, 'x');  // imported teachers may have longer names
  db_.addTeacher("12", longName);
  CTHMesDlg dialog(db_.store());
  dialog.list().selectRow(0);
  WhenModal<CModifyThMesDlg>([&](CModifyThMesDlg& modify) {
    Press(modify, "1");
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"输入的字符请不要多于 20 个。"});
    EXPECT_EQ(messages_.messages()[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(modify.isVisible());
    Press(modify, "2");
  });
  Press(dialog, "5");
  EXPECT_EQ(teachers(), std::vector<std::string>{"12|" + longName + "|" + longName + "(12)"});
  EXPECT_EQ(dialog.list().item(0, 1)->text().toStdString(), longName);
}

TEST_F(TeacherListTest, ATeacherWithANumberOver20CharactersCanBeRenamed) {
  std::string longNumber = "12345678901234567890123";  // the add dialog and the import take it
  db_.addTeacher(longNumber, "A");
  CTHMesDlg dialog(db_.store());
  dialog.list().selectRow(0);
  WhenModal<CModifyThMesDlg>([&](CModifyThMesDlg& modify) {
    SetText(modify, "1003", "B");
    Press(modify, "1");
    EXPECT_FALSE(modify.isVisible());
    if (modify.isVisible())
      Press(modify, "2");
  });
  Press(dialog, "5");
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(teachers(), std::vector<std::string>{longNumber + "|B|B(" + longNumber + ")"});
}

TEST_F(TeacherListTest, CardNumberFromTheListenerThreadIsShownWhileTheDialogRuns) {
  CTHMesDlg dialog(db_.store());
  QLineEdit& card = Find<QLineEdit>(dialog, "1012");
  std::thread listener;
  std::atomic<bool> delivered{false};
  QTimer::singleShot(0, [&] {
    listener = std::thread([&] {
      DeliverCardNumber("1-2-3-4");
      DeliverCardNumber("12-255-0-45");
      delivered = true;
    });
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (delivered && card.text() == "12-255-0-45")
      dialog.reject();
  });
  poll.start(5);
  dialog.exec();
  listener.join();
  EXPECT_EQ(card.text(), "12-255-0-45");

  // Closed, the dialog is no longer where card numbers go: a delivery returns at once.
  std::thread([] { DeliverCardNumber("9-9-9-9"); }).join();
  QCoreApplication::processEvents();
  EXPECT_EQ(card.text(), "12-255-0-45");
}

TEST_F(TeacherListTest, EverySwipeIsHandledWhileTheDialogImportsOnTheUserInterfaceThread) {
  constexpr int kControllers = 100;
  ManualClock clock(MakeLocalTime(2024, 3, 6, 8, 0));
  ControllerListener listener(clock, db_.store());
  std::string error;
  ASSERT_TRUE(listener.bind("127.0.0.1", 0, &error)) << error;
  std::jthread listening([&](std::stop_token stop) { listener.run(stop); });
  const std::string path = db_.path() + ".teachers.csv";
  {
    std::ofstream file(path, std::ios::binary);
    file << "Numb,Name\n";
    for (int i = 0; i < 1000; ++i)
      file << "9-9-" << i / 256 << "-" << i % 256 << ",T" << i << "\n";
  }

  CTHMesDlg dialog(db_.store());
  QLineEdit& card = Find<QLineEdit>(dialog, "1012");
  teacherDialogOpen = 1;
  bool allHandledWhileBusy = false;
  std::jthread controllers;
  QTimer::singleShot(0, [&] {
    // Every controller swipes once while the user-interface thread imports and then stays
    // busy; none of it may wait for that thread.
    controllers = std::jthread([&] {
      for (int i = 1; i <= kControllers; ++i) {
        Socket controller = Socket::BindUdp(testing::LoopbackAddress(i), 0, nullptr);
        const uint8_t swipe[] = {0xEB, 0x66, 0x01, 0xDD, 1, 2, 3, static_cast<uint8_t>(i)};
        controller.sendTo("127.0.0.1", listener.port(), swipe, sizeof swipe, nullptr);
      }
    });
    CTeacherInfoImport import(db_.store());
    import.ImportTeachers(path);
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < until && !allHandledWhileBusy;) {
      allHandledWhileBusy = listener.datagramsReceived() == kControllers;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    dialog.reject();
  });
  dialog.exec();
  teacherDialogOpen = 0;
  EXPECT_TRUE(allHandledWhileBusy) << listener.datagramsReceived() << " of " << kControllers;
  QCoreApplication::processEvents();  // the numbers handed over meanwhile
  EXPECT_TRUE(card.text().startsWith("1-2-3-")) << card.text().toStdString();
  EXPECT_EQ(db_.column("select count(*) from tblThMes"), std::vector<std::string>{"1000"});
  std::remove(path.c_str());
}

}  // namespace
}  // namespace brenlow
