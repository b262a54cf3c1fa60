// The whole run of `brantel suite`: the suite's steps with the records in parallel, and what the
// command's exit code says of it.
#pragma once

#include <ostream>

#include "suite/suite.h"

namespace app::cli {

enum SuiteExit : int {
  suite_all_written = 0,       // every record written
  suite_some_not_written = 1,  // some record not written (each reported on `err`), or a table,
                               // or a clause of the design code fails, or a record matched
                               // above the tolerance (named on `err` and in suite.csv): what
                               // could be written is, and the engineer has something to look at
  suite_refused = 2,           // nothing written: the template, the case or the settings are
                               // unusable, files in the way, or no record usable (the reason on
                               // `err`); nothing is left behind, neither the folder nor its tables
};

SuiteExit run_suite(const suite::Settings& settings, std::ostream& out, std::ostream& err);

}  // namespace app::cli
