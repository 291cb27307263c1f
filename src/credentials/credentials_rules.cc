#include "credentials/credentials_rules.h"

#include "credentials/credentials.h"

namespace brenlow {

bool CredentialTooLong(const QString& userName, const QString& passWord) {
  return userName.size() > kMaxCredentialLength || passWord.size() > kMaxCredentialLength;
}

std::optional<std::string> NewCredentialsRefusal(const QString& userName, const QString& passWord) {
  if (userName.isEmpty() || passWord.isEmpty())
    return kEnterBothCredentialsText;
  if (CredentialTooLong(userName, passWord))
    return kCredentialTooLongText;
  // Credentials that would not read back the same would lock the operator out at the next start.
  if (!SurvivesStoring(userName, kUserNameOffset) || !SurvivesStoring(passWord, kPassWordOffset))
    return kCredentialNotStorableText;
  return std::nullopt;
}

}  // namespace brenlow
