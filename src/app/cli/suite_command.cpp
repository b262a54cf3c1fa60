#include <unistd.h>

#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

#include "app/cli/command.h"
#include "motion/read_options.h"
#include "motion/spectrum.h"
#include "suite/suite.h"
#include "suite/suite_file.h"
#include "text/number_parse.h"

namespace app::cli {
namespace {

constexpr int exit_refused = 2;

constexpr std::string_view help_text =
    "Usage: brantel suite TEMPLATE.inc --case N --records FILE[,FILE...]... [options]\n"
    "       brantel suite --from SUITE.json\n"
    "Writes one loading file per ground-motion record: the template with the record in place of\n"
    "the accelerogram of case N, converted to the model's length unit and scaled; every other\n"
    "record of the template stays as it is. Components of one record are joined by commas and\n"
    "go into the directions in order. Each file written passes the check of 'brantel check'.\n"
    "\n"
    "Options:\n"
    "  --case N              the accelerogram case of the template whose record is replaced\n"
    "  --records FILE[,FILE...]...  the records, one word each; repeatable\n"
    "  --geometry MODEL.dat  the model (default: the geometry file the template names, if found)\n"
    "  --format, --units, --first-line, --time-column, --columns, --dt, --resample\n"
    "                        how the records are read, as for 'brantel motion', for every record\n"
    "  --direction X|Y|Z|XY|XYZ   the directions of the components (default X, XY or XYZ)\n"
    "  --target TARGET       design spectrum: ec8:type=1,ground=B,ag=0.25g[,importance=1.2],\n"
    "                        asce7:sds=1.0,sd1=0.6,tl=8 or csv:FILE (period s, PSA g)\n"
    "  --scale-range TA:TB   the periods (s) the factor is found over, on RotD100 of the X and Y\n"
    "                        components, else on the one component (as 'brantel spectrum')\n"
    "  --scale-rule fit|min90|suite90   fit and min90: a factor per record; suite90: one factor,\n"
    "                        the least with which the suite's mean is at least 90% of the target\n"
    "  --periods A:B:N       N periods from A to B s, evenly spaced in log (default 0.01:10:100)\n"
    "  --damping R           damping ratio of the spectra (default 0.05)\n"
    "  --end-time record|keep  the case's end time: the record's duration (default), or kept\n"
    "  --out DIR             the folder written into (default .): DIR/<record>.inc, DIR/suite.csv\n"
    "                        (factors and measures), DIR/spectra.csv (scaled spectra, mean, target)\n"
    "                        and DIR/spectra.png (the same drawn, at 300 dpi)\n"
    "  --jobs N              records processed at once (default: the number of cores)\n"
    "  --from SUITE.json     every setting from a JSON file; paths in it are relative to its folder\n"
    "  --help                this text\n"
    "\n"
    "Exit status: 0 every file written, 1 some record not written (each reported), 2 nothing\n"
    "written (the reason on standard error).\n";

bool parse_real(std::string_view text, double& value) { return text::parse_real(text, value) && std::isfinite(value); }

bool parse_int(std::string_view text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

// `brantel suite`: the command line into suite::Settings, or suite::Settings from a JSON file.
class SuiteCommand final : public Command {
 public:
  std::string_view name() const override { return "suite"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (std::string_view option : motion::record_reading_options) reading_.emplace_back(std::string(option));
    for (Given& given : reading_) given.option = app.add_option(given.name, given.value);
    for (Given* given : {&case_, &geometry_, &direction_, &target_, &range_, &rule_, &end_time_, &out_, &jobs_,
                         &periods_, &damping_, &from_})
      given->option = app.add_option(given->name, given->value);
    records_option_ = app.add_option("--records", records_)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("template", templates_);
  }

  int misuse(const std::string& why, std::ostream& err) const override {
    err << "brantel suite: " << why << "\nTry 'brantel suite --help'.\n";
    return exit_refused;
  }

  int run(std::ostream& out, std::ostream& err) override {
    suite::Settings settings;
    if (from_.option->count() > 0) {
      for (const Given* given : all_given())
        if (given != &from_ && given->option->count() > 0)
          return misuse("--from takes every setting from the file; " + given->name + " cannot be given with it", err);
      if (!templates_.empty() || records_option_->count() > 0)
        return misuse("--from takes every setting from the file; no template or records with it", err);
      std::string why;
      if (!suite::read_suite_file(from_.value, settings, why)) return misuse(why, err);
    } else if (const std::string why = settings_from_options(settings); !why.empty()) {
      return misuse(why, err);
    }
    settings.progress = isatty(STDERR_FILENO) == 1;
    if (const std::string why = suite::settings_problem(settings); !why.empty()) return misuse(why, err);
    return suite::run_suite(settings, out, err);
  }

 private:
  struct Given {
    explicit Given(std::string option_name) : name(std::move(option_name)) {}
    std::string name, value;
    const CLI::Option* option = nullptr;
    bool given() const { return option->count() > 0; }
  };

  std::vector<const Given*> all_given() const {
    std::vector<const Given*> all{&case_, &geometry_, &direction_, &target_, &range_, &rule_, &end_time_, &out_,
                                  &jobs_,  &periods_,  &damping_,   &from_};
    for (const Given& given : reading_) all.push_back(&given);
    return all;
  }

  std::string settings_from_options(suite::Settings& s) const {
    if (templates_.empty()) return "no template loading file named";
    if (templates_.size() > 1) return "one template only (\"" + templates_[0] + "\" and \"" + templates_[1] + "\")";
    s.template_path = templates_.front();
    if (!case_.given()) return "--case N is needed: the accelerogram case whose record is replaced";
    if (!parse_int(case_.value, s.case_number) || s.case_number < 1) return "--case needs a case number from 1";
    motion::ReadOptions options;
    for (const Given& given : reading_)
      if (given.given())
        if (std::string why = motion::apply_read_option(given.name, given.value, options); !why.empty()) return why;
    for (const std::string& word : records_) {
      suite::Record record;
      record.options = options;
      for (std::size_t pos = 0; pos <= word.size();) {
        const std::size_t end = std::min(word.find(',', pos), word.size());
        record.files.push_back(word.substr(pos, end - pos));
        pos = end + 1;
      }
      s.records.push_back(std::move(record));
    }
    if (geometry_.given()) s.geometry = geometry_.value;
    s.direction = direction_.value;
    return apply_spectrum_options(s);
  }

  std::string apply_spectrum_options(suite::Settings& s) const {
    if (target_.given()) {
      std::string why;
      s.target = motion::parse_design_spectrum(target_.value, why);
      if (!s.target) return "--target: " + why;
    }
    if (range_.given()) {
      const auto range = suite::parse_range(range_.value);
      if (!range) return "--scale-range needs TA:TB, two periods in seconds";
      s.scale_range = range;
    }
    if (rule_.given()) {
      const auto rule = suite::rule_from_name(rule_.value);
      if (!rule) return "--scale-rule takes fit, min90 or suite90, not \"" + rule_.value + "\"";
      s.rule = *rule;
    }
    if (end_time_.given()) {
      if (end_time_.value != "record" && end_time_.value != "keep") return "--end-time takes record or keep";
      s.keep_end_time = end_time_.value == "keep";
    }
    if (out_.given()) s.out_dir = out_.value;
    if (jobs_.given()) {
      int jobs = 0;
      if (!parse_int(jobs_.value, jobs) || jobs < 1) return "--jobs needs a number from 1";
      s.jobs = static_cast<unsigned>(jobs);
    }
    if (periods_.given()) {
      const auto periods = suite::parse_periods(periods_.value);
      if (!periods) return "--periods needs A:B:N, N of at least 2 periods from A to B > A > 0 seconds";
      s.periods = *periods;
    }
    if (damping_.given() && !parse_real(damping_.value, s.damping)) return "--damping needs a ratio";
    return {};
  }

  std::vector<Given> reading_;
  Given case_{"--case"}, geometry_{"--geometry"}, direction_{"--direction"}, target_{"--target"},
      range_{"--scale-range"}, rule_{"--scale-rule"}, end_time_{"--end-time"}, out_{"--out"}, jobs_{"--jobs"},
      periods_{"--periods"}, damping_{"--damping"}, from_{"--from"};
  std::vector<std::string> records_;
  const CLI::Option* records_option_ = nullptr;
  std::vector<std::string> templates_;
};

}  // namespace

std::unique_ptr<Command> make_suite_command() { return std::make_unique<SuiteCommand>(); }

}  // namespace app::cli
