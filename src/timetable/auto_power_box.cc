#include "timetable/auto_power_box.h"

namespace brenlow {

AutoPowerBox::AutoPowerBox(QWidget* parent) : QCheckBox(parent) {}

void AutoPowerBox::setStoredValue(int value) {
  if (value == 0 || value == 1) {
    setTristate(false);
    setChecked(value == 1);
    setToolTip(QString());
    return;
  }
  otherValue_ = value;
  setTristate(true);
  setCheckState(Qt::PartiallyChecked);
  setToolTip(QStringLiteral("已存的值为 %1，不是 0 或 1；“应用”时保持不变，点击可改为勾选或不勾选")
                 .arg(value));
}

int AutoPowerBox::storedValue() const {
  switch (checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return otherValue_;
    case Qt::Unchecked:
      break;
  }
  return 0;
}

void AutoPowerBox::nextCheckState() {
  if (checkState() == Qt::PartiallyChecked) {
    setTristate(false);
    setToolTip(QString());
    setCheckState(Qt::Checked);
    return;
  }
  QCheckBox::nextCheckState();
}

}  // namespace brenlow
