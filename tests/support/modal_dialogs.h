// Driving modal dialogs from tests: code under test calls exec() and blocks in its own event
// loop; the action given here runs inside that loop once the dialog is shown, and can set
// controls and press buttons the way a person would.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <functional>

namespace brenlow::testing {

// Runs action on the first modal dialog that becomes active after this call (polled from the
// event loop). Fails the test if none appears within five seconds.
void OnNextModalDialog(std::function<void(QDialog&)> action);

// The child of dialog with this objectName and type; fails the test when there is none.
template <typename Widget>
Widget* Control(QWidget& dialog, const QString& objectName) {
  Widget* widget = dialog.findChild<Widget*>(objectName);
  if (widget == nullptr)
    ADD_FAILURE_AT(__FILE__, __LINE__) << "no control " << objectName.toStdString();
  return widget;
}

}  // namespace brenlow::testing
