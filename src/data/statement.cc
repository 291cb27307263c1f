#include "data/statement.h"

#include <stdexcept>

namespace brenlow {
namespace {

std::string QuotedText(std::string_view value) {
  std::string quoted = "'";
  for (char c : value) {
    quoted += c;
    if (c == '\'')
      quoted += '\'';
  }
  quoted += '\'';
  return quoted;
}

// An ID the store handed back is a decimal integer; anything else is bound as text.
bool ParseRowId(const std::string& text, int64_t* value) {
  if (text.empty() || text.size() > 18)
    return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size())
    return false;
  int64_t result = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9')
      return false;
    result = result * 10 + (text[i] - '0');
  }
  *value = text[0] == '-' ? -result : result;
  return true;
}

[[noreturn]] void Mismatch(std::string_view templateText, const char* what) {
  throw std::logic_error(std::string("statement template ") + what + ": " +
                         std::string(templateText));
}

}  // namespace

Statement::Statement(std::string text) : text_(std::move(text)), shape_(text_) {}

class StatementBuilder {
 public:
  static Statement Build(std::string_view templ, const std::vector<StatementArgument>& args) {
    Statement statement;
    statement.text_.reserve(templ.size() + 32);
    statement.shape_.reserve(templ.size() + 8);
    size_t next = 0;
    for (size_t i = 0; i < templ.size(); ++i) {
      bool quotedText = templ.compare(i, 4, "'%s'") == 0;
      bool placeholder =
          quotedText || templ.compare(i, 2, "%d") == 0 || templ.compare(i, 2, "%s") == 0;
      if (!placeholder) {
        statement.text_ += templ[i];
        statement.shape_ += templ[i];
        continue;
      }
      if (next == args.size())
        Mismatch(templ, "has more placeholders than values");
      const StatementArgument& arg = args[next++];
      if (quotedText) {
        const auto* value = std::get_if<std::string_view>(&arg);
        if (value == nullptr)
          Mismatch(templ, "expects a text for '%s'");
        statement.text_ += QuotedText(*value);
        statement.values_.emplace_back(std::string(*value));
        i += 3;
      } else if (templ[i + 1] == 'd') {
        const auto* value = std::get_if<int64_t>(&arg);
        if (value == nullptr)
          Mismatch(templ, "expects an integer for %d");
        statement.text_ += std::to_string(*value);
        statement.values_.emplace_back(*value);
        i += 1;
      } else {
        const auto* value = std::get_if<RowId>(&arg);
        if (value == nullptr)
          Mismatch(templ, "expects a RowId for a bare %s");
        int64_t id = 0;
        if (ParseRowId(value->text, &id)) {
          statement.text_ += value->text;
          statement.values_.emplace_back(id);
        } else {
          statement.text_ += QuotedText(value->text);
          statement.values_.emplace_back(value->text);
        }
        i += 1;
      }
      // A blank after the placeholder keeps "?and" style joins readable to the store's parser.
      statement.shape_ += "? ";
    }
    if (next != args.size())
      Mismatch(templ, "has fewer placeholders than values");
    return statement;
  }
};

Statement FormatStatementArguments(std::string_view templateText,
                                   const std::vector<StatementArgument>& arguments) {
  return StatementBuilder::Build(templateText, arguments);
}

}  // namespace brenlow
