// A suite taken as far as the command takes it before writing: opened, every record analysed,
// the factors found. Where a step does not succeed the test fails with the reason given.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "suite/suite.h"

namespace suite_samples {

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
