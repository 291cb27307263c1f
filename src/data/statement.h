// Statement: one SQL statement built from a fixed template and its values, the one way the
// system puts values into SQL.
//
// Templates are written as the system's statements are quoted: '%s' is a text, %d an integer,
// a bare %s an ID read back from the store ("where ID=%s"). text() is the statement with the
// values formatted in: texts between single quotes with every single quote doubled, integers in
// decimal, IDs bare. A value can therefore never change a statement, and a text holding a quote
// is stored intact. The store itself receives the same statement as shape() with the values
// bound to its placeholders, which means the same and lets a connection keep it prepared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brenlow {

// An ID as read back from the store (RecordSet::fieldText("ID")), put into a statement bare.
struct RowId {
  std::string text;
};

class Statement {
 public:
  using Value = std::variant<std::string, int64_t>;

  // A statement without values; the text is used as it stands.
  Statement(std::string text);  // NOLINT(google-explicit-constructor): plain SQL reads as SQL
  Statement(const char* text) : Statement(std::string(text)) {}  // NOLINT

  const std::string& text() const { return text_; }
  const std::string& shape() const { return shape_; }
  const std::vector<Value>& values() const { return values_; }

 private:
  friend class StatementBuilder;
  Statement() = default;
  std::string text_;
  std::string shape_;
  std::vector<Value> values_;
};

using StatementArgument = std::variant<std::string_view, int64_t, RowId>;

// Builds a Statement. Throws std::logic_error when the template's placeholders and the
// arguments do not match in number and kind (a programming error, never a runtime input).
Statement FormatStatementArguments(std::string_view templateText,
                                   const std::vector<StatementArgument>& arguments);

namespace statement_detail {
inline StatementArgument Argument(const std::string& value) {
  return std::string_view(value);
}
inline StatementArgument Argument(std::string_view value) {
  return value;
}
inline StatementArgument Argument(const char* value) {
  return std::string_view(value);
}
inline StatementArgument Argument(int value) {
  return int64_t{value};
}
inline StatementArgument Argument(long value) {
  return int64_t{value};
}
inline StatementArgument Argument(long long value) {
  return int64_t{value};
}
inline StatementArgument Argument(const RowId& value) {
  return value;
}
}  // namespace statement_detail

template <typename... Args>
Statement FormatStatement(std::string_view templateText, const Args&... args) {
  return FormatStatementArguments(templateText, {statement_detail::Argument(args)...});
}

}  // namespace brenlow
