// Suites for the code rules built from closed forms: the Eurocode 8 and ASCE 7 spectra as the
// target, and records whose spectra are that target times a shape of our choosing, so that each
// factor and share is known by hand.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "motion/design_spectrum.h"
#include "motion/spectrum.h"
#include "suite/compliance.h"

namespace code_suites {

// Spectra in g throughout, so that ag S and the values shown are the numbers of the spectrum.
inline suite::CodeInput input_of(suite::Code code, std::vector<double> structure_periods,
                                 const motion::DesignSpectrum& target) {
  suite::CodeInput in;
  in.check.code = code;
  in.check.structure_periods = std::move(structure_periods);
  in.periods = motion::log_periods(0.01, 10.0, 301);
  for (double t : in.periods) in.target.push_back(target.psa_g(t));
  in.ag_s = *target.psa_g(0.0);
  return in;
}

// EC8 type 1, ground B, ag 0.25 g: S = 1.2, so ag S = 0.3 g.
inline motion::DesignSpectrum ec8_b() { return motion::Ec8Spectrum{1, 'B', 0.25, 1.0}; }
inline motion::DesignSpectrum asce() { return motion::Asce7Spectrum{1.0, 0.6, 8.0}; }

using Shape = std::function<double(double period)>;

inline std::vector<double> times_target(const suite::CodeInput& in, const Shape& shape) {
  std::vector<double> v;
  for (std::size_t k = 0; k < in.periods.size(); ++k) v.push_back(in.target[k].value_or(1.0) * shape(in.periods[k]));
  return v;
}

// A pair placed X, Y: component spectra target x shape_x and target x shape_y, the RotD100 the
// larger of the two at each period (as it is at least), the PGAs given.
inline suite::CodeRecord pair_record(const suite::CodeInput& in, const std::string& stem, const Shape& shape_x,
                                     const Shape& shape_y, double pga_x, double pga_y) {
  suite::CodeRecord r;
  r.stem = stem;
  r.directions = {'X', 'Y'};
  r.sources = {stem + "_1", stem + "_2"};
  r.psa = {times_target(in, shape_x), times_target(in, shape_y)};
  r.pga = {pga_x, pga_y};
  for (std::size_t k = 0; k < in.periods.size(); ++k) r.rotd100.push_back(std::max(r.psa[0][k], r.psa[1][k]));
  return r;
}

// n pairs, both components exactly the target and the PGA ag S: a suite whose every share is 1.
inline void add_target_pairs(suite::CodeInput& in, int n) {
  for (int i = 0; i < n; ++i) {
    const std::string stem = "R" + std::to_string(in.records.size() + 1);
    in.records.push_back(pair_record(in, stem, [](double) { return 1.0; }, [](double) { return 1.0; }, in.ag_s, in.ag_s));
  }
}

}  // namespace code_suites
