// CModifyTblBj: "修改数据", the class modify dialog. It shows a class's four texts (the name
// read-only) and gives back the edited ones when confirmed. Each text is limited to 20
// characters; confirming with a longer one shows the length message and keeps the dialog open,
// so a class whose name is longer cannot be modified. User-interface thread only.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace brenlow {

struct ClassTexts {
  QString name;
  QString zkip;
  QString pcMacAddr;
  QString pass;
};

class CModifyTblBj : public QDialog {
  Q_OBJECT

 public:
  explicit CModifyTblBj(const ClassTexts& texts, QWidget* parent = nullptr);

  // The texts as confirmed; the ones given to the constructor until then.
  const ClassTexts& texts() const { return texts_; }

  void accept() override;

 private:
  ClassTexts texts_;
  QLineEdit* name_;
  QLineEdit* zkip_;
  QLineEdit* pcMac_;
  QLineEdit* pass_;
};

}  // namespace brenlow
