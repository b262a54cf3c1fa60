#include "suite/compliance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

#include "motion/design_spectrum.h"
#include "motion/parsing.h"

namespace suite {

namespace {

// A share just at its limit holds: the least common factor makes the binding period's share
// equal to the limit, give or take the last bits of the division.
constexpr double tolerance = 1e-9;

std::string short_number(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.4g", value);
  return buffer;
}

std::string range_text(std::pair<double, double> range) {
  return short_number(range.first) + "-" + short_number(range.second) + " s";
}

bool is_asce(Code code) { return code != Code::ec8; }

std::vector<std::size_t> periods_in_range(const CodeInput& input, std::pair<double, double> range) {
  std::vector<std::size_t> in;
  for (std::size_t k = 0; k < input.periods.size(); ++k)
    if (input.periods[k] >= range.first && input.periods[k] <= range.second) in.push_back(k);
  return in;
}

// The horizontal directions some record has a component in, in order.
std::vector<char> horizontal_directions(const CodeInput& input) {
  std::set<char> seen;
  for (const CodeRecord& r : input.records)
    for (char d : r.directions)
      if (d == 'X' || d == 'Y') seen.insert(d);
  return {seen.begin(), seen.end()};
}

std::optional<std::size_t> component_in(const CodeRecord& r, char direction) {
  for (std::size_t c = 0; c < r.directions.size(); ++c)
    if (r.directions[c] == direction) return c;
  return std::nullopt;
}

// The spectrum a record is fitted on and, for ASCE, compared with: the RotD100 of its pair, else
// its one horizontal component; for EC8 the mean of its horizontal components, since the code
// compares each direction and one factor serves both.
std::vector<double> fit_curve(const CodeRecord& r, Code code) {
  if (is_asce(code) && !r.rotd100.empty()) return r.rotd100;
  std::vector<double> mean;
  int count = 0;
  for (std::size_t c = 0; c < r.directions.size(); ++c) {
    if (r.directions[c] == 'Z') continue;
    if (mean.empty()) mean.assign(r.psa[c].size(), 0.0);
    for (std::size_t k = 0; k < mean.size(); ++k) mean[k] += r.psa[c][k];
    ++count;
  }
  for (double& v : mean) v /= count;
  return mean;
}

struct Mean {
  std::vector<double> psa;
  double pga = 0.0;
  std::size_t records = 0;
};

// The mean over the records of their scaled spectra: of the components placed in `direction`,
// or with direction 0 of the curves ASCE compares.
Mean scaled_mean(const CodeInput& input, std::span<const double> factors, char direction) {
  Mean m;
  m.psa.assign(input.periods.size(), 0.0);
  for (std::size_t i = 0; i < input.records.size(); ++i) {
    const CodeRecord& r = input.records[i];
    std::vector<double> curve;
    if (direction == 0) {
      curve = fit_curve(r, input.check.code);
    } else if (const auto c = component_in(r, direction)) {
      curve = r.psa[*c];
      m.pga += factors[i] * r.pga[*c];
    } else {
      continue;
    }
    for (std::size_t k = 0; k < m.psa.size() && k < curve.size(); ++k) m.psa[k] += factors[i] * curve[k];
    ++m.records;
  }
  if (m.records > 0) {
    for (double& v : m.psa) v /= static_cast<double>(m.records);
    m.pga /= static_cast<double>(m.records);
  }
  return m;
}

struct Share {
  double share = 0.0;  // the lowest mean / target in range
  double at = 0.0;
};

Share lowest_share(const CodeInput& input, const std::vector<double>& mean, std::pair<double, double> range) {
  Share s{std::numeric_limits<double>::infinity(), 0.0};
  for (std::size_t k : periods_in_range(input, range)) {
    if (!input.target[k] || !(*input.target[k] > 0)) continue;
    const double share = mean[k] / *input.target[k];
    if (share < s.share) s = {share, input.periods[k]};
  }
  if (!std::isfinite(s.share)) s.share = 0.0;
  return s;
}

Verdict verdict_of(bool holds) { return holds ? Verdict::holds : Verdict::fails; }

Clause count_clause(std::string clause, std::size_t count, std::size_t least, const char* records_en,
                    const char* records_ro) {
  const std::string n = std::to_string(least);
  return {std::move(clause), "", "at least " + n + " " + records_en, "cel putin " + n + " " + records_ro,
          static_cast<double>(count), "", std::nullopt, verdict_of(count >= least)};
}

Clause spectrum_clause(std::string clause, std::string direction, std::string asks, std::string asks_ro,
                       const Share& share, double limit) {
  return {std::move(clause), std::move(direction), std::move(asks),         std::move(asks_ro), 100.0 * share.share,
          "%",               share.at,             verdict_of(share.share >= limit * (1 - tolerance))};
}

// Records that give both horizontal directions the same component.
std::size_t records_used_twice(const CodeInput& input) {
  std::size_t twice = 0;
  for (const CodeRecord& r : input.records) {
    const auto x = component_in(r, 'X'), y = component_in(r, 'Y');
    if (x && y && r.sources[*x] == r.sources[*y]) ++twice;
  }
  return twice;
}

std::vector<Clause> ec8_clauses(const CodeInput& input, std::span<const double> factors,
                                std::pair<double, double> range) {
  std::vector<Clause> clauses;
  const std::size_t n = input.records.size();
  clauses.push_back(count_clause("3.2.3.1.2(4)a", n, 3, "records", "inregistrari"));
  const std::string ags = short_number(input.ag_s / input.g) + " g";
  const std::string over = range_text(range);
  for (char d : horizontal_directions(input)) {
    const Mean m = scaled_mean(input, factors, d);
    clauses.push_back({"3.2.3.1.2(4)b", std::string(1, d),
                       "mean scaled PGA (spectral acceleration at period 0) not below ag S = " + ags,
                       "media PGA scalate (acceleratia spectrala la perioada 0) nu sub ag S = " + ags, m.pga / input.g,
                       "g", std::nullopt, verdict_of(m.pga >= input.ag_s * (1 - tolerance))});
    clauses.push_back(spectrum_clause("3.2.3.1.2(4)c", std::string(1, d),
                                      "mean 5% spectrum not below 90% of the elastic spectrum over " + over,
                                      "spectrul mediu 5% nu sub 90% din spectrul elastic pe " + over,
                                      lowest_share(input, m.psa, range), 0.9));
  }
  const std::size_t twice = records_used_twice(input);
  clauses.push_back({"3.2.3.1.1(2)", "", "the same record not used in both horizontal directions",
                     "aceeasi inregistrare nefolosita in ambele directii orizontale", static_cast<double>(twice), "",
                     std::nullopt, verdict_of(twice == 0)});
  clauses.push_back({"4.3.3.4.3(3)", "",
                     n >= 7 ? "7 or more records: the mean of the responses may be used"
                            : "fewer than 7 records: the most unfavourable response is used",
                     n >= 7 ? "7 sau mai multe inregistrari: se poate folosi media raspunsurilor"
                            : "mai putin de 7 inregistrari: se foloseste raspunsul cel mai defavorabil",
                     static_cast<double>(n), "", std::nullopt, Verdict::information});
  return clauses;
}

bool any_matched(const CodeInput& input) {
  return std::any_of(input.records.begin(), input.records.end(), [](const CodeRecord& r) { return r.matched; });
}

std::vector<Clause> asce_clauses(const CodeInput& input, std::span<const double> factors,
                                 std::pair<double, double> range) {
  std::vector<Clause> clauses;
  clauses.push_back(count_clause("16.2.2", input.records.size(), 11, "records (pairs)", "inregistrari (perechi)"));
  const std::string over = range_text(range);
  clauses.push_back({"16.2.3.1", "", "period range from min(0.2 Tmin, T90) to 2 Tmax: " + over,
                     "domeniul de perioade de la min(0.2 Tmin, T90) la 2 Tmax: " + over, range.first, "s",
                     std::nullopt, Verdict::information});
  const Share share = lowest_share(input, scaled_mean(input, factors, 0).psa, range);
  clauses.push_back(spectrum_clause(
      "16.2.3.2", "", "one factor for both components; mean RotD100 spectrum not below 90% of the target over " + over,
      "un factor pentru ambele componente; spectrul RotD100 mediu nu sub 90% din tinta pe " + over, share, 0.9));
  if (any_matched(input)) {
    clauses.push_back(spectrum_clause("16.2.3.3", "",
                                      "matched records: mean RotD100 spectrum not below 110% of the target over " + over,
                                      "inregistrari ajustate: spectrul RotD100 mediu nu sub 110% din tinta pe " + over,
                                      share, 1.1));
  } else {
    clauses.push_back({"16.2.3.3", "", "matched records only: no record is matched",
                       "doar inregistrari ajustate: nicio inregistrare nu este ajustata", 0.0, "", std::nullopt,
                       Verdict::information});
  }
  return clauses;
}

// The least common factor with which the spectrum clauses (and EC8's PGA rule) hold, the
// records already scaled by `fit`; none when a mean is nowhere positive in range.
std::optional<double> least_common_factor(const CodeInput& input, std::span<const double> fit,
                                          std::pair<double, double> range) {
  double common = 0.0;
  const auto need = [&](const std::vector<double>& mean, double limit) {
    for (std::size_t k : periods_in_range(input, range)) {
      if (!input.target[k]) continue;
      if (!(mean[k] > 0)) return false;
      common = std::max(common, limit * *input.target[k] / mean[k]);
    }
    return true;
  };
  if (is_asce(input.check.code)) {
    if (!need(scaled_mean(input, fit, 0).psa, any_matched(input) ? 1.1 : 0.9)) return std::nullopt;
  } else {
    for (char d : horizontal_directions(input)) {
      const Mean m = scaled_mean(input, fit, d);
      if (!need(m.psa, 0.9) || !(m.pga > 0)) return std::nullopt;
      common = std::max(common, input.ag_s / m.pga);
    }
  }
  if (!(common > 0) || !std::isfinite(common)) return std::nullopt;
  return common;
}

// Why the spectra cannot be judged over the range: a period in it without a target.
std::string coverage_problem(const CodeInput& input, std::pair<double, double> range) {
  const std::vector<std::size_t> in = periods_in_range(input, range);
  if (in.empty()) return "no period of the spectra lies in the range " + range_text(range);
  for (std::size_t k : in)
    if (!input.target[k] || !(*input.target[k] > 0))
      return "the target is not defined at " + short_number(input.periods[k]) + " s, within the range " +
             range_text(range);
  if (input.records.empty()) return "no record";
  if (horizontal_directions(input).empty()) return "no record has a horizontal component";
  return "";
}

}  // namespace

std::optional<Code> code_from_name(std::string_view name) {
  if (name == "ec8") return Code::ec8;
  if (name == "asce7-16") return Code::asce7_16;
  if (name == "asce7-22") return Code::asce7_22;
  return std::nullopt;
}

std::string_view code_name(Code code) {
  switch (code) {
    case Code::ec8: return "ec8";
    case Code::asce7_16: return "asce7-16";
    case Code::asce7_22: return "asce7-22";
  }
  return "";
}

std::string_view code_title(Code code) {
  switch (code) {
    case Code::ec8: return "EN 1998-1:2004";
    case Code::asce7_16: return "ASCE 7-16";
    case Code::asce7_22: return "ASCE 7-22";
  }
  return "";
}

std::string_view verdict_name(Verdict verdict) {
  switch (verdict) {
    case Verdict::holds: return "holds";
    case Verdict::fails: return "fails";
    case Verdict::information: return "information";
  }
  return "";
}

std::string parse_t90(std::string_view word, double& t90) {
  double v = 0;
  if (!motion::detail::to_number(motion::detail::trim(word), v) || !(v > 0) || !std::isfinite(v))
    return "needs a period in seconds above 0, such as 0.12";
  t90 = v;
  return "";
}

std::string parse_structure_periods(std::string_view word, std::vector<double>& periods) {
  std::vector<double> read;
  for (std::size_t start = 0; start <= word.size();) {
    const std::size_t comma = std::min(word.find(',', start), word.size());
    double t = 0;
    if (read.size() == 2 || !parse_t90(word.substr(start, comma - start), t).empty())
      return "needs T1 or T1,T2: the fundamental periods in seconds above 0, such as 0.8,0.6";
    read.push_back(t);
    start = comma + 1;
  }
  periods = std::move(read);
  return "";
}

std::string code_check_problem(const CodeCheck& check) {
  if (check.structure_periods.empty() || check.structure_periods.size() > 2)
    return "the structure's periods are needed: T1 or T1,T2 (one for each horizontal direction)";
  for (double t : check.structure_periods)
    if (!(t > 0) || !std::isfinite(t)) return "the structure's periods must be above 0 s";
  if (check.t90 && (!(*check.t90 > 0) || !std::isfinite(*check.t90))) return "T90 must be above 0 s";
  if (check.t90 && check.code == Code::ec8) return "T90 sets the range of ASCE 7 only; EN 1998-1 does not use it";
  return "";
}

std::pair<double, double> code_range(const CodeCheck& check) {
  const auto [low, high] = std::minmax_element(check.structure_periods.begin(), check.structure_periods.end());
  double from = 0.2 * *low;
  if (is_asce(check.code) && check.t90) from = std::min(from, *check.t90);
  return {from, 2.0 * *high};
}

bool Compliance::holds() const { return problem.empty() && failing().empty(); }

std::vector<const Clause*> Compliance::failing() const {
  std::vector<const Clause*> out;
  for (const Clause& c : clauses)
    if (c.verdict == Verdict::fails) out.push_back(&c);
  return out;
}

std::vector<Clause> judge_clauses(const CodeInput& input, std::span<const double> factors,
                                  std::pair<double, double> range) {
  return is_asce(input.check.code) ? asce_clauses(input, factors, range) : ec8_clauses(input, factors, range);
}

Compliance check_compliance(const CodeInput& input) {
  Compliance result;
  result.code = input.check.code;
  result.problem = code_check_problem(input.check);
  if (!result.problem.empty()) return result;
  result.range = code_range(input.check);
  result.problem = coverage_problem(input, result.range);
  for (const CodeRecord& r : input.records) {
    const motion::ScaleFactor f = motion::scale_factor(input.periods, fit_curve(r, input.check.code), input.target,
                                                       result.range.first, result.range.second, motion::ScaleRule::fit);
    if (!f.problem.empty() && result.problem.empty()) result.problem = r.stem + ": no fit factor: " + f.problem;
    result.fit.push_back(f.problem.empty() ? f.factor : 1.0);
  }
  if (result.problem.empty()) {
    if (const auto common = least_common_factor(input, result.fit, result.range)) result.common = *common;
    else result.problem = "no common factor: a mean spectrum or PGA is not positive within the range";
  }
  for (double f : result.fit) result.factors.push_back(f * result.common);
  if (!input.records.empty() && input.periods.size() == input.target.size())
    result.clauses = judge_clauses(input, result.factors, result.range);
  return result;
}

}  // namespace suite
