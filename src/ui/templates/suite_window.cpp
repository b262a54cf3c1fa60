#include "ui/templates/suite_window.h"

namespace ui::templates {

// On the right, top to bottom, what a person settles in order: the records, the design
// spectrum, the code and the structure's periods, the range and the rule, then the folder and
// the writing. On the left the spectra as large as the window allows, under them the factor of
// each record and the code's verdicts, wide enough for a clause's whole line at 1366x768. The
// keyboard goes down the right column first, then to the tables, then to Close.
const DialogTemplate& suite_window() {
  using C = SuiteWindow;
  using K = ControlKind;
  static const DialogTemplate t{
      static_cast<int>(dialog_of(C{})), "Suite of Records", 1340, 710,
      {
          {no_id, K::static_text, "Records (the accelerogram of the case is replaced by each)", {}, {796, 12, 532, 20}},
          {id(C::records), K::list_box, "Records", {}, {796, 34, 532, 122}},
          {id(C::add), K::push_button, "Add records...", {}, {796, 164, 170, 30}},
          {id(C::options), K::push_button, "Options...", {}, {977, 164, 170, 30}},
          {id(C::remove), K::push_button, "Remove", {}, {1158, 164, 170, 30}},
          {no_id, K::static_text, "Design spectrum", {}, {796, 212, 136, 20}},
          {id(C::target), K::drop_down, "Design spectrum", {"Eurocode 8", "ASCE 7", "Table (CSV file)"},
           {940, 208, 388, 26}},
          {no_id, K::static_text, "Parameters", {}, {796, 246, 136, 20}},
          {id(C::parameters), K::edit, "Parameters", {}, {940, 242, 388, 26}, free_text(260)},
          {no_id, K::static_text, "Code", {}, {796, 280, 136, 20}},
          {id(C::code), K::drop_down, "Code", {"None", "EN 1998-1:2004", "ASCE 7-16", "ASCE 7-22"},
           {940, 276, 388, 26}},
          {no_id, K::static_text, "Structure periods (s)", {}, {796, 314, 140, 20}},
          {id(C::structure_periods), K::edit, "Structure periods (s)", {}, {940, 310, 110, 26}, free_text(260)},
          {no_id, K::static_text, "T90 (s)", {}, {1062, 314, 56, 20}},
          {id(C::t90), K::edit, "T90 (s)", {}, {1122, 310, 110, 26}, free_text(260)},
          {no_id, K::static_text, "Periods from (s)", {}, {796, 348, 136, 20}},
          {id(C::from), K::edit, "Periods from (s)", {}, {940, 344, 110, 26}, free_text(260)},
          {no_id, K::static_text, "to", {}, {1062, 348, 56, 20}},
          {id(C::to), K::edit, "to (s)", {}, {1122, 344, 110, 26}, free_text(260)},
          {no_id, K::static_text, "Rule", {}, {796, 382, 136, 20}},
          {id(C::rule), K::drop_down, "Rule",
           {"fit: each record onto the target", "min90: each record at least 90% of it",
            "suite90: one factor, the mean at least 90%", "match: each record fitted, then matched"},
           {940, 378, 388, 26}},
          {id(C::range), K::static_text, "", {}, {796, 414, 356, 40}},
          {id(C::show), K::push_button, "Show spectra", {}, {1164, 414, 164, 30}},
          {no_id, K::group_box, "Loading files", {}, {796, 462, 532, 192}},
          {no_id, K::static_text, "Folder", {}, {808, 492, 64, 20}},
          {id(C::folder), K::edit, "Folder", {}, {876, 488, 340, 26}, free_text(260)},
          {id(C::browse), K::push_button, "Browse...", {}, {1224, 486, 96, 30}},
          {id(C::status), K::static_text, "", {}, {808, 522, 508, 72}},
          {id(C::write), K::push_button, "Write loading files", {}, {808, 606, 164, 32}},
          {id(C::save), K::push_button, "Save settings...", {}, {982, 606, 164, 32}},
          {id(C::open), K::push_button, "Open settings...", {}, {1156, 606, 160, 32}},
          {id(C::chart), K::chart, "Spectra", {}, {12, 12, 768, 360}},
          {id(C::factors_heading), K::static_text, "", {}, {12, 380, 768, 20}},
          {id(C::factors), K::list_box, "Factors", {}, {12, 402, 768, 110}},
          {id(C::verdicts_heading), K::static_text, "", {}, {12, 520, 768, 20}},
          {id(C::verdicts), K::list_box, "Verdicts", {}, {12, 542, 768, 156}},
          {id(C::close), K::push_button, "Close", {}, {1228, 666, 100, 32}},
      }};
  return t;
}

}  // namespace ui::templates
