// CModifyThMesDlg: "修改数据", the teacher modify dialog. It shows a teacher's number (disabled)
// and name and gives back the edited name when confirmed. The name is limited to 20 characters;
// confirming with a longer one shows the length message and keeps the dialog open.
// User-interface thread only.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace brenlow {

class CModifyThMesDlg : public QDialog {
  Q_OBJECT

 public:
  CModifyThMesDlg(const QString& number, const QString& name, QWidget* parent = nullptr);

  // The name as confirmed; the one given to the constructor until then.
  const QString& name() const { return name_; }

  void accept() override;

 private:
  QString name_;
  QLineEdit* numberEdit_;
  QLineEdit* nameEdit_;
};

}  // namespace brenlow
