// TimeEdit: an hour or minute edit of the period grid. The keyboard enters digits only; texts
// set by code (a stored blank, say) are shown exactly as they are, and there is no length limit
// of its own. Centred; long texts scroll.
#pragma once

#include <QLineEdit>

namespace brenlow {

class TimeEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TimeEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
};

}  // namespace brenlow
