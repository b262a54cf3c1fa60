#include <unistd.h>

#include <ostream>
#include <string_view>

#include "app/cli/command.h"
#include "app/cli/run_suite.h"
#include "motion/read_options.h"
#include "motion/spectrum.h"
#include "suite/options.h"
#include "suite/suite.h"
#include "suite/suite_file.h"

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
    "  --process STEPS       each record processed as by 'brantel process' before it is scaled:\n"
    "                        highpass=F|auto[,lowpass=F][,order=N][,taper=FRAC][,pad=S|auto]\n"
    "                        [,baseline=none|mean|linear|poly6][,trim];\n"
    "                        suite.csv then has the steps, the final velocity and displacement\n"
    "                        and the usable periods of each record\n"
    "  --direction X|Y|Z|XY|XYZ   the directions of the components (default X, XY or XYZ)\n"
    "  --target TARGET       design spectrum: ec8:type=1,ground=B,ag=0.25g[,importance=1.2],\n"
    "                        asce7:sds=1.0,sd1=0.6,tl=8 or csv:FILE (period s, PSA g)\n"
    "  --scale-range TA:TB   the periods (s) the factor is found over, on RotD100 of the X and Y\n"
    "                        components, else on the one component (as 'brantel spectrum')\n"
    "  --scale-rule fit|min90|suite90|match   fit (default with a target and a range) and\n"
    "                        min90: a factor per record; suite90: one factor, the least with which\n"
    "                        the suite's mean is at least 90% of the target; match: each record\n"
    "                        scaled by its fit, then matched to the target as by 'brantel match'\n"
    "                        (a pair on RotD100, a vertical component scaled and kept); the\n"
    "                        matched record is written, and suite.csv gains the misfit, the\n"
    "                        wavelets, the changes and the drift of each record\n"
    "  --tolerance R         with match: largest |PSA/target - 1| accepted (default 0.10)\n"
    "  --periods T,T,...     periods in seconds, or TMIN:TMAX:N (default 0.01:10:100)\n"
    "  --periods-log TMIN:TMAX:N  N periods from TMIN to TMAX s, even in log\n"
    "  --periods-file F      periods, one a line; at most 100000 periods however given\n"
    "  --damping Z           damping ratio of the spectra, 0 <= Z < 1 (default 0.05)\n"
    "  --end-time record|keep  the case's end time: the record's duration (default), or kept\n"
    "  --out DIR             the folder written into (default .): DIR/<record>.inc, DIR/suite.csv\n"
    "                        (factors and measures), DIR/spectra.csv (scaled spectra, mean, target)\n"
    "                        and DIR/spectra.png (the same drawn, at 300 dpi)\n"
    "  --overwrite           replace files in DIR that no suite wrote (without it they are\n"
    "                        named and nothing is written); the previous suite's files, those\n"
    "                        its suite.csv lists, are replaced or removed in any case, and an\n"
    "                        input (record, template, geometry, study file) never is\n"
    "  --jobs N              records processed at once (default: the number of cores; never\n"
    "                        more than the records nor 64)\n"
    "  --code ec8|asce7-16|asce7-22  check the suite against a design code, which sets the period\n"
    "                        range and the factors: each record's fit, then the least common factor\n"
    "                        with which every clause holds; DIR/compliance.txt and compliance.json\n"
    "                        give the verdicts, clause by clause (asce7-22: --target csv:FILE);\n"
    "                        with --scale-rule match the records are matched over the code's range\n"
    "                        (ASCE 7: the mean then at least 110% of the target)\n"
    "  --structure-periods T1[,T2]  the structure's fundamental periods (s), for --code\n"
    "  --t90 T               the period (s) at 90% mass participation, for an ASCE code\n"
    "  --from SUITE.json     every setting from a JSON file of at most 1 MiB, lists nested at\n"
    "                        most 16 deep; paths in it are relative to its folder\n"
    "  --help                this text\n"
    "\n"
    "Exit status: 0 every file written, 1 some record not written (each reported), a record\n"
    "matched above the tolerance or a clause of the code fails (the files are written all the\n"
    "same), 2 nothing written (the reason on standard error).\n";

// `brantel suite`: the command line into suite::Settings, or suite::Settings from a JSON file.
class SuiteCommand final : public Command {
 public:
  std::string_view name() const override { return "suite"; }
  std::string_view usage() const override { return help_text; }

  void declare(CLI::App& app) override {
    for (std::string_view option : motion::record_reading_options) reading_.emplace_back(std::string(option));
    for (Given& given : reading_) given.option = app.add_option(given.name, given.value);
    for (std::string_view option : suite::suite_options) suite_.emplace_back(std::string(option));
    for (Given& given : suite_) given.option = app.add_option(given.name, given.value);
    from_.option = app.add_option(from_.name, from_.value);
    app.add_flag("--overwrite", overwrite_);
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
      settings.protected_files.push_back(from_.value);
    } else if (const std::string why = settings_from_options(settings); !why.empty()) {
      return misuse(why, err);
    }
    if (settings.target_text.starts_with("csv:")) settings.protected_files.push_back(settings.target_text.substr(4));
    settings.overwrite = overwrite_;
    settings.progress = isatty(STDERR_FILENO) == 1;
    if (const std::string why = suite::settings_problem(settings); !why.empty()) return misuse(why, err);
    return app::cli::run_suite(settings, out, err);
  }

 private:
  using Given = GivenOption;

  std::vector<const Given*> all_given() const {
    std::vector<const Given*> all{&from_};
    for (const Given& given : suite_) all.push_back(&given);
    for (const Given& given : reading_) all.push_back(&given);
    return all;
  }

  const Given& suite_option(std::string_view name) const {
    return *std::find_if(suite_.begin(), suite_.end(), [name](const Given& g) { return g.name == name; });
  }

  std::string settings_from_options(suite::Settings& s) const {
    if (templates_.empty()) return "no template loading file named";
    if (templates_.size() > 1) return "one template only (\"" + templates_[0] + "\" and \"" + templates_[1] + "\")";
    s.template_path = templates_.front();
    if (!suite_option("--case").given()) return "--case N is needed: the accelerogram case whose record is replaced";
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
    const int ways_of_periods = suite_option("--periods").given() + suite_option("--periods-log").given() +
                                suite_option("--periods-file").given();
    if (ways_of_periods > 1) return "give one of --periods, --periods-file and --periods-log";
    for (const Given& given : suite_)
      if (given.given())
        if (std::string why = suite::apply_suite_option(given.name, given.value, s); !why.empty()) return why;
    suite::complete_settings(s);
    return {};
  }

  std::vector<Given> reading_, suite_;
  Given from_{"--from"};
  bool overwrite_ = false;
  std::vector<std::string> records_;
  const CLI::Option* records_option_ = nullptr;
  std::vector<std::string> templates_;
};

}  // namespace

std::unique_ptr<Command> make_suite_command() { return std::make_unique<SuiteCommand>(); }

}  // namespace app::cli
