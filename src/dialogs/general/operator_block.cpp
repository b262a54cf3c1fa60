#include "dialogs/general/operator_block.h"

namespace dialogs::general {

namespace {

std::array<text::Field<10>*, 6> coefficient_fields(model::GeneralData& g) {
  return {&g.beta, &g.gamma, &g.delta, &g.teta, &g.teta1, &g.teta2};
}

}  // namespace

OperatorBlock committed_operator_block(const model::GeneralData& g) {
  return {g.operator_code, g.new_operator, g.standard_coefficients, {g.beta, g.gamma, g.delta, g.teta, g.teta1, g.teta2}};
}

void commit_operator_block(const OperatorBlock& block, model::GeneralData& g) {
  g.operator_code = block.operator_code;
  g.new_operator = block.new_operator;
  g.standard_coefficients = block.standard_coefficients;
  const auto fields = coefficient_fields(g);
  for (std::size_t i = 0; i < fields.size(); ++i) *fields[i] = block.coefficients[i];
}

const std::array<std::string_view, 6>& standard_coefficient_texts(bool new_operator) {
  static constexpr std::array<std::string_view, 6> new_operator_texts = {"6.", "2.", "1.",
                                                                         "4.", "3.", "2."};
  static constexpr std::array<std::string_view, 6> newmark_texts = {"6.", "2.", "", "", "", ""};
  return new_operator ? new_operator_texts : newmark_texts;
}

void choose_operator(OperatorBlock& block, bool new_operator) {
  block.new_operator = new_operator;
  block.operator_code = new_operator ? "ACH" : "NEWMARK";
  const auto& texts = standard_coefficient_texts(new_operator);
  for (std::size_t i = 0; i < texts.size(); ++i) block.coefficients[i] = texts[i];
}

}  // namespace dialogs::general
