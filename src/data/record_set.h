// RecordSet: the rows of one query, in the order its "Order by" gives, taken as a snapshot
// when the query ran (later writes do not change it). It is valid (positioned on a row or
// behind the last one) or invalid (the query failed). Values come out as text only: a number
// column reads as its decimal text, a NULL value cannot be read.
//
// Every operation on an invalid or closed RecordSet, reading behind the last row, reading a
// column the rows do not have and reading NULL raise DatabaseError. Owned by one thread.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brenlow {

class RecordSet {
 public:
  using Row = std::vector<std::optional<std::string>>;

  // An invalid RecordSet.
  RecordSet() = default;
  RecordSet(std::vector<std::string> columns, std::vector<Row> rows);

  bool isValid() const { return valid_; }

  bool isEof() const;
  // Value of the named column (case-insensitive, as the store treats names) in the current row.
  std::string fieldText(const std::string& column) const;
  void moveNext();
  void close();

  // Number of rows of the snapshot (throws on an invalid RecordSet).
  size_t rowCount() const;

 private:
  void requireValid() const;

  bool valid_ = false;
  std::vector<std::string> columns_;
  std::vector<Row> rows_;
  size_t position_ = 0;
};

}  // namespace brenlow
