#include "store_change.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/database_access.h"

namespace brenlow::admin {

std::string CannotRead(const Store& store) {
  return store.path() + ": cannot be read as a Brenlow database";
}

std::string StoreUnusable(const Store& store, bool readsOnly) {
  const std::string& path = store.path();
  struct stat file {};
  if (::stat(path.c_str(), &file) != 0 && errno == ENOENT)
    return path + ": no such database; create it with brenlow --init-database " + path;
  // A copy on read-only media, or one this user may only read, can still be checked and copied.
  if (readsOnly && ::access(path.c_str(), R_OK) == 0)
    return std::string();
  if (std::optional<std::string> problem = DatabaseAccessProblem(path)) {
    const ::passwd* user = ::getpwuid(::geteuid());
    return path + ": user " + (user ? user->pw_name : std::to_string(::geteuid())) +
           (readsOnly ? " may not read it: " : " may not read and write it: ") + *problem;
  }
  return std::string();
}

std::string StoreFailure(Commands& commands) {
  std::string reported = commands.messages->take();
  return reported.empty() ? "the store refused the statement" : reported;
}

int ChangeStore(Commands& commands, const std::string& where,
                const std::function<std::string(Database&)>& change) {
  try {
    Database db = commands.store.database();
    if (!db.open())
      return Refuse(where, commands.store.path() + ": " + StoreFailure(commands));
    std::string refusal = change(db);
    if (!refusal.empty())
      return Refuse(where, refusal);
  } catch (const DatabaseError&) {
    return Refuse(where, CannotRead(commands.store));
  }
  return kDone;
}

std::string InTransaction(Commands& commands, Database& db,
                          const std::function<std::string()>& change) {
  if (!db.execute("BEGIN IMMEDIATE"))
    return StoreFailure(commands);
  std::string refusal;
  try {
    refusal = change();
  } catch (const DatabaseError&) {
    refusal = CannotRead(commands.store);
  }
  if (refusal.empty() && db.execute("COMMIT"))
    return std::string();
  if (refusal.empty())
    refusal = StoreFailure(commands);
  db.execute("ROLLBACK");
  commands.messages->take();
  return refusal;
}

}  // namespace brenlow::admin
