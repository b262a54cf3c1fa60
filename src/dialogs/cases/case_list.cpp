#include "dialogs/cases/case_list.h"

#include <string>
#include <vector>

#include "dialogs/cases/case_form.h"
#include "ui/templates/loading_cases.h"

namespace dialogs::cases {

namespace {
using C = ui::templates::LoadingCases;
}  // namespace

// A case shows as processed once it holds data: read from a file, or added (a run taken back
// marks its added cases apart, see show_resumed).
void CaseList::fill() {
  const int n = context_.cases.general().n_loading_cases;
  dialog_.set_item_count(C::case_list, n);
  dialog_.set_item_count(C::processed_list, n);
  for (int k = 1; k <= n; ++k) {
    const bool shown = k <= state_.n_loaded_cases || context_.cases.sections(k).processed;
    dialog_.set_text(C::case_list, std::to_string(k), k);
    dialog_.set_text(C::processed_list, processed_item_text(k, shown), k);
  }
}

void CaseList::show_resumed() {
  for (int k = state_.n_loaded_cases + 1; k <= context_.cases.general().n_loading_cases; ++k)
    if (context_.cases.sections(k).processed) mark_added(k);
}

void CaseList::mark_added(int case_number) {
  dialog_.set_text(C::processed_list, added_item_text(case_number), case_number);
}

void CaseList::choose_processed() {
  if (dialog_.selection(C::processed_list) > context_.cases.general().n_loading_cases) {
    context_.message("No Processed Case has been selected", "Nici un caz procesat nu s-a selectat",
                     "Remove Message", ui::Icon::information);
    dialog_.set_enabled(C::remove, false);
  } else {
    dialog_.set_enabled(C::remove, true);
  }
}

bool CaseList::remove(int case_number) {
  const ui::Answer answer = context_.message(
      "Do You really want to remove case?\n(All case data will be lost)",
      "Vreti intr-adevar sa eliminati cazul?\n(Toate datele cazului se vor pierde)", "Remove Message",
      ui::Icon::question, ui::Buttons::yes_no_default_no);
  if (answer != ui::Answer::yes) return false;
  report_move_failures(remove_case(state_, context_.cases, case_number));
  refill_after_removal();
  return true;
}

void CaseList::report_move_failures(const std::vector<std::string>& failures) {
  if (failures.empty()) return;
  std::string lines;
  for (const std::string& f : failures) lines += "\n" + f;
  context_.message("ERROR: case data files could not be moved:" + lines,
                   "EROARE: fisierele cu datele cazurilor nu s-au putut muta:" + lines,
                   "Remove Message", ui::Icon::error);
}

void CaseList::refill_after_removal() {
  if (context_.cases.general().n_loading_cases >= 1) {
    fill();
    return;
  }
  // No item is left that could name a case.
  dialog_.set_item_count(C::case_list, 0);
  dialog_.set_item_count(C::processed_list, 0);
  context_.message("Loading Case no more exist. Press CANCEL or EXIT !",
                   "Cazul de incarcare nu mai exista. Apasa CANCEL sau EXIT !", "Remove Message",
                   ui::Icon::information);
}

}  // namespace dialogs::cases
