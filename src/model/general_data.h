// The analysis-wide part of the document: the general data and the damping block, one of each
// for the whole analysis, as the analysis (analysis.h) holds them.
#pragma once

#include <vector>

#include "model/domain_codes.h"
#include "text/fixed_text.h"

namespace model {

using text::Field;

struct DiameterGroup {
  int first_element = 0;
  int last_element = 0;
  float diameter = 0;

  friend bool operator==(const DiameterGroup&, const DiameterGroup&) = default;
};

struct GeneralData {
  Field<260> geometry_file;
  Field<20> length_unit, second_unit, force_unit;
  int n_nodes = 0;
  int n_elements = 0;
  int n_dof = 0;
  Field<10> operator_code{"ACH"};
  bool new_operator = true;
  bool standard_coefficients = true;
  Field<10> beta, gamma, delta, teta, teta1, teta2;
  int n_loading_cases = 0;

  friend bool operator==(const GeneralData&, const GeneralData&) = default;
};

// One block for the whole analysis; each case's block repeats it.
struct Damping {
  bool present = false;
  DampingType type = DampingType::none;
  float niu = 0;
  float alfa_d = 0, beta_d = 0;
  float ro_air = 0, c_drag = 0;
  float zeta = 0;
  std::vector<DiameterGroup> diameters;  // the element groups, in the order they were added

  int n_diameter_groups() const { return static_cast<int>(diameters.size()); }

  friend bool operator==(const Damping&, const Damping&) = default;
};

// A six-coefficient operator ("New Operator") when operator_code starts with A, a, C or c.
inline bool six_coefficient_operator(const GeneralData& g) {
  const char c = g.operator_code.first();
  return c == 'A' || c == 'a' || c == 'C' || c == 'c';
}

}  // namespace model
