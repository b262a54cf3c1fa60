// A suite of ground-motion records put into one template loading file: one loading file per
// record, the record in place of one accelerogram case, scaled onto a design spectrum; the
// table of the suite and the spectra beside them. `brantel suite` runs it.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "motion/design_spectrum.h"
#include "motion/reader.h"
#include "ui/spectra_picture.h"

namespace app::cli {

// One record: one file, or the files of its components (put into the directions in order).
struct SuiteRecord {
  std::vector<std::string> files;
  motion::ReadOptions options;  // the unit it is read in is the suite's
};

enum class SuiteRule { none, fit, min90, suite90 };

struct SuiteSettings {
  std::string template_path;
  int case_number = 0;
  std::vector<SuiteRecord> records;
  std::optional<std::string> geometry;  // none: the geometry file the template names, if found
  std::string direction;                // "X", "XY", ...; empty: X, XY or XYZ by component count
  std::optional<motion::DesignSpectrum> target;
  std::optional<std::pair<double, double>> scale_range;  // s
  SuiteRule rule = SuiteRule::none;
  bool keep_end_time = false;
  std::string out_dir = ".";
  unsigned jobs = 0;  // 0: the number of cores
  std::vector<double> periods;  // empty: the default periods
  double damping = 0.05;
  bool progress = false;  // a line per record on `err` as it is done
};

// The reason the settings cannot be run, checked before anything is read; empty when they can.
std::string suite_settings_problem(const SuiteSettings& settings);

// Exit codes: 0 every record written, 1 some record not written (each reported on `err`),
// 2 nothing written (the template, the case or the settings are unusable; the reason on `err`).
int run_suite(const SuiteSettings& settings, std::ostream& out, std::ostream& err);

// What draws DIR/spectra.png. The program with a display library registers one before the
// command line is answered; without one the picture is not drawn and the run says so.
void set_spectra_picture_renderer(ui::SpectraPictureRenderer renderer);

}  // namespace app::cli
