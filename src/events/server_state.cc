#include "events/server_state.h"

#include "data/connection.h"
#include "data/database_error.h"
#include "data/statement.h"

namespace brenlow {

bool WriteServerState(const std::string& databasePath, const std::string& name,
                      const std::string& value, std::string* error) {
  Status failure;
  Connection* connection = AcquireConnection(databasePath, &failure);
  if (connection != nullptr &&
      connection->execute(FormatStatement("Insert into tbl_server_state (name, value) Values "
                                          "('%s','%s') on conflict(name) do update set "
                                          "value=excluded.value",
                                          name, value),
                          &failure)) {
    return true;
  }
  *error = failure.message();
  return false;
}

std::optional<std::string> ReadServerState(const std::string& databasePath,
                                           const std::string& name) {
  Status failure;
  Connection* connection = AcquireConnection(databasePath, &failure);
  RecordSet rows;
  if (connection == nullptr ||
      !connection->query(
          FormatStatement("select value from tbl_server_state where name='%s'", name), &rows,
          &failure) ||
      rows.isEof()) {
    return std::nullopt;
  }
  try {
    return rows.fieldText("value");
  } catch (const DatabaseError&) {
    return std::nullopt;
  }
}

}  // namespace brenlow
