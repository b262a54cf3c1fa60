// Design (target) spectra a record is compared with, and the factors that scale a record or a
// suite of records onto one over a period range.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace motion {

// Eurocode 8 horizontal elastic spectrum: type 1 or 2, ground A to E, the reference peak ground
// acceleration (g) and the importance factor that multiplies it.
struct Ec8Spectrum {
  int type = 1;
  char ground = 'B';
  double ag = 0.0;  // g
  double importance = 1.0;
};

// ASCE 7 two-period spectrum: SDS and SD1 in g, the long-period transition TL in s.
struct Asce7Spectrum {
  double sds = 0.0, sd1 = 0.0, tl = 0.0;
};

// A user's table of (period s, PSA g), increasing periods; linear between rows, none outside.
struct TableSpectrum {
  std::string file;
  std::vector<std::pair<double, double>> rows;
};

class DesignSpectrum {
 public:
  DesignSpectrum(Ec8Spectrum ec8);      // NOLINT: each kind is a design spectrum
  DesignSpectrum(Asce7Spectrum asce7);  // NOLINT
  DesignSpectrum(TableSpectrum table);  // NOLINT

  // PSA in g at `period` (s, >= 0) for a damping ratio; none outside a table's periods. The
  // Eurocode spectrum corrects for damping by eta = sqrt(10 / (5 + xi%)) >= 0.55; the others are
  // the 5% spectra they were given as, at every damping.
  std::optional<double> psa_g(double period, double damping = 0.05) const;
  // "ec8 type 1 ground B ag 0.25 g importance 1", ... for the `# ` lines and the window.
  std::string description() const;

 private:
  enum class Kind { ec8, asce7, table } kind_;
  Ec8Spectrum ec8_;
  Asce7Spectrum asce7_;
  TableSpectrum table_;
};

// The spectrum a command-line text names: `ec8:type=1,ground=B,ag=0.25g[,importance=1.2]`
// (ag in g, or with a unit: `2.4m/s2`), `asce7:sds=1.0,sd1=0.6,tl=8`, `csv:FILE`. On failure,
// none and `error` says why.
std::optional<DesignSpectrum> parse_design_spectrum(std::string_view text, std::string& error);

// A table read from CSV text: one `period,psa` a line in g, an optional header line, `#` comments.
std::optional<TableSpectrum> read_table_spectrum(std::string_view content, std::string& error);

enum class ScaleRule {
  none,     // the records as they are
  fit,      // exp(mean of ln(target / PSA)) over the periods in range: least squares in log
  min90,    // 0.9 x max(target / PSA) over the range: the record at least 90% of the target everywhere
  suite90,  // one factor for a suite: its mean at least 90% of the target everywhere (suite90 below)
  match,    // each record scaled by its fit, then matched to the target (a suite's rule): its factor is fit's
};
// The rule of a name ("fit", "min90", "suite90", "match"); none for any other word, "none" included,
// since no option names the absence of a rule.
std::optional<ScaleRule> scale_rule_from_name(std::string_view name);
std::string_view scale_rule_name(ScaleRule rule);

struct ScaleFactor {
  double factor = 0.0;
  std::size_t periods_used = 0;  // periods within [from, to] that have a target and a positive PSA
  std::string problem;           // why there is no factor; empty when there is one
};

// The factor of one record's PSA (`psa[k]` at `periods[k]`) onto `target` (same unit, none where
// undefined) over the periods from `from` to `to` inclusive. suite90 of one record is its min90;
// `none` finds no factor.
ScaleFactor scale_factor(std::span<const double> periods, std::span<const double> psa,
                         std::span<const std::optional<double>> target, double from, double to, ScaleRule rule);

// The common factor of a suite: the least with which the mean of the records' PSA is at least
// 90% of the target at every period in range.
ScaleFactor suite90(std::span<const double> periods, const std::vector<std::vector<double>>& psa_of_records,
                    std::span<const std::optional<double>> target, double from, double to);

}  // namespace motion
