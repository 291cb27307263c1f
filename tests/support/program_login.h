// The login of the real desktop program in tests: the credentials file beside the program under
// test, and passing the login dialog on a test's X display the way a person would.
#pragma once

#include <string>

namespace brenlow::testing {

class XDisplay;

// The bootstrap file: any non-empty user name and password pass.
inline constexpr const char* kBootstrapCredentialsFile =
    "[Pass]\r\nUseName=586\r\nPassWord=586\r\n";

// Sets the credentials file of ProgramPath() to contents while it lives and then puts back what
// was there (or removes it). Program tests hold the program lock, so no other test sees it.
class ProgramCredentials {
 public:
  explicit ProgramCredentials(const std::string& contents = kBootstrapCredentialsFile);
  ~ProgramCredentials();
  ProgramCredentials(const ProgramCredentials&) = delete;
  ProgramCredentials& operator=(const ProgramCredentials&) = delete;

 private:
  std::string path_;
  std::string saved_;
  bool existed_ = false;
};

// Waits for the login dialog "登陆", types userName, Tab, passWord and Enter. The id of the
// login window, or "" (with a test failure) when it did not appear.
std::string PassLogin(const XDisplay& display, const std::string& userName = "586",
                      const std::string& passWord = "586");

}  // namespace brenlow::testing
