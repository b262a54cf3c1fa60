// A suite of ground-motion records put into one template loading file: one loading file per
// record, the record in place of one accelerogram case, scaled onto a design spectrum; the
// table of the suite and the spectra beside them. `brantel suite` runs it whole; the Suite
// window runs it a record at a time, so that it can show progress and stop between records.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/analysis.h"
#include "motion/design_spectrum.h"
#include "motion/matching.h"
#include "motion/processing.h"
#include "motion/reader.h"
#include "motion/spectrum.h"
#include "suite/compliance.h"
#include "ui/spectra_picture.h"

namespace suite {

// One record: one file, or the files of its components (put into the directions in order).
struct Record {
  std::vector<std::string> files;
  motion::ReadOptions options;  // the unit it is read in is the suite's
  std::optional<motion::ProcessingOptions> processing{};  // none: the suite's
};

using Rule = motion::ScaleRule;

struct Settings {
  std::string template_path;
  // The template's bytes when it is not read from template_path; template_path then only names it.
  std::optional<std::string> template_text;
  // The analysis of the dialogs, taken as it is instead of a template: template_path names it.
  std::shared_ptr<const model::Analysis> analysis;
  bool romanian = false;  // the language of the comment and end lines of `analysis`'s files
  int case_number = 0;
  std::vector<Record> records;
  std::optional<std::string> geometry;  // none: the geometry file the template names, if found
  std::vector<std::string> protected_files;  // besides the template and the geometry: never written over
  std::string direction;                // "X", "XY", ...; empty: X, XY or XYZ by component count
  std::optional<motion::DesignSpectrum> target;
  std::string target_text;  // the design spectrum as it was given ("ec8:type=1,...")
  std::optional<std::pair<double, double>> scale_range;  // s
  Rule rule = Rule::none;
  // Rule::match: the largest |PSA / target - 1| a matched record may keep over the range; none:
  // default_tolerance.
  std::optional<double> tolerance;
  bool keep_end_time = false;
  // Each record processed (as `brantel process` does) before it is scaled, unless it has its own.
  std::optional<motion::ProcessingOptions> processing;
  std::string out_dir = ".";
  unsigned jobs = 0;  // 0: the number of cores; never more than the records nor max_jobs
  // Files in the folder that no suite wrote (its suite.csv does not list them) are replaced
  // only when this is set; the inputs never are.
  bool overwrite = false;
  std::vector<double> periods;  // empty: the default periods
  double damping = 0.05;
  bool progress = false;  // a line per record on `err` as it is done
  // The design code the suite is checked against: it sets the period range and the factors
  // (each record's fit, then one common factor), and compliance.txt/.json are written.
  std::optional<Code> code;
  std::vector<double> structure_periods;  // s
  std::optional<double> t90;              // s
};

// The most records processed at once, whatever --jobs says: each one holds a record and its
// spectra in memory.
inline constexpr unsigned max_jobs = 64;

// The tolerance of a match when the settings give none.
inline constexpr double default_tolerance = 0.10;

// The tables a suite writes beside its loading files; suite.csv lists the loading files too.
inline constexpr const char* suite_table = "suite.csv";
inline constexpr const char* spectra_table = "spectra.csv";
inline constexpr const char* spectra_picture = "spectra.png";

// The reason the settings cannot be run, checked before anything is read; empty when they can.
std::string settings_problem(const Settings& settings);

// The reason a code's check cannot be made with the settings (its options given apart, a
// target missing, a range or rule of its own); empty when it can or there is no code.
std::string code_settings_problem(const Settings& settings);

// The stem of a record's loading file: its first file's name without the extension.
std::string stem_of(const Record& record);
// The stems of the records' loading files, distinct where their files are: records whose
// first files differ only in the extension (the EW and NS files of one station) keep it,
// "FKS0010103111446_EW".
std::vector<std::string> stems_of(const std::vector<Record>& records);

// The names of the files in `dir` that the suite.csv there says a suite wrote (its loading
// files and its tables); nothing when there is no suite.csv of a suite there.
std::optional<std::vector<std::string>> previous_suite_files(const std::string& dir);

// What processing did to a record, in the units of the tables.
struct RecordProcessing {
  std::vector<std::string> steps;
  double final_velocity = 0;      // m/s, unscaled, the largest in magnitude of the components
  double final_displacement = 0;  // m, the same
  std::optional<double> usable_to;  // s, the longest usable period after a high-pass
  bool within_limits = true;
  bool short_of_range = false;  // the usable periods end below the scaling range's upper period
};

// What matching did to a record (Rule::match), before the suite's factor.
struct RecordMatching {
  double seed_factor = 1.0;  // the fit the record was scaled by before it was matched
  double tolerance = 0.10;
  motion::Misfit before, after;  // ratios, on the matcher's grid over the range: the scaled seed, the match
  std::size_t wavelets = 0;
  int iterations = 0;
  bool within_tolerance = false;
  // Ratios after / before - 1 of the matched components from the scaled seed: the largest of
  // them for the peaks and the Arias intensity, d5-95 of the one of largest Arias intensity.
  double pga_change = 0, pgv_change = 0, pgd_change = 0, arias_change = 0;
  std::optional<double> d5_95_change;
  double final_velocity = 0;      // m/s, the largest in magnitude of the matched components
  double final_displacement = 0;  // m, the same
  double padding_before = 0, padding_after = 0;  // s of zeros the match added at each end
};

// What one record gives the suite.
struct RecordResult {
  std::string stem;
  std::string error;  // why it is not written; empty while it can be
  std::vector<std::string> warnings;
  bool analysed = false;
  std::size_t points = 0;
  double time_step = 0, duration = 0;
  double pga = 0, arias = 0;  // m/s2 and m/s, unscaled, the largest of the components
  std::optional<double> d5_95;  // of the component of largest Arias intensity
  std::vector<motion::SpectrumCurve> curves;  // unscaled, m/s2
  std::size_t factor_curve = 0;  // the curve the factor is found on and the mean is taken of
  std::string scaled_on;         // that curve in words: "RotD100 of 1 (360 Deg) and 3 (90 Deg)"
  double factor = 1.0;
  std::string written;  // the loading file, once written
  std::string note;     // what changed in the case besides its points
  std::optional<RecordProcessing> processing;  // when the record was processed
  std::optional<RecordMatching> matching;      // when the record was matched (its curves are the match's)
  std::vector<char> directions;  // of each component of `curves`: 'X', 'Y' or 'Z'
  std::vector<double> component_pga;  // m/s2, unscaled, of each component of `curves`
};

struct Template;
struct ReadRecord;

// Why a suite's factors cannot be found: then no record can be written.
enum class FactorsOutcome {
  found,             // every record analysed has its factor, or the reason it has none
  no_record_read,    // suite90 needs at least one record, and none could be read
  no_suite_factor,   // the records' mean has no suite90 factor
};
struct Factors {
  FactorsOutcome outcome = FactorsOutcome::found;
  explicit operator bool() const { return outcome == FactorsOutcome::found; }
};

// One run of a suite, in steps: open (the template read), analyse each record, find the
// factors, write each record's loading file, then the tables. analyse and write may run at
// once on different records; every other step runs alone.
class Suite {
 public:
  // The template read and checked; nullptr with the reason on `err`.
  static std::unique_ptr<Suite> open(const Settings& settings, std::ostream& err);
  ~Suite();

  const Settings& settings() const { return settings_; }
  std::size_t size() const { return results_.size(); }
  const RecordResult& result(std::size_t i) const { return results_[i]; }
  const std::vector<RecordResult>& results() const { return results_; }
  const std::vector<double>& periods() const { return periods_; }
  // The design spectrum at each period, m/s2; none where it is not defined or there is none.
  const std::vector<std::optional<double>>& target() const { return target_; }
  // The model's length unit per s2, the unit of the values written.
  std::string unit_name() const;

  // The reason the run cannot write into its folder at all: a table that would replace one
  // of its inputs. Empty when it can.
  std::string output_clash() const;
  // The files of the folder (paths) that the run would replace and that no suite wrote: the
  // run must not start until the user agrees (settings' overwrite).
  std::vector<std::string> files_in_the_way() const;
  void allow_overwrite() { settings_.overwrite = true; }

  // Reads record i and computes its spectra and measures; an unusable record gets its error.
  void analyse(std::size_t i);
  // The scale factors of the records analysed; `why` says why the suite's factor cannot be
  // found (the suite cannot be written). A record without its own factor gets an error.
  Factors find_factors(std::string& why);
  // Builds, checks and writes record i's loading file, whole or not at all.
  void write(std::size_t i);
  // DIR/suite.csv, DIR/spectra.csv and DIR/spectra.png of the records written, then the files
  // of the folder's previous suite that this one did not write again are removed, so that the
  // folder holds this suite alone. false when a table could not be written (each said on `err`);
  // `not_written` receives the names of those tables.
  bool write_tables(std::ostream& out, std::ostream& err, std::vector<std::string>* not_written = nullptr);

  // With a code: the records as its rules see them, the factors found and the verdicts; none
  // until the factors are found or without a code.
  const std::optional<CodeInput>& code_input() const { return code_input_; }
  const std::optional<Compliance>& compliance() const { return compliance_; }
  // DIR/compliance.txt and DIR/compliance.json; false when one could not be written (said on `err`).
  bool write_compliance(std::ostream& err, bool romanian = false, std::vector<std::string>* not_written = nullptr) const;

  // The scaled spectra of the records with a factor (written or not), their mean and the
  // target, as spectra.png draws them.
  ui::SpectraPicture picture(bool written_only) const;

 private:
  Suite(const Settings& settings, std::unique_ptr<Template> t);
  Factors find_code_factors(std::string& why);
  // The files of the folder's previous suite that this one did not write again are removed.
  void remove_previous(bool picture_written) const;

  Settings settings_;
  std::unique_ptr<Template> template_;
  // The files the folder's suite.csv listed when the suite opened (names), if it was a suite's.
  std::optional<std::vector<std::string>> previous_;
  std::vector<RecordResult> results_;
  // Each record as analysed, held until its file is written: a record is read and converted once.
  std::vector<std::unique_ptr<ReadRecord>> records_;
  std::vector<double> periods_;
  std::vector<std::optional<double>> target_;
  std::optional<CodeInput> code_input_;
  std::optional<Compliance> compliance_;
};

// The number of records a run processes at once: the settings' jobs (0: the cores), never
// more than the records nor max_jobs.
unsigned jobs_for(const Settings& settings);

// What draws DIR/spectra.png. The program with a display library registers one before the
// command line is answered; without one the picture is not drawn and the run says so.
void set_spectra_picture_renderer(ui::SpectraPictureRenderer renderer);

}  // namespace suite
