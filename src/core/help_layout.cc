#include "core/help_layout.h"

#include <algorithm>
#include <sstream>

namespace brenlow {

HelpLayout::HelpLayout(std::string usage, size_t column,
                       std::vector<std::pair<std::string, std::string>> leadingRows)
    : usage_(std::move(usage)), leadingRows_(std::move(leadingRows)) {
  column_width(column);
}

std::string HelpLayout::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
  std::ostringstream rows;
  for (const auto& [name, description] : leadingRows_)
    CLI::detail::format_help(rows, name, description, get_column_width());
  for (const CLI::Option* option : app->get_options()) {
    if (!option->get_group().empty())
      rows << make_option(option, false);
  }
  std::string text = usage_ + "\n" + app->get_description() + "\n";
  if (!rows.str().empty())
    text += "\n" + rows.str();
  return text + "\n" + app->get_footer();
}

std::string HelpLayout::make_option_name(const CLI::Option* option, bool) const {
  return option->get_name();
}

size_t FirstUnknownOption(const CLI::App& app, const std::vector<std::string>& arguments,
                          bool (*isWord)(const std::string& argument), bool stopAtWord) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (isWord(arguments[i])) {
      if (stopAtWord)
        return arguments.size();
      continue;
    }
    const CLI::Option* option = app.get_option_no_throw(arguments[i]);
    if (option == nullptr)
      return i;
    if (option->get_items_expected_min() > 0)
      ++i;
  }
  return arguments.size();
}

void ParseInOrder(CLI::App& app, std::vector<std::string> arguments) {
  std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them last first
  app.parse(arguments);
}

CLI::Validator Refusing(std::string* error, std::function<std::string(const std::string&)> why) {
  return CLI::Validator(
      [error, why = std::move(why)](std::string& value) {
        std::string refusal = why(value);
        if (!refusal.empty() && error->empty())
          *error = refusal;
        return refusal;
      },
      "");
}

size_t ReadOptions(CLI::App& app, const std::vector<std::string>& arguments,
                   bool (*isWord)(const std::string& argument), bool stopAtWord,
                   std::string* error) {
  const size_t unknown = FirstUnknownOption(app, arguments, isWord, stopAtWord);
  try {
    ParseInOrder(app,
                 {arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(unknown)});
  } catch (const CLI::ParseError&) {
    // The only failure a value check does not name: the last option's value is missing.
    if (error->empty())
      *error = arguments[unknown - 1] + " needs a value";
  }
  return unknown;
}

}  // namespace brenlow
