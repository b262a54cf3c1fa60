// A suite taken as far as the command takes it before writing: opened, every record analysed,
// the factors found. Where a step does not succeed the test fails with the reason given.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "motion/design_spectrum.h"
#include "suite/suite.h"
#include "support/suite_samples.h"

namespace suite_samples {

// Case 2 of template_text(-1) in the workspace's frame model, written to out/, scaled by `rule`
// onto the EN 1998-1 type 1 spectrum of ground B at 0.25 g over `from`-`to` seconds.
inline suite::Settings ec8_settings(suite::Rule rule, double from, double to) {
  suite::Settings s;
  s.template_path = "the analysis";
  s.template_text = template_text(-1);
  s.case_number = 2;
  s.geometry = std::string(BRANTEL_WORKSPACE) + "/Dat/frame.dat";
  s.out_dir = "out";
  std::string why;
  s.target = motion::parse_design_spectrum("ec8:type=1,ground=B,ag=0.25g", why);
  s.scale_range = std::pair{from, to};
  s.rule = rule;
  return s;
}

inline std::unique_ptr<suite::Suite> scaled_suite(const suite::Settings& s, std::ostream& err) {
  std::unique_ptr<suite::Suite> suite = suite::Suite::open(s, err);
  if (!suite) {
    ADD_FAILURE() << "the suite was not opened";
    return nullptr;
  }
  for (std::size_t i = 0; i < suite->size(); ++i) suite->analyse(i);
  std::string why;
  if (!suite->find_factors(why)) {
    ADD_FAILURE() << why;
    return nullptr;
  }
  return suite;
}

}  // namespace suite_samples
