#include "timetable/kc_dlg.h"

#include <QKeyEvent>

namespace brenlow {

CKcDlg::CKcDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("课程表"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
}

void CKcDlg::keyPressEvent(QKeyEvent* event) {
  // The window has no default button: Enter ends it like Escape and the close box.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace brenlow
