// The five tables of a Brenlow database, each with the columns the system reads and writes, in
// the schema's order. A file without all five tables is no Brenlow database (every open checks
// that); the schema check also wants every column. Extra tables and columns are allowed.
#pragma once

#include <vector>

namespace brenlow {

struct StoreTable {
  const char* name;
  std::vector<const char*> columns;
};

const std::vector<StoreTable>& StoreTables();

}  // namespace brenlow
