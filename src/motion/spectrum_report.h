// What `brantel spectrum` and the spectrum window show of a record: its spectra, the design
// spectrum beside them, and the factor that scales the record onto it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "motion/design_spectrum.h"
#include "motion/reader.h"
#include "motion/spectrum.h"
#include "motion/units.h"

namespace motion {

// Records read from several files as the components of one, in order. Components of unequal
// length are kept whole: the shorter ones are zero after their end (a warning names the
// lengths). Files of different time steps cannot be combined.
struct CombinedRecord {
  Record record;
  std::vector<std::string> warnings;
  std::string error;  // empty when combined
};
CombinedRecord combine_records(const std::vector<Record>& records);

struct SpectrumOptions {
  SpectrumRequest request;
  Unit psa_unit = Unit::m_s2;  // of PSA and the target
  std::optional<DesignSpectrum> target;
  // The factor's period range; without it, no factor.
  std::optional<std::pair<double, double>> scale_range;
  ScaleRule scale_rule = ScaleRule::fit;
};

struct SpectrumReport {
  std::vector<double> periods;
  std::vector<SpectrumCurve> curves;  // sd m, psv m/s, psa m/s2
  // The target in m/s2 at each period for each damping of the request (none where undefined).
  std::vector<std::vector<std::optional<double>>> target;
  std::optional<ScaleFactor> factor;
  std::string factor_curve;     // the curve the factor was found on: "1", "rotd100", "geomean"
  double factor_damping = 0.05;
  std::vector<std::size_t> horizontal;  // the components (0-based) taken as horizontal, the pair first
};

// RotD and the geometric mean combine the record's horizontal pair (horizontal_components), and
// the factor is found on RotD100 of that pair when it is computed, else on their geometric mean,
// else on the one horizontal component; at 5% damping when requested, else the first damping.
SpectrumReport compute_report(const Record& record_in_m_s2, const SpectrumOptions& options);
// The target and the factor of a report whose spectra are computed, by the same rule: what a
// window recomputes when only they change.
void add_target_and_factor(SpectrumReport& report, const SpectrumOptions& options);

// "# " lines, then `period,damping,component,sd,psv,psa[,target]`.
void write_report_csv(const std::vector<std::string>& files, const Record& record, const SpectrumOptions& options,
                      const SpectrumReport& report, std::ostream& out);
// The same as one JSON object.
void write_report_json(const std::vector<std::string>& files, const Record& record, const SpectrumOptions& options,
                       const SpectrumReport& report, std::ostream& out);

// A number as the reports print it: nine significant digits.
std::string report_number(double value);

}  // namespace motion
