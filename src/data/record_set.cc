#include "data/record_set.h"

#include <strings.h>

#include <charconv>

#include "data/database_error.h"

namespace brenlow {
namespace {

constexpr uint64_t kNullCell = UINT64_MAX;

uint64_t Cell(size_t offset, size_t size) {
  return (static_cast<uint64_t>(offset) << 32) | static_cast<uint32_t>(size);
}

}  // namespace

RecordSet::Builder::Builder(std::vector<std::string> columns) : columns_(std::move(columns)) {
  // Room for a few rows at once, so that the buffers do not grow a step at a time.
  text_.reserve(1024);
  cells_.reserve(8 * columns_.size());
}

void RecordSet::Builder::addText(std::string_view text) {
  cells_.push_back(Cell(text_.size(), text.size()));
  text_.append(text);
}

void RecordSet::Builder::addInteger(int64_t value) {
  char digits[24];
  auto [end, failure] = std::to_chars(digits, digits + sizeof digits, value);
  (void)failure;
  addText(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void RecordSet::Builder::addNull() {
  cells_.push_back(kNullCell);
}

RecordSet RecordSet::Builder::finish() {
  return RecordSet(std::move(*this));
}

RecordSet::RecordSet(Builder&& builder)
    : valid_(true),
      failure_(),
      columns_(std::move(builder.columns_)),
      text_(std::move(builder.text_)),
      cells_(std::move(builder.cells_)),
      rowCount_(columns_.empty() ? 0 : cells_.size() / columns_.size()) {}

RecordSet::RecordSet(std::vector<std::string> columns, std::vector<Row> rows) {
  Builder builder(std::move(columns));
  for (const Row& row : rows) {
    for (const std::optional<std::string>& value : row) {
      if (value) {
        builder.addText(*value);
      } else {
        builder.addNull();
      }
    }
  }
  *this = builder.finish();
  rowCount_ = rows.size();
}

void RecordSet::requireValid() const {
  if (!valid_)
    throw DatabaseError(kInvalidHandleCode);
}

bool RecordSet::isEof() const {
  requireValid();
  return position_ >= rowCount_;
}

std::string RecordSet::fieldText(const std::string& column) const {
  requireValid();
  if (position_ >= rowCount_)
    throw DatabaseError(kNoCurrentRowCode);
  // Readers take a row's columns mostly in the table's order: the search starts behind the
  // column found last, so that such a reader pays one comparison a column.
  const size_t count = columns_.size();
  for (size_t k = 0; k < count; ++k) {
    size_t i = (searchFrom_ + k) % count;
    const std::string& name = columns_[i];
    if (name.size() == column.size() &&
        (name == column || strcasecmp(name.c_str(), column.c_str()) == 0)) {
      searchFrom_ = i + 1;
      uint64_t cell = cells_[position_ * count + i];
      if (cell == kNullCell)
        throw DatabaseError(kTypeMismatchCode);
      return text_.substr(cell >> 32, cell & 0xFFFFFFFF);
    }
  }
  throw DatabaseError(kNoSuchColumnCode);
}

void RecordSet::moveNext() {
  requireValid();
  if (position_ >= rowCount_)
    throw DatabaseError(kNoCurrentRowCode);
  ++position_;
}

void RecordSet::close() {
  requireValid();
  valid_ = false;
  failure_ = Status(Status::Kind::kFailed, kInvalidHandleCode, "closed");
  text_.clear();
  cells_.clear();
  rowCount_ = 0;
}

size_t RecordSet::rowCount() const {
  requireValid();
  return rowCount_;
}

}  // namespace brenlow
