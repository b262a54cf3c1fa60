// The time-integration operator and its six coefficient texts, as the General Data dialog
// edits them in its working copy and commits them to the general data.
#pragma once

#include <array>
#include <string_view>

#include "model/general_data.h"
#include "text/fixed_text.h"

namespace dialogs::general {

struct OperatorBlock {
  text::Field<10> operator_code{"ACH"};
  bool new_operator = true;
  bool standard_coefficients = true;
  // Texts of 1./Beta, 1./Gamma, 1./Delta, 1./Teta, 1./Teta1, 1./Teta2.
  std::array<text::Field<10>, 6> coefficients;

  friend bool operator==(const OperatorBlock&, const OperatorBlock&) = default;
};

OperatorBlock committed_operator_block(const model::GeneralData& general);
void commit_operator_block(const OperatorBlock& block, model::GeneralData& general);

// The standard coefficient texts of an operator; Newmark has only 1./Beta and 1./Gamma.
const std::array<std::string_view, 6>& standard_coefficient_texts(bool new_operator);

// Choosing an operator resets its code and coefficient texts to its standard ones; the
// Standard/Custom choice stays as it was.
void choose_operator(OperatorBlock& block, bool new_operator);

}  // namespace dialogs::general
