#include "dialogs/dialog_parts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace brenlow {

QLineEdit* AddEdit(QWidget* dialog, QFormLayout& form, const QString& label,
                   const QString& objectName) {
  auto* edit = new QLineEdit(dialog);
  edit->setObjectName(objectName);
  form.addRow(label, edit);
  return edit;
}

QPushButton* AddButton(QWidget* dialog, const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text, dialog);
  button->setObjectName(objectName);
  button->setAutoDefault(false);
  return button;
}

QPushButton* NewButton(const QString& text, const QString& objectName) {
  return AddButton(nullptr, text, objectName);
}

QBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : buttons)
    row->addWidget(button);
  return row;
}

}  // namespace brenlow
