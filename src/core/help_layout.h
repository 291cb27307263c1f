// HelpLayout: the --help text of a program whose arguments CLI11 reads, in the layout of a
// hand-written manual page source: the usage lines as written, a blank line, the description, a
// blank line, one row per option (its name and value text, then its description from a fixed
// column, continued lines indented to that column), a blank line and the footer. Options in
// the empty group are left out; with none left, their block and its blank line are too.
// help2man reads the result, so the layout is part of each program's interface: its manual
// page's SYNOPSIS is the usage lines, the first "Usage: <program> ..." and each further one
// "  or:  <program> ...", every one whole on its line (help2man takes a wrapped line for the
// description).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace brenlow {

class HelpLayout final : public CLI::Formatter {
 public:
  // usage ends with its last line's newline; leadingRows come before the options' rows
  // (for example what the program does without any option).
  HelpLayout(std::string usage, size_t column,
             std::vector<std::pair<std::string, std::string>> leadingRows = {});

  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override;
  std::string make_option_name(const CLI::Option* option, bool positional) const override;

 private:
  std::string usage_;
  std::vector<std::pair<std::string, std::string>> leadingRows_;
};

// The index of the first of arguments that stands where an option belongs without being
// exactly one of app's option names, or arguments.size(). A value option's next argument is
// its value, whatever it looks like. isWord says which arguments are words of the line (a
// command, a request) rather than options; with stopAtWord the scan ends at the first word.
// CLI11 alone would also take "--name=value", "-hx" and "--", which these programs refuse.
size_t FirstUnknownOption(const CLI::App& app, const std::vector<std::string>& arguments,
                          bool (*isWord)(const std::string& argument), bool stopAtWord);

// Parses arguments (in their order) with app, whose options check their values when they are
// read: the CLI11 failure, if any, names the first faulty option of the line.
void ParseInOrder(CLI::App& app, std::vector<std::string> arguments);

// A check of an option's value: why(value) is empty for a good value, otherwise the program's
// own text for the refusal, which is kept in *error (the line's first refusal only) since CLI11
// would put words of its own around it.
CLI::Validator Refusing(std::string* error, std::function<std::string(const std::string&)> why);

// Reads arguments with app up to the first argument that FirstUnknownOption finds, and returns
// that argument's index (arguments.size() when there is none). A refused value leaves its text
// in *error; an option without its value at the end of the line leaves "<option> needs a value".
size_t ReadOptions(CLI::App& app, const std::vector<std::string>& arguments,
                   bool (*isWord)(const std::string& argument), bool stopAtWord,
                   std::string* error);

}  // namespace brenlow
