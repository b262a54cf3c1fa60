// A command of the program's command line (`brantel check`, `brantel motion`, ...). Its options
// are declared on a CLI11 subcommand and bound to the command's own members; the dispatcher
// parses the words after the command's name, then runs it. Commands need no display.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace app::cli {

class Command {
 public:
  virtual ~Command() = default;

  // The word after the program's name.
  virtual std::string_view name() const = 0;
  // The text of `brantel NAME --help`.
  virtual std::string_view usage() const = 0;
  // Options and arguments, bound to members of this object. Options that take a value take
  // the last one given; -h and --help are the dispatcher's.
  virtual void declare(CLI::App& app) = 0;
  // After a successful parse; returns the process exit code.
  virtual int run(std::ostream& out, std::ostream& err) = 0;
  // The command line is wrong: says why on `err` in the command's own words; the exit code.
  virtual int misuse(const std::string& why, std::ostream& err) const = 0;
  // What `misuse` is told when `option` is the last word and its value is missing.
  virtual std::string missing_value(std::string_view option) const { return std::string(option) + " needs a value"; }
};

// An option that takes a value, as the command line gave it: its text is checked by the command,
// so that every command words its own refusal.
struct GivenOption {
  GivenOption(const char* option_name) : name(option_name) {}            // NOLINT: tables of names
  GivenOption(std::string option_name) : name(std::move(option_name)) {}  // NOLINT: names made at run time
  std::string name, value;
  const CLI::Option* option = nullptr;
  bool given() const { return option && option->count() > 0; }
};

std::unique_ptr<Command> make_check_command();
std::unique_ptr<Command> make_match_command();
std::unique_ptr<Command> make_motion_command();
std::unique_ptr<Command> make_spectrum_command();
std::unique_ptr<Command> make_process_command();
std::unique_ptr<Command> make_suite_command();

}  // namespace app::cli
