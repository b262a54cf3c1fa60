#include "app/cli/dispatch.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/command.h"
#include "app/recovery.h"

#ifndef BRANTEL_VERSION
#error "BRANTEL_VERSION is set by the build from the project version"
#endif

namespace app::cli {

namespace {

constexpr int exit_usage = 64;

constexpr std::string_view usage =
    "Usage: brantel [--help | --version | --recover-list | --recover RUN]\n"
    "       brantel check [--geometry MODEL.dat] [--values | --json] FILE.inc...\n"
    "       brantel motion FILE [options]\n"
    "       brantel spectrum FILE... [options]\n"
    "       brantel process FILE... [options]\n"
    "       brantel match FILE... --target TARGET --match-range TA:TB [options]\n"
    "       brantel suite TEMPLATE.inc --case N --records FILE... [options] | --from SUITE.json\n"
    "\n"
    "Enter the loading cases of a dynamic analysis and write the loading file (.inc) of the\n"
    "VUX time-integration solver. Without arguments the dialogs open in the current folder,\n"
    "which should be a working folder:\n"
    "  Dat/          geometry files (.dat) and loading files (.inc); the file boxes open here\n"
    "  uir/          the button images\n"
    "  language.dat  one line, English or Romanian\n"
    "Started in a folder without Dat/, the program offers to make a working folder from\n"
    "the samples installed with it.\n"
    "\n"
    "Commands:\n"
    "  check FILE... check loading files as LOAD reads them; problems as FILE:LINE: error|warning:\n"
    "                TEXT; 'brantel check --help' lists its options\n"
    "  motion FILE   read a ground-motion record; 'brantel motion --help' lists its options\n"
    "  spectrum FILE...  response spectra of a record, a design spectrum and the scale factor;\n"
    "                'brantel spectrum --help' lists its options\n"
    "  process FILE...  a raw record baseline-corrected and filtered, checked for drift;\n"
    "                'brantel process --help' lists its options\n"
    "  match FILE...  a record matched to a design spectrum by wavelets; 'brantel match --help'\n"
    "                lists its options\n"
    "  suite TEMPLATE.inc  one loading file per record of a suite, scaled onto a design spectrum;\n"
    "                'brantel suite --help' lists its options\n"
    "\n"
    "Options:\n"
    "  -h, --help    print this help and exit\n"
    "  --version     print the version and exit\n"
    "  --recover-list  print the runs of the current folder that stopped without ending (a\n"
    "                crash, a kill) and left data to recover: date, time, cases, loading file;\n"
    "                then those set aside (No at the question at start), with the date they\n"
    "                will be removed\n"
    "  --recover RUN open the dialogs taking back the stopped or set-aside run RUN (the last\n"
    "                name of its folder, as --recover-list prints it)\n"
    "\n"
    "Manual: man brantel\n";

std::vector<std::unique_ptr<Command>> all_commands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(make_check_command());
  commands.push_back(make_motion_command());
  commands.push_back(make_spectrum_command());
  commands.push_back(make_process_command());
  commands.push_back(make_match_command());
  commands.push_back(make_suite_command());
  return commands;
}

// Why CLI11 refused the words, in the words the commands have always used.
std::string reason(const CLI::ParseError& error, const CLI::App& app, const Command& command) {
  if (const auto* extras = dynamic_cast<const CLI::ExtrasError*>(&error)) {
    (void)extras;
    for (const std::string& word : app.remaining())
      if (word.starts_with('-')) return "unknown option " + word;
    return "unexpected argument " + (app.remaining().empty() ? std::string() : app.remaining().front());
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    // CLI11 names the option first: "--scale: 1 required TEXT missing".
    const std::string text = error.what();
    return command.missing_value(text.substr(0, text.find(':')));
  }
  return error.what();
}

int run_command(Command& command, std::span<const char* const> words, std::ostream& out, std::ostream& err) {
  CLI::App app(std::string(command.name()), "brantel " + std::string(command.name()));
  app.set_help_flag("-h,--help");
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  command.declare(app);
  // CLI11 takes the words last first.
  std::vector<std::string> reversed(words.rbegin(), words.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << command.usage();
    return 0;
  } catch (const CLI::ParseError& error) {
    return command.misuse(reason(error, app, command), err);
  }
  return command.run(out, err);
}

}  // namespace

std::optional<int> run_command_line(std::span<const char* const> args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return std::nullopt;
  const std::string_view first = args.front();
  if (first == "--help" || first == "-h") {
    out << usage;
    return 0;
  }
  if (first == "--version") {
    out << "brantel " << BRANTEL_VERSION << '\n';
    return 0;
  }
  if (first == "--recover-list" && args.size() == 1) return app::print_stopped_runs(std::filesystem::current_path(), out);
  if (first == "--recover" && args.size() != 2) {
    err << "brantel: --recover takes the name of one run (brantel --recover-list lists them)\n\n" << usage;
    return exit_usage;
  }
  if (first.starts_with('-')) return std::nullopt;
  for (const auto& command : all_commands())
    if (command->name() == first) return run_command(*command, args.subspan(1), out, err);
  err << "brantel: unknown command \"" << first << "\"\n\n" << usage;
  return exit_usage;
}

std::optional<std::string> run_to_recover(std::span<const char* const> args) {
  if (args.size() == 2 && std::string_view(args[0]) == "--recover") return std::string(args[1]);
  return std::nullopt;
}

std::optional<int> refuse_leftover_arguments(std::span<const char* const> leftover, std::ostream& err) {
  if (leftover.empty() || run_to_recover(leftover)) return std::nullopt;
  const std::string_view word = leftover.front();
  err << "brantel: " << (word.starts_with('-') ? "unknown option \"" : "unexpected argument \"") << word << "\"\n\n"
      << usage;
  return exit_usage;
}

}  // namespace app::cli
