#include "support/program_login.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/program.h"
#include "support/x_display.h"

namespace brenlow::testing {

ProgramCredentials::ProgramCredentials(const std::string& contents)
    : path_(ProgramPath() + ".ini") {
  std::ifstream existing(path_, std::ios::binary);
  if (existing) {
    std::stringstream saved;
    saved << existing.rdbuf();
    saved_ = saved.str();
    existed_ = true;
  }
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << contents;
}

ProgramCredentials::~ProgramCredentials() {
  if (existed_) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << saved_;
  } else {
    std::filesystem::remove(path_);
  }
}

std::string PassLogin(const XDisplay& display, const std::string& userName,
                      const std::string& passWord) {
  std::string login = display.waitForWindow("登陆");
  EXPECT_FALSE(login.empty()) << "no login dialog";
  if (login.empty())
    return login;
  Shell("xdotool windowactivate --sync " + login);
  display.type(userName);
  display.keys("Tab");
  display.type(passWord);
  display.keys("Return");
  return login;
}

}  // namespace brenlow::testing
