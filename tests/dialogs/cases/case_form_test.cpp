// The rules of the Loading Cases form that do not need a dialog.
#include "dialogs/cases/case_form.h"

#include <gtest/gtest.h>

#include "support/session.h"
#include "support/temp_dir.h"

namespace {

using dialogs::cases::AddCheck;
using dialogs::cases::CaseForm;
using dialogs::cases::DiametersButton;

TEST(ListCodes, EveryItemRoundTripsThroughItsStoredCode) {
  for (int item = 1; item <= 3; ++item) EXPECT_EQ(dialogs::cases::mass_model_item(dialogs::cases::mass_model_of_item(item)), item);
  for (int item = 1; item <= 4; ++item)
    EXPECT_EQ(dialogs::cases::printing_code_item(dialogs::cases::printing_code_of_item(item)), item);
  using model::LoadingType;
  const LoadingType loading_codes[] = {LoadingType::discrete, LoadingType::sinusoidal,
                                       LoadingType::exponential, LoadingType::accelerogram_3_directions,
                                       LoadingType::accelerogram_1_direction};
  for (int item = 1; item <= 5; ++item) {
    EXPECT_EQ(dialogs::cases::loading_type_of_item(item), loading_codes[item - 1]);
    EXPECT_EQ(dialogs::cases::loading_type_item(loading_codes[item - 1]), item);
  }
  EXPECT_EQ(dialogs::cases::printing_code_of_item(1), model::PrintingCode::nothing);
  EXPECT_EQ(dialogs::cases::printing_code_of_item(4), model::PrintingCode::time_history_and_maximum);
}

TEST(ListCodes, NoDampingItemCountsAsNoDamping) {
  EXPECT_EQ(dialogs::cases::damping_type_of_item(0), model::DampingType::none);
  EXPECT_EQ(dialogs::cases::damping_type_of_item(1), model::DampingType::none);
  EXPECT_EQ(dialogs::cases::damping_type_of_item(5), model::DampingType::aero_structural);
}

struct DampingRow {
  int type;
  bool first, second, zeta;
  DiametersButton diameters;
  const char* first_label;
  const char* second_label;
};

TEST(DampingTable, EnablesTheFieldsOfEachTypeUnderBothOperators) {
  const DampingRow rows[] = {
      {0, false, false, false, DiametersButton::unchanged, "", ""},
      {1, true, true, false, DiametersButton::disabled, "alfa_D", "beta_D"},
      {2, false, false, true, DiametersButton::disabled, "", ""},
      {3, true, true, false, DiametersButton::enabled, "ro_air", "c_drag"},
      {4, true, true, true, DiametersButton::enabled, "ro_air", "c_drag"},
  };
  for (const DampingRow& row : rows) {
    for (bool new_operator : {true, false}) {
      SCOPED_TRACE("type " + std::to_string(row.type) + (new_operator ? " new operator" : " Newmark"));
      const dialogs::cases::DampingFields f =
          dialogs::cases::damping_fields(model::code_from_number<model::DampingType>(row.type), new_operator);
      EXPECT_EQ(f.first, row.first);
      EXPECT_EQ(f.second, row.second);
      EXPECT_EQ(f.zeta, row.zeta);
      EXPECT_EQ(f.niu, row.type != 0 && new_operator);
      EXPECT_EQ(f.diameters, row.diameters);
      EXPECT_EQ(f.first_label, row.first_label);
      EXPECT_EQ(f.second_label, row.second_label);
    }
  }
}

CaseForm complete_form() {
  CaseForm f;
  f.mass_model_item = 1;
  f.printing_code_item = 2;
  f.loading_type_item = 1;
  f.iteration_limit = 10;
  f.tolerance = 1e-4f;
  f.time_step = 0.01f;
  f.end_time = 10;
  return f;
}

TEST(AddChecks, RunInOrderAndStopAtTheFirstFailure) {
  EXPECT_EQ(dialogs::cases::check_case_form(complete_form()), AddCheck::ok);
  CaseForm f = complete_form();
  f.loading_type_item = 0;
  f.tolerance = 0;  // a later failure is not reported first
  EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::list_not_selected);
  f = complete_form();
  f.iteration_limit = 0;
  f.time_step = 0;
  EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::iterations_or_tolerance);
  f = complete_form();
  f.tolerance = 0;
  EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::iterations_or_tolerance);
  f = complete_form();
  f.end_time = 0;
  EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::time_step_or_end_time);
}

TEST(AddChecks, PrintingTimeIsNeededOnlyWhenATimeHistoryIsPrinted) {
  CaseForm f = complete_form();
  for (int item : {1, 2}) {
    f.printing_code_item = item;
    EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::ok) << item;
  }
  for (int item : {3, 4}) {
    f.printing_code_item = item;
    EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::printing_time) << item;
  }
  f.printing_time = 0.1f;
  EXPECT_EQ(dialogs::cases::check_case_form(f), AddCheck::ok);
}

TEST(StoreDamping, TakesOnlyTheValuesOfTheChosenType) {
  testing_support::Session s;
  s.damping().alfa_d = s.damping().beta_d = s.damping().ro_air = s.damping().c_drag = s.damping().zeta = s.damping().niu = -1;
  CaseForm f = complete_form();
  f.niu = 0.5f;
  f.first_damping = 2;
  f.second_damping = 3;
  f.zeta = 4;
  f.damping_item = 4;  // Aero
  dialogs::cases::store_damping(f, s.cases);
  EXPECT_TRUE(s.damping().present);
  EXPECT_EQ(s.damping().type, model::DampingType::aero);
  EXPECT_EQ(s.damping().ro_air, 2);
  EXPECT_EQ(s.damping().c_drag, 3);
  EXPECT_EQ(s.damping().zeta, -1);
  EXPECT_EQ(s.damping().alfa_d, -1);
  EXPECT_EQ(s.damping().niu, 0.5f);

  s.general().new_operator = false;
  f.niu = 9;
  f.damping_item = 3;  // Structural
  dialogs::cases::store_damping(f, s.cases);
  EXPECT_EQ(s.damping().zeta, 4);
  EXPECT_EQ(s.damping().niu, 0.5f) << "niu belongs to the New Operator only";

  f.damping_item = 1;
  dialogs::cases::store_damping(f, s.cases);
  EXPECT_FALSE(s.damping().present);
  EXPECT_EQ(s.damping().type, model::DampingType::none);
}

TEST(UnitTexts, ToleranceUnitFollowsTheOperator) {
  testing_support::Session s;
  s.general().length_unit = "m";
  EXPECT_EQ(dialogs::cases::gravity_unit_text(s.general()), "m/sec2");
  for (const char* code : {"ACH", "ach", "CUSTOM", "c"}) {
    s.general().operator_code = code;
    EXPECT_EQ(dialogs::cases::tolerance_unit_text(s.general()), "m/sec3") << code;
  }
  s.general().operator_code = "NEWMARK";
  EXPECT_EQ(dialogs::cases::tolerance_unit_text(s.general()), "m/sec2");
}

model::CaseRecord record_with(float end_time) {
  model::CaseRecord r;
  r.end_time = end_time;
  return r;
}

TEST(CaseArrays, LoadedRecordsBeyondTheNumberOfCasesAreNotCopied) {
  testing_support::Session s;
  s.general().n_loading_cases = 2;
  s.n_loaded_cases = 4;
  for (int k = 1; k <= 4; ++k) s.loaded(k) = record_with(static_cast<float>(k));
  dialogs::cases::create_case_arrays(s, s.cases);
  ASSERT_EQ(s.cases.count(), 2);
  EXPECT_EQ(s.record(2).end_time, 2);
  EXPECT_TRUE(s.at(2).processed && s.at(2).loading_saved && s.at(2).initial_values_saved);
  ASSERT_NE(s.cases.loaded(4), nullptr) << "the loaded records persist";
  EXPECT_EQ(s.cases.loaded(4)->end_time, 4);
  EXPECT_EQ(s.record(4), model::CaseRecord{}) << "no record beyond the number of cases";
}

TEST(CaseArrays, WithoutAnOldFileEveryCaseStartsEmptyAndUnprocessed) {
  testing_support::Session s;
  s.general().n_loading_cases = 3;
  s.at(2).processed = s.at(3).loading_saved = true;  // left from an earlier pass
  s.record(1).end_time = 5;
  dialogs::cases::create_case_arrays(s, s.cases);
  EXPECT_EQ(s.cases.count(), 3);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(s.record(k), model::CaseRecord{});
    EXPECT_FALSE(s.at(k).processed || s.at(k).loading_saved || s.at(k).initial_values_saved);
  }
}

TEST(CaseArrays, ARunTakenBackKeepsItsCasesAndTheFirstOnesWhenTheyAreFewer) {
  testing_support::Session s;
  s.cases.set_count(3);
  s.record(2).end_time = 2;
  s.at(2).processed = true;
  s.record(3).end_time = 3;
  s.resume_cases = true;
  s.general().n_loading_cases = 2;
  dialogs::cases::create_case_arrays(s, s.cases);
  EXPECT_FALSE(s.resume_cases);
  EXPECT_EQ(s.cases.count(), 2);
  EXPECT_EQ(s.record(2).end_time, 2);
  EXPECT_TRUE(s.at(2).processed);
  EXPECT_EQ(s.record(3), model::CaseRecord{}) << "a case beyond them starts afresh";
}

TEST(RemoveCase, LaterCasesMoveDownWithTheirFlagsAndLoadedRecords) {
  testing_support::TempCurrentDir dir;
  testing_support::Session s;
  s.general().n_loading_cases = 4;
  s.n_loaded_cases = 3;
  for (int k = 1; k <= 3; ++k) s.loaded(k) = record_with(10.f * k);
  dialogs::cases::create_case_arrays(s, s.cases);
  s.record(4) = record_with(40);
  s.at(4).processed = true;
  s.at(3).loading_saved = false;

  EXPECT_TRUE(dialogs::cases::remove_case(s, s.cases, 2).empty());

  EXPECT_EQ(s.general().n_loading_cases, 3);
  EXPECT_EQ(s.n_loaded_cases, 2);
  EXPECT_EQ(s.record(1).end_time, 10);
  EXPECT_EQ(s.record(2).end_time, 30);
  EXPECT_EQ(s.record(3).end_time, 40);
  EXPECT_EQ(s.record(4), model::CaseRecord{}) << "the freed last place is empty";
  EXPECT_EQ(s.cases.loaded(2)->end_time, 30);
  EXPECT_FALSE(s.at(2).loading_saved) << "case 3's flag came with it";
  EXPECT_TRUE(s.at(2).initial_values_saved);
  EXPECT_TRUE(s.at(3).processed);
  EXPECT_FALSE(s.at(4).processed);

  // The last loaded case goes: the case after it was never loaded, and is not counted so.
  EXPECT_TRUE(dialogs::cases::remove_case(s, s.cases, 2).empty());
  EXPECT_EQ(s.n_loaded_cases, 1);
  EXPECT_EQ(s.general().n_loading_cases, 2);
  EXPECT_EQ(s.record(2).end_time, 40);
}

TEST(RemoveCase, OnlyCaseLeavesNoCase) {
  testing_support::TempCurrentDir dir;
  testing_support::Session s;
  s.general().n_loading_cases = 1;
  dialogs::cases::create_case_arrays(s, s.cases);
  s.at(1).processed = true;
  dialogs::cases::remove_case(s, s.cases, 1);
  EXPECT_EQ(s.general().n_loading_cases, 0);
  EXPECT_FALSE(s.at(1).processed);
  dialogs::cases::remove_case(s, s.cases, 1);  // no such case: nothing happens
  EXPECT_EQ(s.general().n_loading_cases, 0);
}

}  // namespace
