// AutoPowerBox: a period row's power-on or power-off box. The store normally holds 0 or 1 for
// it; other integers (the client service stores what a terminal sends) are shown as a partly
// checked box and written back unchanged until the user clicks the box, which then turns into
// an ordinary two-state box (partly checked -> checked -> unchecked).
#pragma once

#include <QCheckBox>

namespace brenlow {

class AutoPowerBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit AutoPowerBox(QWidget* parent = nullptr);

  // Shows `value`: 0 unchecked, 1 checked, anything else partly checked.
  void setStoredValue(int value);
  // The value "应用" writes: 1 checked, 0 unchecked, the shown value when partly checked.
  int storedValue() const;

 protected:
  void nextCheckState() override;

 private:
  int otherValue_ = 0;  // the value behind the partly checked state
};

}  // namespace brenlow
