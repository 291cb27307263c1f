// The command words of a brenlow-admin line, checked before the parser sees them, so that a
// mistyped command gets the nearest one suggested ("unknown command clases; did you mean
// classes?") instead of the parser's "A subcommand is required", and so that text that is not
// UTF-8 never reaches the store.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace brenlow::admin {

// The known name nearest to word by edit distance, when it is near enough to be a likely typing
// mistake (at most a third of the word's letters, and at least one, differ).
std::optional<std::string> NearestName(const std::string& word,
                                       const std::vector<std::string>& names);

// The one-line refusal for an unknown command word of arguments (the line without the program
// name), walking down app's command groups, or empty when every command word is known.
// valueOptions: the tool's options that take the next argument as their value.
std::string UnknownCommandError(const CLI::App& app, const std::vector<std::string>& arguments,
                                const std::vector<std::string>& valueOptions);

// The refusal for the first argument that is not UTF-8 text, or empty.
std::string NotUtf8Error(const std::vector<std::string>& arguments);

}  // namespace brenlow::admin
