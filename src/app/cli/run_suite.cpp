#include "app/cli/run_suite.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "base/parallel_for.h"
#include "suite/compliance_report.h"

namespace app::cli {

namespace {

namespace fs = std::filesystem;

std::string number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

// The reason the run cannot write into its folder at all; empty when it can.
bool folder_refused(const suite::Suite& suite, std::ostream& err) {
  if (const std::string clash = suite.output_clash(); !clash.empty()) {
    err << "brantel suite: " << clash << '\n';
    return true;
  }
  const std::vector<std::string> in_the_way = suite.files_in_the_way();
  if (in_the_way.empty()) return false;
  err << "brantel suite: no suite wrote these files, which the run would replace:";
  for (const std::string& path : in_the_way) err << ' ' << path;
  err << "\nbrantel suite: nothing written; choose another folder (--out) or give --overwrite to replace them\n";
  return true;
}

// The records analysed and their factors; false when no file can be written.
bool analysed(suite::Suite& suite, unsigned jobs, std::ostream& err) {
  base::parallel_for(suite.size(), jobs, [&](std::size_t i) { suite.analyse(i); });
  if (std::string why; !suite.find_factors(why)) {
    err << "brantel suite: " << why << '\n';
    return false;
  }
  const auto& results = suite.results();
  if (std::any_of(results.begin(), results.end(), [](const suite::RecordResult& a) { return a.error.empty(); }))
    return true;
  for (const suite::RecordResult& a : results) err << "brantel suite: " << a.stem << ": not written: " << a.error << '\n';
  err << "brantel suite: nothing written: no record can be used\n";
  return false;
}

void write_files(suite::Suite& suite, unsigned jobs, bool progress, std::ostream& err) {
  std::mutex lines;
  std::atomic<std::size_t> done{0};
  base::parallel_for(suite.size(), jobs, [&](std::size_t i) {
    suite.write(i);
    if (!progress) return;
    const suite::RecordResult& a = suite.result(i);
    const std::lock_guard lock(lines);
    err << '[' << ++done << '/' << suite.size() << "] " << a.stem << (a.error.empty() ? ": written" : ": not written")
        << std::endl;
  });
}

// Each record's outcome; the number written.
std::size_t report(const suite::Suite& suite, std::ostream& out, std::ostream& err) {
  std::size_t written = 0;
  for (const suite::RecordResult& a : suite.results()) {
    for (const std::string& w : a.warnings) err << "brantel suite: warning: " << w << '\n';
    if (!a.error.empty()) {
      err << "brantel suite: " << a.stem << ": not written: " << a.error << '\n';
      continue;
    }
    ++written;
    out << a.written << ": " << a.points << " points at " << number(a.time_step) << " s, factor " << number(a.factor)
        << " on " << a.scaled_on;
    if (a.matching)
      out << ", matched (seed factor " << number(a.matching->seed_factor) << ", " << a.matching->wavelets
          << " wavelets, misfit max " << number(100 * a.matching->after.max) << " %)";
    out << "; " << a.note << '\n';
  }
  return written;
}

// Records written as matched that stopped above the tolerance.
std::size_t above_tolerance(const suite::Suite& suite) {
  return static_cast<std::size_t>(std::count_if(suite.results().begin(), suite.results().end(), [](const suite::RecordResult& a) {
    return !a.written.empty() && a.matching && !a.matching->within_tolerance;
  }));
}

}  // namespace

SuiteExit run_suite(const suite::Settings& s, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<suite::Suite> suite = suite::Suite::open(s, err);
  if (!suite || folder_refused(*suite, err)) return suite_refused;
  const unsigned jobs = suite::jobs_for(s);
  if (!analysed(*suite, jobs, err)) return suite_refused;
  std::error_code ec;
  const bool folder_was_there = fs::exists(s.out_dir, ec);
  fs::create_directories(s.out_dir, ec);
  if (!fs::is_directory(s.out_dir, ec)) {
    err << "brantel suite: the folder \"" << s.out_dir << "\" cannot be made\n";
    return suite_refused;
  }
  write_files(*suite, jobs, s.progress, err);
  const std::size_t written = report(*suite, out, err);
  if (written == 0) {
    // The folder made for this run goes with it; one that was there stays as it was.
    if (!folder_was_there) fs::remove(s.out_dir, ec);
    err << "brantel suite: nothing written\n";
    return suite_refused;
  }
  const bool tables_written = suite->write_tables(out, err);
  out << written << " of " << suite->size() << " loading files written in " << s.out_dir << '\n';
  if (const std::size_t above = above_tolerance(*suite); above > 0)
    err << "brantel suite: " << above << " of " << written << " records matched above the tolerance (see suite.csv)\n";
  // A suite that does not comply is written all the same, so that the engineer sees why.
  if (suite->compliance()) {
    out << suite::compliance_lines(*suite->compliance(), false);
    if (!suite->compliance()->holds()) return suite_some_not_written;
  }
  return written == suite->size() && tables_written && above_tolerance(*suite) == 0 ? suite_all_written
                                                                                    : suite_some_not_written;
}

}  // namespace app::cli
