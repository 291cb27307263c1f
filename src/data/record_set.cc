#include "data/record_set.h"

#include <strings.h>

#include "data/database_error.h"

namespace brenlow {

RecordSet::RecordSet(std::vector<std::string> columns, std::vector<Row> rows)
    : valid_(true), columns_(std::move(columns)), rows_(std::move(rows)) {}

void RecordSet::requireValid() const {
  if (!valid_)
    throw DatabaseError(kInvalidHandleCode);
}

bool RecordSet::isEof() const {
  requireValid();
  return position_ >= rows_.size();
}

std::string RecordSet::fieldText(const std::string& column) const {
  requireValid();
  if (position_ >= rows_.size())
    throw DatabaseError(kNoCurrentRowCode);
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (strcasecmp(columns_[i].c_str(), column.c_str()) == 0) {
      const std::optional<std::string>& value = rows_[position_][i];
      if (!value)
        throw DatabaseError(kTypeMismatchCode);
      return *value;
    }
  }
  throw DatabaseError(kNoSuchColumnCode);
}

void RecordSet::moveNext() {
  requireValid();
  if (position_ >= rows_.size())
    throw DatabaseError(kNoCurrentRowCode);
  ++position_;
}

void RecordSet::close() {
  requireValid();
  valid_ = false;
  rows_.clear();
}

size_t RecordSet::rowCount() const {
  requireValid();
  return rows_.size();
}

}  // namespace brenlow
