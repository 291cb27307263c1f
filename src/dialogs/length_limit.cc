#include "dialogs/length_limit.h"

#include <QLineEdit>
#include <algorithm>

#include "core/messages.h"
#include "dialogs/report_list.h"

namespace brenlow {
void LimitTyping(QLineEdit& edit, int limit) {
  // The edit's own length limit, raised to a longer text it already holds (so that text is not
  // cut) and lowered again as it is shortened.
  auto follow = [&edit, limit] {
    edit.setMaxLength(std::max(limit, static_cast<int>(edit.text().size())));
  };
  follow();
  QObject::connect(&edit, &QLineEdit::textChanged, &edit, follow);
}

QString LengthMessageText(int limit) {
  return QStringLiteral("输入的字符请不要多于 %1 个。").arg(limit);
}

bool CheckLengths(std::initializer_list<QLineEdit*> edits, int limit) {
  for (QLineEdit* edit : edits) {
    if (CharacterCount(edit->text()) > limit) {
      ShowMessage(Message(LengthMessageText(limit).toStdString(), MessageIcon::kWarning));
      edit->setFocus();
      return false;
    }
  }
  return true;
}

}  // namespace brenlow
