// RecordSet: the rows of one query, in the order its "Order by" gives, taken as a snapshot
// when the query ran (later writes do not change it). It is valid (positioned on a row or
// behind the last one) or invalid (the query failed). Values come out as text only: a number
// column reads as its decimal text, a NULL value cannot be read.
//
// Every operation on an invalid or closed RecordSet, reading behind the last row, reading a
// column the rows do not have and reading NULL raise DatabaseError. Owned by one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/status.h"

namespace brenlow {

class RecordSet {
 public:
  using Row = std::vector<std::optional<std::string>>;

  // Collects a snapshot value by value, row by row, in one text buffer (one allocation for the
  // whole result rather than one per value). For the connection that runs the query.
  class Builder {
   public:
    explicit Builder(std::vector<std::string> columns);
    void addText(std::string_view text);
    void addInteger(int64_t value);
    void addNull();
    // The snapshot of every value added (whole rows of the columns given).
    RecordSet finish();

   private:
    friend class RecordSet;
    std::vector<std::string> columns_;
    std::string text_;
    std::vector<uint64_t> cells_;  // per value: offset in text_ << 32 | size; kNullCell: NULL
  };

  // An invalid RecordSet.
  RecordSet() = default;
  RecordSet(std::vector<std::string> columns, std::vector<Row> rows);

  bool isValid() const { return valid_; }
  // Why an invalid RecordSet is invalid (the failed query's Status); ok for a valid one.
  const Status& status() const { return failure_; }

  bool isEof() const;
  // Value of the named column (case-insensitive, as the store treats names) in the current row.
  std::string fieldText(const std::string& column) const;
  void moveNext();
  void close();

  // Number of rows of the snapshot (throws on an invalid RecordSet).
  size_t rowCount() const;

 private:
  friend class Database;
  explicit RecordSet(Builder&& builder);
  void requireValid() const;

  bool valid_ = false;
  // ok when valid_; an invalid handle (0x80004003) until a query fills it.
  Status failure_{Status::Kind::kFailed, 0x80004003, "no query ran"};
  std::vector<std::string> columns_;
  std::string text_;             // every value's text, one after another
  std::vector<uint64_t> cells_;  // row by row, as Builder::cells_
  size_t rowCount_ = 0;
  size_t position_ = 0;
  mutable size_t searchFrom_ = 0;  // where fieldText's next column search starts
};

}  // namespace brenlow
