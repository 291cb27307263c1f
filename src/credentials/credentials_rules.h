// The rules that new credentials must pass before they are written, shared by the dialog
// "修改密码" and `brenlow --set-credentials`: both texts given, each at most
// kMaxCredentialLength characters, and each reading back the same from the file.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace brenlow {

// The refusal shown when either text holds kMaxCredentialLength + 1 characters or more.
inline constexpr const char* kCredentialTooLongText = "用户名和密码都不能超过39个字符!";
// The refusal of a text that could not be read back from the file.
inline constexpr const char* kCredentialNotStorableText =
    "用户名和密码只能使用英文字母、数字和常用符号!";
// The request to give both texts, as "修改密码" words it.
inline constexpr const char* kEnterBothCredentialsText = "请输入用户名和密码";

// True when either text is too long for the scrambled form.
bool CredentialTooLong(const QString& userName, const QString& passWord);

// The refusal of a new user name and password, or nullopt when they may be written.
std::optional<std::string> NewCredentialsRefusal(const QString& userName, const QString& passWord);

}  // namespace brenlow
