#include "data/database_access.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace brenlow {
namespace {

std::string GroupName(gid_t group) {
  if (const ::group* entry = ::getgrgid(group))
    return entry->gr_name;
  return std::to_string(group);
}

std::string Refusal(const std::string& path, const std::string& group) {
  return "没有权限打开数据库 " + path + "：请让管理员把您加入用户组 " + group +
         "，然后注销并重新登录。";
}

}  // namespace

std::optional<std::string> DatabaseAccessProblem(const std::string& path) {
  struct stat file {};
  if (::stat(path.c_str(), &file) == 0) {
    if (::access(path.c_str(), R_OK | W_OK) == 0 || errno != EACCES)
      return std::nullopt;
    return Refusal(path, GroupName(file.st_gid));
  }
  if (errno != EACCES)
    return std::nullopt;
  // The folder keeps strangers out: name the group of the folder that refused.
  for (std::filesystem::path folder = std::filesystem::path(path).parent_path();
       !folder.empty() && folder != folder.root_path(); folder = folder.parent_path()) {
    struct stat entry {};
    if (::stat(folder.c_str(), &entry) == 0 && ::access(folder.c_str(), X_OK) != 0)
      return Refusal(path, GroupName(entry.st_gid));
  }
  return Refusal(path, "brenlow");
}

}  // namespace brenlow
