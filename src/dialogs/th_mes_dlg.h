// CTHMesDlg: "老师信息", the teacher list dialog. Its list is the working copy of tblThMes while
// it is open: loaded when the dialog is made and after an import, appended to by the add
// dialog and written back by comparison with the table. It has no OK or cancel button and is
// closed with the close box.
//
// While the dialog is shown it is where card numbers go (SetCardNumberReceiver): the listener
// thread hands each number over with a queued call, without waiting, and the user-interface
// thread shows it in edit 1012 when it next turns its event loop. Closing or destroying the dialog
// clears the receiver. Everything else runs on the user-interface thread; every database step opens
// its own Database.
#pragma once

#include <QDialog>
#include <QString>

#include "data/store.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace brenlow {

// The note of showCardNumbersUnavailable.
inline constexpr const char* kCardNumbersUnavailableText =
    "服务正在运行，刷卡的卡号由服务接收，不会显示在这里：添加老师时请手动输入工号。";

class CTHMesDlg : public QDialog {
  Q_OBJECT

 public:
  // Works on store.
  explicit CTHMesDlg(Store store, QWidget* parent = nullptr);
  ~CTHMesDlg() override;

  // Refills the list from tblThMes in ID order.
  void LoadTeachers();
  // Runs the add dialog, then SaveNewTeachers however it ended.
  void OnAdd();
  // Inserts every list row whose number (cut to 39 characters) is not in tblThMes.
  void SaveNewTeachers();
  // Deletes every selected teacher after asking; stops at the first failed statement.
  void OnDelete();
  // Renames the first selected teacher, with the periods and usage rows that name them.
  void OnModify();
  // Runs the import dialog, then reloads the list.
  void OnImport();
  // Writes the list's numbers and names to a teacher file chosen by the user.
  void OnExport();
  // Shows a card number in edit 1012.
  void OnCardNumber(const QString& cardNumber);

  // For the editor beside a running service, whose listener receives the swipes: no card number
  // reaches this dialog, and a note says that numbers are typed by hand.
  void showCardNumbersUnavailable();

  QTableWidget& list() { return *list_; }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const Store store_;
  void receiveCardNumbers();
  void stopReceivingCardNumbers();

  QTableWidget* list_;
  QLineEdit* cardNumber_;
  bool receiving_ = false;  // this dialog is the registered card number receiver
};

}  // namespace brenlow
