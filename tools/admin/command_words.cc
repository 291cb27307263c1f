#include "command_words.h"

#include <algorithm>

#include "core/shown_text.h"

namespace brenlow::admin {
namespace {

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::string> CommandNames(const CLI::App& app) {
  std::vector<std::string> names;
  // Option groups are nameless subcommands to the parser; they are no commands.
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (!command->get_name().empty())
      names.push_back(command->get_name());
  }
  return names;
}

}  // namespace

std::optional<std::string> NearestName(const std::string& word,
                                       const std::vector<std::string>& names) {
  std::optional<std::string> nearest;
  size_t best = std::max<size_t>(1, word.size() / 3) + 1;
  for (const std::string& name : names) {
    const size_t distance = EditDistance(word, name);
    if (distance < best) {
      best = distance;
      nearest = name;
    }
  }
  return nearest;
}

std::string UnknownCommandError(const CLI::App& app, const std::vector<std::string>& arguments,
                                const std::vector<std::string>& valueOptions) {
  const CLI::App* group = &app;
  std::string path;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word.starts_with("-")) {
      // The tool's own value options take their value; a command's options end the walk.
      if (group != &app)
        return std::string();
      if (std::find(valueOptions.begin(), valueOptions.end(), word) != valueOptions.end())
        ++i;
      continue;
    }
    std::vector<std::string> names = CommandNames(*group);
    if (std::find(names.begin(), names.end(), word) == names.end()) {
      std::string error = "unknown command " + path + ShownText(word);
      if (std::optional<std::string> nearest = NearestName(word, names))
        return error + "; did you mean " + path + *nearest + "?";
      return error + "; see " + app.get_name() + " " + path + "--help";
    }
    group = group->get_subcommand(word);
    path += word + " ";
    if (CommandNames(*group).empty())
      return std::string();  // a command's own arguments follow
  }
  return std::string();
}

std::string NotUtf8Error(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (!IsValidUtf8(argument))
      return "not UTF-8 text: " + ShownText(argument) +
             " (give names in UTF-8; files in code page 936 are read by the imports)";
  }
  return std::string();
}

}  // namespace brenlow::admin
