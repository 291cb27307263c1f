#include "admin/length_limit.h"

#include <QLineEdit>
#include <QValidator>

#include "admin/report_list.h"
#include "core/messages.h"

namespace brenlow {
namespace {

class LengthValidator final : public QValidator {
 public:
  LengthValidator(QLineEdit& edit, int limit) : QValidator(&edit), edit_(edit), limit_(limit) {}

  State validate(QString& input, int& /*position*/) const override {
    int length = CharacterCount(input);
    if (length > limit_ && length > CharacterCount(edit_.text()))
      return Invalid;
    return Acceptable;
  }

 private:
  QLineEdit& edit_;  // the parent; outlives the validator
  int limit_;
};

}  // namespace

void LimitTyping(QLineEdit& edit, int limit) {
  edit.setValidator(new LengthValidator(edit, limit));
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
